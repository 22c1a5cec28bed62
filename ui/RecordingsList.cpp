#include "RecordingsList.h"

#include <QElapsedTimer>
#include <QListWidget>
#include <QPointer>
#include <QTimer>

#include "recordings/VideoFolder.h"
#include "ui/VideoItem.h"

RecordingsList::RecordingsList(QListWidget* list, VideoFolder* scanner, QObject* parent)
    : QObject(parent)
    , m_list(list)
    , m_scanner(scanner)
{
    // Every row has the same height; telling the view so keeps its layout from measuring every
    // row again each time one is added.
    m_list->setUniformItemSizes(true);
    connect(m_list, &QListWidget::currentItemChanged, this, &RecordingsList::onSelectionChanged);
}

RecordingsList::~RecordingsList() = default;

VideoItem* RecordingsList::rowAt(QListWidgetItem* item) const
{
    return item ? qobject_cast<VideoItem*>(m_list->itemWidget(item)) : nullptr;
}

VideoItem* RecordingsList::rowOf(const std::string& path) const
{
    const auto it = m_items.find(path);
    return it == m_items.end() ? nullptr : rowAt(it->second);
}

void RecordingsList::continueLater(void (RecordingsList::*slot)(), bool& queued)
{
    if (queued)
        return;
    queued = true;
    QTimer::singleShot(0, this, [this, slot, &queued] {
        queued = false;
        (this->*slot)();
    });
}

void RecordingsList::addRow(const std::string& topic, const std::string& dateTime, const std::string& path)
{
    // A folder listed again after it came back replaces its old row.
    if (const auto it = m_items.find(path); it != m_items.end())
        removeItem(it->second);
    // Made without a parent: setItemWidget() reparents it, and styling it twice costs a lot
    // when thousands of rows come at once.
    auto* row = new VideoItem;
    row->setData(topic, dateTime, path);
    // Queued: the row asks from inside its own click handler, and must outlive it. By then the
    // row may have gone another way (its folder vanished), hence the guard.
    connect(
        row, &VideoItem::removeRequested, this,
        [this, guard = QPointer<VideoItem>(row)] {
            if (guard)
                removeRow(guard);
        },
        Qt::QueuedConnection);
    auto* item = new QListWidgetItem(m_list);
    item->setSizeHint(QSize(qMax(item->sizeHint().width(), 0), row->height()));
    m_list->setItemWidget(item, row);
    m_items[path] = item;
}

void RecordingsList::onVideoFinished()
{
    QElapsedTimer slice;
    slice.start();
    while (slice.elapsed() < kSliceMs) {
        const std::optional<VideoRecord> record = m_scanner->takeNextRecord();
        if (!record)
            return;
        addRow(record->topic, record->dateTime, record->path);
    }
    continueLater(&RecordingsList::onVideoFinished, m_finishedQueued);
}

void RecordingsList::onVideoGone()
{
    QElapsedTimer slice;
    slice.start();
    while (slice.elapsed() < kSliceMs) {
        const std::optional<std::string> path = m_scanner->takeGonePath();
        if (!path)
            return;
        if (const auto it = m_items.find(*path); it != m_items.end())
            removeItem(it->second);
    }
    continueLater(&RecordingsList::onVideoGone, m_goneQueued);
}

void RecordingsList::onSelectionChanged(QListWidgetItem* current, QListWidgetItem* previous)
{
    if (VideoItem* row = rowAt(previous))
        row->showControls(false);
    if (VideoItem* row = rowAt(current))
        row->showControls(true);
}

void RecordingsList::removeItem(QListWidgetItem* item)
{
    QPointer<QWidget> row = m_list->itemWidget(item);
    if (auto* video = qobject_cast<VideoItem*>(row.data()))
        m_items.erase(video->path());
    m_list->removeItemWidget(item);
    // Deleted later: the row may be the sender of the call that got us here.
    if (row) {
        row->hide();
        row->deleteLater();
    }
    delete m_list->takeItem(m_list->row(item));
}

void RecordingsList::removeRow(VideoItem* row)
{
    if (!row)
        return;
    const auto it = m_items.find(row->path());
    if (it != m_items.end() && rowAt(it->second) == row)
        removeItem(it->second);
}

void RecordingsList::clear()
{
    while (m_list->count() > 0)
        removeItem(m_list->item(0));
    m_items.clear();
}
