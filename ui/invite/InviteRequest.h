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

class QWidget;

// A meeting of the signed-in user's schedule list.
struct ListedMeeting
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
    std::optional<ListedMeeting> startedRow;
    QString inviter;
};

using ListedMeetingLookup = std::function<std::optional<ListedMeeting>(quint64 number)>;
// The password the web service keeps for a meeting; nullopt when it gave none.
using ServicePasswordLookup = std::function<std::optional<std::string>(quint64 number)>;

// A scheduled meeting of the list lends its start (in UTC+8, the schedule's time zone), duration
// and service password; otherwise the meeting's own values and 60 minutes are used.
InviteMeeting
inviteFor(const InviteFacts& facts, const ListedMeetingLookup& listed, const ServicePasswordLookup& servicePassword);

// "YYYY-MM-DD HH:MM:SS" of a UTC time shifted to UTC+8.
std::string utc8Text(time_t utc);

// The main window's one invite dialog: made on the first invite, re-initialised on later ones,
// hidden when the meeting ends.
class InviteLauncher
{
public:
    explicit InviteLauncher(QWidget* mainWindow);
    ~InviteLauncher();
    InviteLauncher(const InviteLauncher&) = delete;
    InviteLauncher& operator=(const InviteLauncher&) = delete;

    // Non-modal, centred on the primary screen, on top.
    void open(const InviteMeeting& meeting);
    void hide();
    InviteDialog* dialog() const { return m_dialog; }

private:
    QWidget* m_mainWindow;
    QPointer<InviteDialog> m_dialog;
};
