#pragma once
// The schedule dialog: a new one-off meeting goes to the SDK, a new recurring one to the web
// service; an existing meeting is edited through the SDK.

#include <QDateTime>
#include <QDialog>
#include <array>
#include <functional>
#include <memory>

#include "ui/schedule/DialogParts.h"
#include "ui/schedule/Recurrence.h"
#include "ui/schedule/RecurringMeetingInfo.h"

class CSDKSheduleMeetingUIWorkFlow;
class MeetingsContext;
class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// The default start of a new meeting: the next full hour, on the next day after 23:00.
QDateTime defaultMeetingStart(const QDateTime& now);

class ScheduleMeeting : public QDialog
{
    Q_OBJECT
public:
    ScheduleMeeting(CSDKSheduleMeetingUIWorkFlow* workflow,
                    MeetingsContext* context,
                    bool bEdit,
                    quint64 meetingID,
                    quint64 meeting_JoinID,
                    const RecurringMeetingInfo* recurringInfo,
                    bool bRecurring);
    ~ScheduleMeeting() override;

    int meetingCount() const { return m_meetingCount; }

    // Tests: the clock the dialog reads; null restores the real one.
    static void setClockForTest(std::function<QDateTime()> clock);

private slots:
    void on_dateChanged(const QDate& date);
    void on_timeChanged(const QTime& time);
    void on_durationHourChanged(int index);
    void on_durationMinChanged(int index);
    void on_slotChanged(int index);
    void on_endDateChanged(const QDate& date);
    void on_cycleChanged(int index);
    void on_btn_sunday_clicked();
    void on_btn_monday_clicked();
    void on_btn_tuesday_clicked();
    void on_btn_wednesday_clicked();
    void on_btn_thursday_clicked();
    void on_btn_friday_clicked();
    void on_btn_saturday_clicked();
    void on_checkBox_cycle_clicked();
    void on_checkBox_set_pwd_clicked();
    void on_pushButton_cancel_clicked();
    void on_pushButton_ok_clicked();

private:
    void buildForm();
    void applyTexts();
    void applyAccessibleNames();
    void setupNewMeeting();
    void setupEditMeeting();
    void setupRecurringRecord();
    void updateHeight();
    void updateSummary();
    void toggleWeekday(int index);
    void moveLowerOptions(int dy);
    void showPasswordRow(bool on);
    void showError(const QString& text, bool focus = false);
    QDateTime startDateTime() const;
    recurrence::Cycle cycle() const;
    int interval() const;
    int durationMinutes() const;
    int submitRecurring();
    bool fillItem(bool editing);

    CSDKSheduleMeetingUIWorkFlow* m_workflow;
    MeetingsContext* m_context;
    bool m_bEdit;
    quint64 m_meetingID;
    quint64 m_meetingJoinID;
    bool m_bRecurring;
    std::unique_ptr<RecurringMeetingInfo> m_recurringInfo;
    bool m_hasEditItem = false;
    std::array<bool, 7> m_weekDays{};
    int m_meetingCount = 0;

    QLabel* m_title = nullptr;
    QLineEdit* m_topic = nullptr;
    QDateTimeEdit* m_date = nullptr;
    QDateTimeEdit* m_time = nullptr;
    QComboBox* m_hours = nullptr;
    QComboBox* m_minutes = nullptr;
    QCheckBox* m_cycleBox = nullptr;
    QLabel* m_summary = nullptr;
    QWidget* m_cycleArea = nullptr;
    QComboBox* m_cycleCombo = nullptr;
    QWidget* m_slotRow = nullptr;
    QComboBox* m_slotCombo = nullptr;
    QWidget* m_occurRow = nullptr;
    std::array<QPushButton*, 7> m_dayButtons{};
    QDateTimeEdit* m_endDate = nullptr;
    QWidget* m_lower = nullptr;
    std::unique_ptr<schedule::VideoChoices> m_video;
    QCheckBox* m_setPwd = nullptr;
    QWidget* m_pwdRow = nullptr;
    QLineEdit* m_password = nullptr;
    QWidget* m_options = nullptr;
    QCheckBox* m_preJoin = nullptr;
    QCheckBox* m_muteJoin = nullptr;
    QCheckBox* m_usePmi = nullptr;
    QCheckBox* m_autoRecord = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_ok = nullptr;
    QLabel* m_errInfo = nullptr;
};
