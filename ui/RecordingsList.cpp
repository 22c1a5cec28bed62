#include "RecordingsList.h"

#include <QElapsedTimer>
#include <QListWidget>
#include <QPointer>
#include <QTimer>

#include "recordings/VideoFolder.h"
#include "ui/RecordingsView.h"
#include "ui/VideoItem.h"

namespace {

// What an entry keeps of its record: the UTF-8 bytes as the scanner gave them.
constexpr int kTopicRole = Qt::UserRole;
constexpr int kDateTimeRole = Qt::UserRole + 1;
constexpr int kPathRole = Qt::UserRole + 2;

std::string text(const QListWidgetItem* item, int role)
{
    return item->data(role).toByteArray().toStdString();
}

} // namespace

RecordingsList::RecordingsList(QListWidget* list, VideoFolder* scanner, QObject* parent)
    : QObject(parent)
    , m_list(list)
    , m_scanner(scanner)
{
    // Every row has the same height; telling the view so keeps its layout from measuring every
    // row again each time one is added.
    m_list->setUniformItemSizes(true);
    m_view = qobject_cast<RecordingsView*>(m_list);
    if (m_view)
        m_view->setRowMaker([this](QListWidgetItem* item) { makeRow(item); });
    connect(m_list, &QListWidget::currentItemChanged, this, &RecordingsList::onSelectionChanged);
}

RecordingsList::~RecordingsList()
{
    // The view may outlive us (it belongs to the window's form) and lay itself out once more.
    if (m_view)
        m_view->setRowMaker(nullptr);
}

VideoItem* RecordingsList::rowAt(QListWidgetItem* item) const
{
    return item ? qobject_cast<VideoItem*>(m_list->itemWidget(item)) : nullptr;
}

VideoItem* RecordingsList::rowOf(const std::string& path) const
{
    const auto it = m_items.find(path);
    return it == m_items.end() ? nullptr : rowAt(it->second);
}

std::string RecordingsList::pathOf(const QListWidgetItem* item)
{
    return item ? text(item, kPathRole) : std::string();
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
    auto* item = new QListWidgetItem;
    item->setData(kTopicRole, QByteArray::fromStdString(topic));
    item->setData(kDateTimeRole, QByteArray::fromStdString(dateTime));
    item->setData(kPathRole, QByteArray::fromStdString(path));
    item->setSizeHint(QSize(0, VideoItem::kRowHeight));
    m_list->addItem(item);
    m_items[path] = item;
    // A RecordingsView asks for the row when the entry comes into sight.
    if (!m_view)
        makeRow(item);
}

void RecordingsList::makeRow(QListWidgetItem* item)
{
    // Made without a parent: setItemWidget() reparents it, and styling it twice costs a lot
    // when thousands of rows come at once.
    auto* row = new VideoItem;
    row->setData(text(item, kTopicRole), text(item, kDateTimeRole), pathOf(item));
    row->showControls(item == m_list->currentItem());
    // Queued: the row asks from inside its own click handler, and must outlive it. By then the
    // row may have gone another way (its folder vanished), hence the guard.
    connect(
        row, &VideoItem::removeRequested, this,
        [this, guard = QPointer<VideoItem>(row)] {
            if (guard)
                removeRow(guard);
        },
        Qt::QueuedConnection);
    m_list->setItemWidget(item, row);
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
    m_items.erase(pathOf(item));
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
