#pragma once
// The main page's meetings: the instant-meeting tiles, the signed-in user's scheduled meetings and
// personal meeting ID, the always-use-PMI choice, and the tab that lists meetings and recordings.
// The schedule dialogs, list rows and recordings plug into the hooks below.

#include <QObject>
#include <QString>
#include <memory>
#include <vector>

struct ListedMeeting;
class CSDKSheduleMeetingUIEvent;
class CSDKSheduleMeetingUIWorkFlow;
class HostMeeting;
class InviteLauncher;
class PlanList;
class QListWidgetItem;
class RecordingsList;
class VideoFolder;
class ShellHost;
struct MainWindowForm;

typedef quint64 UINT64;

class MeetingsTab : public QObject
{
    Q_OBJECT
public:
    MeetingsTab(MainWindowForm& form, ShellHost& host, QObject* parent = nullptr);
    ~MeetingsTab() override;

    // The signed-in user reached the main page: the meeting list starts, the home tab shows.
    void start(CSDKSheduleMeetingUIEvent* listener);
    void showHomeTab();
    void showMeetingsTab();
    // Fits the tabs and lists to the window's height.
    void layout();

    // Instant meetings: 1 video, 2 voice, in the personal room when always-use-PMI is on.
    void startInstantMeeting(int kind);
    // A video meeting in a given room; -1 (with a warning) while another meeting runs.
    int startMeetingByNumber(UINT64 meetingNumber);
    void setStartButtonsEnabled(bool enabled);
    bool hosting() const { return bool(m_hostFlow); }
    // The host workflow's part of a meeting status change.
    void onMeetingStatus(int status, const QString& reason);

    // Pre-meeting results.
    void onListMeeting(int result, const std::vector<UINT64>& meetingIds);
    void onScheduleOrEditMeeting(int result, UINT64 meetingId);
    void onDeleteMeeting(int result);
    // Topic of a meeting of the user's list; empty when it is not listed.
    QString listedTopic(UINT64 meetingNumber) const;
    // An invite for a listed meeting takes its scheduled start and duration from this list.
    void lendScheduleTo(InviteLauncher& invites);

    UINT64 personalMeetingId() const;
    bool alwaysUsePmi() const { return m_alwaysUsePmi; }

    // The tab's own controls.
    void showMyMeetings();
    void setAlwaysUsePmi(bool on);
    void refreshList();
    void scheduleMeeting();
    void editPersonalMeeting();
    void copyPersonalInvitation();
    void startPersonalMeeting();
    void selectPlanRow(QListWidgetItem* current, QListWidgetItem* previous);

    // Teardown steps, in the order the shell calls them.
    void releaseHostFlow();
    void releaseScheduleFlow();
    void clearLists();

    // The recordings switch of the tab: the scanner fills listWidget_video.
    void showRecordings();
    // The scanner's periodic call: follow the SDK's recording folder, fill the plan list once.
    void onUpdateVideoPath();
    // Sign-out and teardown: the scanner ends before anything it reports to goes away.
    void stopRecordings();

signals:
    // The tab's content changed size; the shell lays the page out again.
    void layoutRequested();

private:
    void setToolbarTabs(bool homeSelected);
    void layoutPmiPanel();

    MainWindowForm& m_ui;
    ShellHost& m_host;
    bool m_alwaysUsePmi = false;
    PlanList* m_plan = nullptr;
    std::unique_ptr<CSDKSheduleMeetingUIWorkFlow> m_scheduleFlow;
    std::unique_ptr<HostMeeting> m_hostFlow;
    std::unique_ptr<VideoFolder> m_scanner;
    RecordingsList* m_recordings = nullptr;
};
