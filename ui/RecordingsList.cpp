#include "RecordingsList.h"

#include <QListWidget>
#include <QPointer>

#include "recordings/VideoFolder.h"
#include "ui/VideoItem.h"

RecordingsList::RecordingsList(QListWidget* list, VideoFolder* scanner, QObject* parent)
    : QObject(parent)
    , m_list(list)
    , m_scanner(scanner)
{
    connect(m_list, &QListWidget::currentItemChanged, this, &RecordingsList::onSelectionChanged);
}

RecordingsList::~RecordingsList() = default;

VideoItem* RecordingsList::rowAt(QListWidgetItem* item) const
{
    return item ? qobject_cast<VideoItem*>(m_list->itemWidget(item)) : nullptr;
}

VideoItem* RecordingsList::rowOf(const std::string& path) const
{
    for (int i = 0; i < m_list->count(); ++i) {
        VideoItem* row = rowAt(m_list->item(i));
        if (row && row->path() == path)
            return row;
    }
    return nullptr;
}

void RecordingsList::onVideoFinished()
{
    const std::optional<VideoRecord> record = m_scanner->takeNextRecord();
    if (!record)
        return;
    auto* row = new VideoItem(m_list);
    row->setData(record->topic, record->dateTime, record->path);
    // Queued: the row asks from inside its own click handler, and must outlive it.
    connect(row, &VideoItem::removeRequested, this, &RecordingsList::removeRow, Qt::QueuedConnection);
    auto* item = new QListWidgetItem(m_list);
    item->setSizeHint(QSize(qMax(item->sizeHint().width(), 0), row->height()));
    m_list->setItemWidget(item, row);
}

void RecordingsList::onVideoGone()
{
    while (const std::optional<std::string> path = m_scanner->takeGonePath()) {
        if (VideoItem* row = rowOf(*path))
            removeRow(row);
    }
}

void RecordingsList::onSelectionChanged(QListWidgetItem* current, QListWidgetItem* previous)
{
    if (VideoItem* row = rowAt(previous))
        row->showControls(false);
    if (VideoItem* row = rowAt(current))
        row->showControls(true);
}

void RecordingsList::detach(QListWidgetItem* item)
{
    // Deleted later: the row may be the sender of the call that got us here.
    QPointer<QWidget> row = m_list->itemWidget(item);
    m_list->removeItemWidget(item);
    if (row) {
        row->hide();
        row->deleteLater();
    }
}

void RecordingsList::removeRow(VideoItem* row)
{
    for (int i = 0; i < m_list->count(); ++i) {
        QListWidgetItem* item = m_list->item(i);
        if (rowAt(item) != row)
            continue;
        detach(item);
        delete m_list->takeItem(i);
        return;
    }
}

void RecordingsList::clear()
{
    while (m_list->count() > 0) {
        detach(m_list->item(0));
        delete m_list->takeItem(0);
    }
}
