#pragma once
// The meetings tab's scheduled meetings: the list rows, the personal meeting panel's state, the
// SDK's list, schedule and delete results, and the dialogs they open. The tab's slots forward here.

#include <QObject>
#include <functional>
#include <optional>
#include <vector>

#include "sdk/ScheduleItems.h"
#include "ui/schedule/MeetingsContext.h"

class CSDKSheduleMeetingUIWorkFlow;
class QLabel;
class QListWidget;
class QListWidgetItem;
struct RecurringMeetingInfo;

class PlanList : public QObject, public MeetingsContext
{
    Q_OBJECT
public:
    // What the list needs from the window around it.
    struct Host
    {
        std::function<QString()> displayName;
        std::function<QString()> account;
        std::function<QString()> serviceUserId; // may fetch the profile
        std::function<int(quint64)> startMeetingByNumber;
    };

    // list: "listWidget_plan"; pmiLabel: "myPMI".
    PlanList(QListWidget* list, QLabel* pmiLabel, Host host, QObject* parent = nullptr);
    ~PlanList() override;

    // After every sign-in: forgets the old list and asks for the new one at once, so the personal
    // meeting ID is known before the user starts a meeting.
    void setWorkflow(CSDKSheduleMeetingUIWorkFlow* workflow);

    // The workflow's results.
    void onListMeeting(int result, const std::vector<quint64>& meetingIds);
    void onScheduleOrEditMeeting(int result, quint64 meetingId);
    void onDeleteMeeting(int result);

    // Buttons of the tab.
    void refresh();
    void scheduleMeeting();
    void editPersonalMeeting();
    void copyPersonalInvitation();
    int startPersonalMeeting();
    // The room of an instant meeting: 0 for a fresh one, the personal meeting ID when always-use-PMI
    // is on; -1 after telling the user while that ID is not known yet.
    qint64 instantMeetingNumber(bool alwaysUsePmi);

    void openEditDialog(quint64 meetingID, quint64 meetingJoinID, const RecurringMeetingInfo* info, bool recurring);
    // The invitation of a meeting to the clipboard (show false) or in its dialog (show true).
    void showMeetingInfo(quint64 meetingID, bool show);
    void selectionChanged(QListWidgetItem* current, QListWidgetItem* previous);
    // The started meeting ended: every row may start again.
    void resetRows();
    void clear();

    // A meeting of the last list by its number; empty when it is not listed.
    QString listedTopic(quint64 meetingNumber) const;
    std::optional<schedule::ItemInfo> listedMeeting(quint64 meetingNumber) const;
    // The row the running meeting was started from, while the list still holds it.
    std::optional<schedule::ItemInfo> startedMeeting() const;
    int rowCount() const;
    ScheduleItem* row(int index) const;

    // MeetingsContext
    quint64 personalMeetingId() const override { return m_pmi; }
    quint64 personalMeetingUniqueId() const override { return m_pmiUniqueId; }
    QString displayName() const override;
    QString account() const override;
    QString serviceUserId() override;
    void setEditingMeeting(quint64 uniqueId) override { m_editing = uniqueId; }
    void setPendingPersonalMeetingId(quint64 pmi) override { m_pendingPmi = pmi; }
    int startMeetingByNumber(quint64 number) override;
    quint64 startedMeetingId() const override { return m_started; }
    void setStartedMeetingId(quint64 uniqueId) override { m_started = uniqueId; }
    void removePlanRow(ScheduleItem* row) override;
    void editMeeting(quint64 uniqueId, quint64 number) override;
    void readMeetingInfo(quint64 uniqueId, bool show) override;

signals:
    // Rows came or went; the tab fits its lists again.
    void layoutRequested();

private:
    void clearRows();
    void askForPersonalMeeting();

    QListWidget* m_list;
    QLabel* m_pmiLabel;
    Host m_host;
    CSDKSheduleMeetingUIWorkFlow* m_workflow = nullptr;
    std::vector<quint64> m_listed;
    quint64 m_pmi = 0;
    quint64 m_pmiUniqueId = 0;
    quint64 m_pendingPmi = 0;
    quint64 m_editing = 0;
    quint64 m_started = 0;
};
