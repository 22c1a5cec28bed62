#include "ui/invite/InviteRequest.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <cstdio>

namespace {
constexpr int kDefaultDuration = 60;
constexpr time_t kUtc8 = 8 * 3600;
} // namespace

std::string utc8Text(time_t utc)
{
    const time_t shifted = utc + kUtc8;
    std::tm parts{};
    if (!gmtime_r(&shifted, &parts))
        return std::string();
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", parts.tm_year + 1900, parts.tm_mon + 1,
                  parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec);
    return text;
}

InviteMeeting
inviteFor(const InviteFacts& facts, const ListedMeetingLookup& listed, const ServicePasswordLookup& servicePassword)
{
    InviteMeeting meeting;
    meeting.number = facts.number;
    meeting.joinUrl = facts.joinUrl;
    meeting.topic = facts.topic;
    meeting.password = facts.password;
    meeting.startTime = facts.startText;
    meeting.duration = kDefaultDuration;
    meeting.inviter = facts.inviter;

    std::optional<ListedMeeting> source;
    if (listed) {
        source = listed(facts.number);
        // A personal room has no time of its own; the scheduled row it was started from has.
        if (source && source->start <= 0)
            source = facts.startedRow && facts.startedRow->start > 0 ? facts.startedRow : std::nullopt;
    }
    if (!source)
        return meeting;
    meeting.startTime = utc8Text(source->start);
    meeting.duration = source->duration > 0 ? source->duration : 0;
    // The meeting's own password stays when the service has none to give.
    if (servicePassword)
        if (std::optional<std::string> password = servicePassword(facts.number))
            meeting.password = *password;
    return meeting;
}

InviteLauncher::InviteLauncher(QWidget* mainWindow)
    : m_mainWindow(mainWindow)
{}

InviteLauncher::~InviteLauncher()
{
    delete m_dialog.data();
}

void InviteLauncher::open(const InviteMeeting& meeting)
{
    if (m_dialog)
        m_dialog->reinit(meeting);
    else
        m_dialog = new InviteDialog(m_mainWindow, meeting);
    m_dialog->setModal(false);
    m_dialog->show();
    if (QScreen* screen = QGuiApplication::primaryScreen())
        m_dialog->setGeometry(
            QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, m_dialog->size(), screen->availableGeometry()));
    m_dialog->raise();
    m_dialog->activateWindow();
}

void InviteLauncher::hide()
{
    if (m_dialog)
        m_dialog->hide();
}
