#include "RecordingsView.h"

#include <QTimer>

RecordingsView::RecordingsView(QWidget* parent)
    : QListWidget(parent)
{
    // Every row has the same height; telling the view so keeps its layout from measuring every
    // row again each time one is added.
    setUniformItemSizes(true);
    // Laying out ten thousand entries at once takes longer than a frame; in batches the first
    // screenful is placed at once and the rest on later turns of the event loop.
    setLayoutMode(QListView::Batched);
    setBatchSize(500);
}

void RecordingsView::setRowMaker(std::function<void(QListWidgetItem*)> maker)
{
    m_rowMaker = std::move(maker);
    scheduleDelayedItemsLayout();
}

void RecordingsView::doItemsLayout()
{
    m_layoutOwed = false;
    QListWidget::doItemsLayout();
}

void RecordingsView::rowsInserted(const QModelIndex& parent, int start, int end)
{
    // The base class would lay the whole list out again right here for every inserted row; the
    // layout it has just queued places the new rows once per batch instead.
    m_layoutOwed = true;
    QListWidget::rowsInserted(parent, start, end);
}

void RecordingsView::scrollContentsBy(int dx, int dy)
{
    QListWidget::scrollContentsBy(dx, dy);
    // Scrolling only moves the widgets there are; rows coming into sight need theirs.
    if (m_rowMaker)
        updateEditorGeometries();
}

void RecordingsView::updateEditorGeometries()
{
    // Making or dropping a row widget asks for another layout, which comes back here later.
    if (m_layoutOwed || m_placing)
        return;
    if (!m_rowMaker) {
        QListWidget::updateEditorGeometries();
        return;
    }
    executeDelayedItemsLayout();
    m_placing = true;
    QVector<QPersistentModelIndex> inSight;
    int made = 0;
    const QRect area = viewport()->rect();
    const QModelIndex top = indexAt(QPoint(0, 0));
    for (int row = top.isValid() ? top.row() : 0; row < count(); ++row) {
        QListWidgetItem* entry = item(row);
        const QRect rect = visualItemRect(entry);
        // Entries below the screen, or not laid out yet (an empty rectangle), end the walk.
        if (!rect.isValid() || rect.top() > area.bottom())
            break;
        if (!rect.intersects(area) || entry->isHidden())
            continue;
        // A row widget takes a millisecond or two to style; a screenful of them at once would
        // be a visible stall, so a few are made per turn and the rest on the next one.
        if (!itemWidget(entry) && made < kRowsPerTurn) {
            m_rowMaker(entry);
            ++made;
            if (made == kRowsPerTurn && !m_moreQueued) {
                m_moreQueued = true;
                QTimer::singleShot(0, this, [this] {
                    m_moreQueued = false;
                    updateEditorGeometries();
                });
            }
        }
        QWidget* widget = itemWidget(entry);
        if (!widget)
            continue;
        QStyleOptionViewItem option = viewOptions();
        option.rect = rect;
        const QModelIndex index = indexFromItem(entry);
        itemDelegate(index)->updateEditorGeometry(widget, option, index);
        widget->show();
        inSight.append(index);
    }
    for (const QPersistentModelIndex& was : qAsConst(m_inSight)) {
        if (was.isValid() && !inSight.contains(was))
            setIndexWidget(was, nullptr); // deleted later: it may be the sender of a click
    }
    m_inSight = inSight;
    m_placing = false;
}
