#pragma once
// What the invite button of the meeting window turns into: the values of the invite dialog, and
// the one dialog that shows them.

#include <QPointer>
#include <QString>
#include <ctime>
#include <functional>
#include <optional>
#include <string>

#include "ui/invite/InviteDialog.h"

class MainWindow;
class QWidget;

// A meeting of the signed-in user's schedule list.
struct ScheduledSlot
{
    time_t start = 0; // seconds since 1970 UTC; 0 or less: no fixed time
    int duration = 0; // minutes
};

// What the main window knows about the running meeting when the invite button is pressed.
struct InviteFacts
{
    quint64 number = 0;
    QString joinUrl;
    QString topic;
    std::string password;  // the meeting's own, UTF-8
    std::string startText; // when the meeting was entered, "YYYY-MM-DD HH:MM:SS"
    // The list row the user started the meeting from, when there is one (rows are known by their
    // unique ID, the running meeting only by its number).
    std::optional<ScheduledSlot> startedRow;
    QString inviter;
};

using ScheduledSlotLookup = std::function<std::optional<ScheduledSlot>(quint64 number)>;
// The password the web service keeps for a meeting; nullopt when it gave none.
using ServicePasswordLookup = std::function<std::optional<std::string>(quint64 number)>;

// A scheduled meeting of the list lends its start (in UTC+8, the schedule's time zone), duration
// and service password; otherwise the meeting's own values and 60 minutes are used.
InviteMeeting
inviteFor(const InviteFacts& facts, const ScheduledSlotLookup& listed, const ServicePasswordLookup& servicePassword);

// The invite of the running meeting as the SDK reports it; nullopt outside a meeting. hostAccount
// (empty for a guest) is asked about the meeting's password when the schedule lends its times.
std::optional<InviteMeeting> currentMeetingInvite(const QString& startText,
                                                  const QString& inviter,
                                                  const QString& hostAccount,
                                                  const ScheduledSlotLookup& listed,
                                                  const std::optional<ScheduledSlot>& startedRow);

// "YYYY-MM-DD HH:MM:SS" of a UTC time shifted to UTC+8.
std::string utc8Text(time_t utc);
// A local "YYYY-MM-DD HH:MM:SS" as utc8Text gives it; the text unchanged when it is no such time.
std::string utc8TextFromLocal(const QString& localText);

// The main window's one invite dialog: made on the first invite, re-initialised on later ones,
// hidden when the meeting ends.
class InviteLauncher
{
public:
    explicit InviteLauncher(QWidget* dialogParent);
    // Answers the window's inviteRequested() with the running meeting.
    explicit InviteLauncher(MainWindow* window);
    ~InviteLauncher();
    InviteLauncher(const InviteLauncher&) = delete;
    InviteLauncher& operator=(const InviteLauncher&) = delete;

    // Where the meeting list lends scheduled times: a listed meeting by number, and the list row
    // the running meeting was started from. Without them the meeting's own values are used.
    void setScheduleLookups(ScheduledSlotLookup listed, std::function<std::optional<ScheduledSlot>()> startedRow);

    // Non-modal, centred on the primary screen, on top.
    void open(const InviteMeeting& meeting);
    void hide();
    // A meeting status change (the values of MeetingStatusValue); the end hides the dialog.
    void onMeetingStatus(int status);
    InviteDialog* dialog() const { return m_dialog; }

private:
    void openForRunningMeeting();

    QWidget* m_parent;
    MainWindow* m_window = nullptr;
    QMetaObject::Connection m_connection;
    ScheduledSlotLookup m_listed;
    std::function<std::optional<ScheduledSlot>()> m_startedRow;
    QPointer<InviteDialog> m_dialog;
};
