#include "ui/invite/InviteRequest.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <cstdio>

#include "base/Text.h"
#include "net/ServiceRequest.h"
#include "sdk/AuthUIEvent.h"
#include "sdk/MeetingControls.h"
#include "ui/MainWindow.h"

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

std::string utc8TextFromLocal(const QString& localText)
{
    const QDateTime local = QDateTime::fromString(localText, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return local.isValid() ? utc8Text(static_cast<time_t>(local.toSecsSinceEpoch())) : WideToUtf8(localText);
}

InviteMeeting
inviteFor(const InviteFacts& facts, const ScheduledSlotLookup& listed, const ServicePasswordLookup& servicePassword)
{
    InviteMeeting meeting;
    meeting.number = facts.number;
    meeting.joinUrl = facts.joinUrl;
    meeting.topic = facts.topic;
    meeting.password = facts.password;
    meeting.startTime = facts.startText;
    meeting.duration = kDefaultDuration;
    meeting.inviter = facts.inviter;

    std::optional<ScheduledSlot> source;
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
    meeting.scheduled = true;
    // The meeting's own password stays when the service has none to give.
    if (servicePassword)
        if (std::optional<std::string> password = servicePassword(facts.number))
            meeting.password = *password;
    return meeting;
}

std::optional<InviteMeeting> currentMeetingInvite(const QString& startText,
                                                  const QString& inviter,
                                                  const QString& hostAccount,
                                                  const ScheduledSlotLookup& listed,
                                                  const std::optional<ScheduledSlot>& startedRow)
{
    InviteFacts facts;
    facts.number = meetingsdk::currentMeetingNumber();
    if (facts.number == 0)
        return std::nullopt;
    facts.joinUrl = meetingsdk::currentJoinLink();
    facts.topic = meetingsdk::currentMeetingTopic();
    facts.password = WideToUtf8(meetingsdk::currentMeetingPassword());
    // The window keeps the local time it entered the meeting; invitations say Beijing time.
    facts.startText = utc8TextFromLocal(startText);
    facts.startedRow = startedRow;
    facts.inviter = inviter;
    ServicePasswordLookup password;
    if (!hostAccount.isEmpty())
        password = [hostAccount](quint64 number) { return net::queryMeetingPassword(hostAccount, number); };
    return inviteFor(facts, listed, password);
}

InviteLauncher::InviteLauncher(QWidget* dialogParent)
    : m_parent(dialogParent)
{}

InviteLauncher::InviteLauncher(MainWindow* window)
    : m_parent(window)
    , m_window(window)
{
    m_connection = QObject::connect(window, &MainWindow::inviteRequested, window, [this] { openForRunningMeeting(); });
}

InviteLauncher::~InviteLauncher()
{
    QObject::disconnect(m_connection);
    delete m_dialog.data();
}

void InviteLauncher::setScheduleLookups(ScheduledSlotLookup listed,
                                        std::function<std::optional<ScheduledSlot>()> startedRow)
{
    m_listed = std::move(listed);
    m_startedRow = std::move(startedRow);
}

void InviteLauncher::open(const InviteMeeting& meeting)
{
    if (m_dialog)
        m_dialog->reinit(meeting);
    else
        m_dialog = new InviteDialog(m_parent, meeting);
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

void InviteLauncher::onMeetingStatus(int status)
{
    if (status == MeetingEnded)
        hide();
}

void InviteLauncher::openForRunningMeeting()
{
    // A guest has no account to ask the service with.
    const QString host = m_window->anonymousJoinMode() ? QString() : m_window->signedInAccount();
    const std::optional<ScheduledSlot> startedRow = m_startedRow ? m_startedRow() : std::nullopt;
    if (const std::optional<InviteMeeting> meeting =
            currentMeetingInvite(m_window->meetingStartTime(), m_window->displayName(), host, m_listed, startedRow))
        open(*meeting);
}
