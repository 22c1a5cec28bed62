#pragma once
// One scheduled meeting in the meetings list: when, topic and number, with start, edit, remove,
// copy and add-to-calendar buttons shown on the current row only.

#include <QStyledItemDelegate>
#include <QWidget>

#include "sdk/ScheduleItems.h"

class MeetingsContext;
class QLabel;
class QPushButton;

class ScheduleItem : public QWidget
{
    Q_OBJECT
public:
    ScheduleItem(MeetingsContext* context, QWidget* parent);
    ~ScheduleItem() override;

    void setMeeting(const schedule::ItemInfo& item, quint64 meetingID);
    void showButtons(bool show);
    void resetButtons();

    quint64 meetingID() const { return m_meetingID; }
    quint64 meetingJoinID() const { return m_meetingJoinID; }
    bool isRecurring() const { return m_bRecurring; }
    // Start, edit and remove are off while this row's meeting runs.
    bool buttonsGreyed() const;
    const schedule::ItemInfo& item() const { return m_item; }

    // Writes the meeting's calendar file; false when it could not be written.
    bool saveCalendar(const QString& path) const;

    // "Sun, Jan 6, 2020" from the pack's week. and month. names, or the pack's "today".
    static QString dateText(const QDate& date, const QDate& today);

private slots:
    void on_start_clicked();
    void on_edit_clicked();
    void on_remove_clicked();
    void on_copy_clicked();
    void on_calendar_clicked();

private:
    void createButtons();
    void setGreyed(bool greyed);
    void applyGreyed();

    MeetingsContext* m_context;
    quint64 m_meetingID = 0;
    quint64 m_meetingJoinID = 0;
    QString m_topic;
    bool m_bRecurring = false;
    bool m_greyed = false;
    schedule::ItemInfo m_item;

    QLabel* m_date = nullptr;
    QLabel* m_time = nullptr;
    QLabel* m_topicLabel = nullptr;
    QLabel* m_number = nullptr;
    QWidget* m_ctrl = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_edit = nullptr;
    QPushButton* m_remove = nullptr;
    QPushButton* m_copy = nullptr;
    QPushButton* m_calendar = nullptr;
};

// Row separators and the hover and selection backgrounds of the meetings and recordings lists.
class MuItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    MuItemDelegate(int height, QObject* parent);
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    int m_height;
};
