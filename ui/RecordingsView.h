#pragma once

#include <QListWidget>
#include <QPersistentModelIndex>
#include <QVector>
#include <functional>

// The recordings list's view. Every row widget of a list widget is a persistent index that each
// layout walks, and the list lays itself out again for every batch of new rows: with thousands of
// recordings one layout stalls the window for tens of milliseconds. Here only the rows in sight
// carry a widget: the row maker builds one when a row comes into sight, and a row that leaves it
// gives its widget back, so a layout costs the visible rows, not the whole list.
class RecordingsView : public QListWidget
{
    Q_OBJECT
public:
    explicit RecordingsView(QWidget* parent = nullptr);

    // Puts a row widget on the entry (setItemWidget). Without one the view places rows as any
    // list widget does.
    void setRowMaker(std::function<void(QListWidgetItem*)> maker);

    void doItemsLayout() override;

    static constexpr int kRowsPerTurn = 2;

protected:
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateEditorGeometries() override;

private:
    std::function<void(QListWidgetItem*)> m_rowMaker;
    QVector<QPersistentModelIndex> m_inSight; // rows given a widget by the last placement
    bool m_layoutOwed = false;
    bool m_placing = false;
    bool m_moreQueued = false;
};
