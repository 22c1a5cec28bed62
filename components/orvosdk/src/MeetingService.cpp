// Live meetings: start and join through the meeting cloud, then poll its state while the meeting runs.
#include <QJsonArray>
#include <QMessageBox>
#include <QTimer>
#include <QUrl>
#include <algorithm>

#include "MeetingWindow.h"
#include "Services.h"

using namespace ORVOSDK;

namespace orvo {

namespace {

// Polls in a row without an answer before the meeting counts as lost.
constexpr int kLostAfterFailures = 3;

int FailureCode(const CloudReply& reply)
{
    const QJsonValue reason = reply.data.value(QStringLiteral("reason"));
    if (reply.envelope && reason.isDouble() && reason.toInt() > 0)
        return reason.toInt();
    if (!reply.reached || !reply.envelope)
        return MEETING_FAIL_NETWORK_ERR;
    if (reply.code == QLatin1String("404"))
        return MEETING_FAIL_MEETING_NOT_EXIST;
    if (reply.code == QLatin1String("401"))
        return MEETING_FAIL_CANNOT_START_TOKENEXPIRE;
    if (reply.code == QLatin1String("403"))
        return CONF_FAIL_FORBID_TO_JOIN_INTERNAL_MEETING;
    return MEETING_FAIL_CANNOT_EMIT_WEBREQUEST;
}

bool Running(MeetingStatus s)
{
    return s != MEETING_STATUS_IDLE && s != MEETING_STATUS_FAILED && s != MEETING_STATUS_ENDED;
}

} // namespace

void MeetingConfiguration::SetUICustomizedString(SDKCustomizedStringType type, const wchar_t* text)
{
    SdkCore::Get().SetCaption(type, FromWide(text));
}

void MeetingConfiguration::Reset()
{
    *this = MeetingConfiguration();
    for (int i = 0; i < 16; ++i)
        SdkCore::Get().SetCaption(i, QString());
}

// --- MeetingService ---

MeetingService::MeetingService()
{
    m_pollTimer = new QTimer;
    QObject::connect(m_pollTimer, &QTimer::timeout, [this] { Poll(); });
}

MeetingService::~MeetingService()
{
    m_event = nullptr;
    // A meeting still running is left (or ended by its host) on the way out.
    if (!m_participantToken.isEmpty() && InMeeting() && !m_leaving)
        SdkCore::Get().Send(MeetingCall(IsHost() ? "end" : "leave", {}), WeakLife(), [](const CloudReply&) {});
    delete m_pollTimer;
    delete m_window.data();
    delete m_inviteBox.data();
}

SDKError MeetingService::SetEvent(IMeetingServiceEvent* pEvent)
{
    m_event = pEvent;
    return SDKERR_SUCCESS;
}

SDKError MeetingService::HandleWebUriProtocolAction(const wchar_t* protocolAction)
{
    return protocolAction ? SDKERR_NO_IMPL : SDKERR_INVALID_PARAMETER;
}

void MeetingService::SetStatus(MeetingStatus status, int code)
{
    m_status = status;
    if (m_event)
        m_event->onMeetingStatusChanged(status, code);
}

void MeetingService::PostStatus(MeetingStatus status, int code)
{
    // Requests answer at once; their progress reaches the application later, from the event loop.
    m_status = status;
    WeakLife life = m_life;
    SdkCore::Get().Post([this, life, status, code] {
        if (!life.expired() && m_event)
            m_event->onMeetingStatusChanged(status, code);
    });
}

CloudRequest MeetingService::MeetingCall(const char* action, QJsonObject body) const
{
    CloudRequest request;
    request.method = "POST";
    request.path = QStringLiteral("/sdk/meetings/%1/%2").arg(m_info.m_number).arg(QLatin1String(action));
    body.insert(QStringLiteral("participant"), m_participantToken);
    request.body = body;
    return request;
}

SDKError MeetingService::Start(StartParam& startParam)
{
    SdkCore& core = SdkCore::Get();
    if (startParam.userType != SDK_UT_NORMALUSER)
        return SDKERR_INVALID_PARAMETER;
    if (core.appToken.empty() || core.sessionToken.empty())
        return SDKERR_UNAUTHENTICATION;
    if (Running(m_status))
        return SDKERR_WRONG_USAGE;
    CloudRequest request;
    request.method = "POST";
    request.path = QStringLiteral("/sdk/meetings/start");
    request.body = QJsonObject{{"number", double(startParam.meetingNumber)}, {"kind", startParam.isVideoOff ? 2 : 1}};
    return SendEntry(request);
}

SDKError MeetingService::Join(JoinParam& joinParam)
{
    SdkCore& core = SdkCore::Get();
    const QString name = FromWide(joinParam.userName).trimmed();
    if (joinParam.meetingNumber == 0 || name.isEmpty())
        return SDKERR_INVALID_PARAMETER;
    if (joinParam.userType != SDK_UT_NORMALUSER && joinParam.userType != SDK_UT_WITHOUT_LOGIN)
        return SDKERR_INVALID_PARAMETER;
    if (core.appToken.empty())
        return SDKERR_UNAUTHENTICATION;
    if (joinParam.userType == SDK_UT_NORMALUSER && core.sessionToken.empty())
        return SDKERR_UNAUTHENTICATION;
    if (Running(m_status))
        return SDKERR_WRONG_USAGE;
    CloudRequest request;
    request.method = "POST";
    request.path = QStringLiteral("/sdk/meetings/join");
    request.withSession = joinParam.userType == SDK_UT_NORMALUSER;
    request.body = QJsonObject{{"number", double(joinParam.meetingNumber)},
                               {"password", FromWide(joinParam.psw)},
                               {"display_name", name},
                               {"user_type", int(joinParam.userType)}};
    return SendEntry(request);
}

// Start and join both report "connecting" at once and enter the meeting with the cloud's answer.
SDKError MeetingService::SendEntry(const CloudRequest& request)
{
    PostStatus(MEETING_STATUS_CONNECTING, 0);
    m_session = std::make_shared<int>(0);
    WeakLife session = m_session;
    SdkCore::Get().Send(request, m_session, [this, session](const CloudReply& reply) {
        if (session.expired() || m_session != session.lock())
            return;
        if (reply.ok())
            Enter(reply.data);
        else
            FailWith(reply);
    });
    return SDKERR_SUCCESS;
}

void MeetingService::FailWith(const CloudReply& reply)
{
    m_session.reset();
    SetStatus(MEETING_STATUS_FAILED, FailureCode(reply));
}

void MeetingService::Enter(const QJsonObject& data)
{
    m_info = MeetingInfo();
    m_info.m_number = UINT64(data.value("number").toVariant().toULongLong());
    m_info.m_topic = data.value("topic").toString().toStdWString();
    m_info.m_password = data.value("password").toString().toStdWString();
    m_info.m_joinUrl = data.value("join_url").toString().toStdWString();
    m_info.m_id = data.value("meeting_id").toVariant().toString().toStdWString();
    m_info.m_isHost = data.value("is_host").toBool();
    m_info.m_hostName = m_info.m_isHost ? SdkCore::Get().displayName.toStdWString() : std::wstring();
    m_info.m_inviteText =
        Tr("Join my meeting: %1", "加入我的会议：%1").arg(QString::fromStdWString(m_info.m_joinUrl)).toStdWString();
    m_participantToken = data.value("participant_id").toString();
    m_selfId = unsigned(data.value("participant").toInt());
    m_people.clear();
    m_locked = m_shareLocked = m_sharingOut = m_recording = m_recorded = m_leaving = false;
    m_pollFailures = 0;
    m_pollInFlight = false;
    m_startedAt = QDateTime::currentDateTime();

    m_pollTimer->start(SdkCore::Get().PollMs());
    // The application hears "in meeting" first; the window follows from the next turn of the loop.
    WeakLife session = m_session;
    SdkCore::Get().Post([this, session] {
        if (session.expired() || m_session != session.lock() || !InMeeting() || m_leaving || m_window)
            return;
        auto* window = new MeetingWindow(this);
        if (m_config.hasUiPos)
            window->move(m_config.uiLeft, m_config.uiTop);
        m_window = window;
        window->show();
    });
    SetStatus(MEETING_STATUS_INMEETING, 0);
}

void MeetingService::Finish(int endReason)
{
    m_pollTimer->stop();
    m_session.reset();
    if (m_recorded)
        WriteRecording(QString::fromStdWString(m_info.m_topic), m_info.m_number, m_startedAt);
    if (m_window) {
        m_window->hide();
        m_window->deleteLater();
    }
    if (m_inviteBox)
        m_inviteBox->deleteLater();
    m_participantToken.clear();
    m_people.clear();
    m_recording = m_recorded = m_sharingOut = m_leaving = false;
    SetStatus(MEETING_STATUS_ENDED, endReason);
}

SDKError MeetingService::Leave(LeaveMeetingCmd leaveCmd)
{
    if (leaveCmd != LEAVE_MEETING && leaveCmd != END_MEETING)
        return SDKERR_INVALID_PARAMETER;
    if (m_status == MEETING_STATUS_CONNECTING) {
        // Nothing to tell the cloud yet: the pending answer is dropped.
        m_session.reset();
        PostStatus(MEETING_STATUS_ENDED, EndMeetingReason_None);
        return SDKERR_SUCCESS;
    }
    if (!InMeeting())
        return SDKERR_WRONG_USAGE;
    if (leaveCmd == END_MEETING && !IsHost())
        return SDKERR_NO_PERMISSION;
    if (m_leaving)
        return SDKERR_SUCCESS;
    m_leaving = true;
    m_pollTimer->stop();
    if (m_window)
        m_window->hide();
    PostStatus(MEETING_STATUS_DISCONNECTING, 0);
    WeakLife session = m_session;
    SdkCore::Get().Send(MeetingCall(leaveCmd == END_MEETING ? "end" : "leave", {}), m_session,
                        [this, session](const CloudReply&) {
                            if (!session.expired() && m_session == session.lock())
                                Finish(EndMeetingReason_None);
                        });
    return SDKERR_SUCCESS;
}

void MeetingService::Poll()
{
    if (m_pollInFlight || !InMeeting() || m_leaving)
        return;
    m_pollInFlight = true;
    CloudRequest request;
    request.path = QStringLiteral("/sdk/meetings/%1/state?participant=%2")
                       .arg(m_info.m_number)
                       .arg(QString::fromLatin1(QUrl::toPercentEncoding(m_participantToken)));
    WeakLife session = m_session;
    SdkCore::Get().Send(request, m_session, [this, session](const CloudReply& reply) {
        if (session.expired() || m_session != session.lock())
            return;
        m_pollInFlight = false;
        if (!InMeeting() || m_leaving)
            return;
        if (reply.ok()) {
            m_pollFailures = 0;
            ApplyState(reply.data);
            return;
        }
        if (++m_pollFailures >= kLostAfterFailures)
            Finish(EndMeetingReason_NetworkBroken);
    });
}

void MeetingService::ApplyState(const QJsonObject& state)
{
    const QString s = state.value("state").toString();
    if (s == QLatin1String("ended")) {
        Finish(state.value("end_reason").toInt());
        return;
    }
    if (s == QLatin1String("removed")) {
        Finish(EndMeetingReason_KickByHost);
        return;
    }
    if (s == QLatin1String("left")) {
        Finish(EndMeetingReason_None);
        return;
    }
    if (s != QLatin1String("running"))
        return;

    std::vector<Participant> people;
    for (const QJsonValue& v : state.value("participants").toArray()) {
        const QJsonObject o = v.toObject();
        Participant p;
        p.id = unsigned(o.value("id").toInt());
        p.name = o.value("display_name").toString().toStdWString();
        p.host = o.value("is_host").toBool();
        p.self = p.id == m_selfId;
        people.push_back(p);
    }
    std::vector<unsigned> before, after, joined, left;
    for (const Participant& p : m_people)
        before.push_back(p.id);
    for (const Participant& p : people)
        after.push_back(p.id);
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::back_inserter(joined));
    std::set_difference(before.begin(), before.end(), after.begin(), after.end(), std::back_inserter(left));
    m_people = people;
    m_locked = state.value("locked").toBool();
    const bool shareLocked = state.value("share_locked").toBool();
    const bool shareLockChanged = shareLocked != m_shareLocked;
    m_shareLocked = shareLocked;
    const unsigned sharer = unsigned(state.value("sharing").toInt());
    if (m_sharingOut && sharer != m_selfId)
        m_sharingOut = false; // the host took the share away
    if (auto* window = Window())
        window->Refresh();

    // Listeners may end the meeting or destroy this service, so each call checks.
    WeakLife life = m_life;
    if (!joined.empty() && m_participants.m_event) {
        VectorList<unsigned> list(joined);
        m_participants.m_event->onUserJoin(&list, nullptr);
    }
    if (life.expired())
        return;
    if (!left.empty() && m_participants.m_event) {
        VectorList<unsigned> list(left);
        m_participants.m_event->onUserLeft(&list, nullptr);
    }
    if (life.expired())
        return;
    if (shareLockChanged && !IsHost() && m_share.m_event)
        m_share.m_event->onLockShareStatus(shareLocked);
}

SDKError MeetingService::LockMeeting()
{
    if (!InMeeting())
        return SDKERR_WRONG_USAGE;
    if (!IsHost())
        return SDKERR_NO_PERMISSION;
    SdkCore::Get().Send(MeetingCall("lock", QJsonObject{{"locked", true}}), m_session, [this](const CloudReply& r) {
        if (r.ok())
            m_locked = r.data.value("locked").toBool();
    });
    return SDKERR_SUCCESS;
}

SDKError MeetingService::UnlockMeeting()
{
    if (!InMeeting())
        return SDKERR_WRONG_USAGE;
    if (!IsHost())
        return SDKERR_NO_PERMISSION;
    SdkCore::Get().Send(MeetingCall("lock", QJsonObject{{"locked", false}}), m_session, [this](const CloudReply& r) {
        if (r.ok())
            m_locked = r.data.value("locked").toBool();
    });
    return SDKERR_SUCCESS;
}

SDKError MeetingService::SetShareLock(bool locked)
{
    if (!InMeeting())
        return SDKERR_WRONG_USAGE;
    if (!IsHost())
        return SDKERR_NO_PERMISSION;
    SdkCore::Get().Send(MeetingCall("share_lock", QJsonObject{{"locked", locked}}), m_session,
                        [this](const CloudReply& r) {
                            if (r.ok())
                                m_shareLocked = r.data.value("share_locked").toBool();
                        });
    return SDKERR_SUCCESS;
}

IMeetingInfo* MeetingService::GetMeetingInfo()
{
    return InMeeting() ? &m_info : nullptr;
}

int MeetingService::GetMeetingConnQuality()
{
    return !InMeeting() ? 0 : (m_pollFailures == 0 ? 5 : 1);
}

MeetingWindow* MeetingService::Window() const
{
    return static_cast<MeetingWindow*>(m_window.data());
}

SDKError MeetingService::RequestShare(bool on)
{
    if (!InMeeting() || m_leaving)
        return SDKERR_WRONG_USAGE;
    if (!on && !m_sharingOut)
        return SDKERR_MEETING_YOU_HAVE_NO_SHARE;
    if (on && m_shareLocked && !IsHost())
        return SDKERR_NO_PERMISSION;
    SdkCore::Get().Send(MeetingCall("share", QJsonObject{{"sharing", on}}), m_session, [this, on](const CloudReply& r) {
        if (!InMeeting())
            return;
        if (r.ok()) {
            m_sharingOut = on && unsigned(r.data.value("sharing").toInt()) == m_selfId;
            if (auto* window = Window())
                window->Refresh();
            if (m_share.m_event)
                m_share.m_event->onSharingStatus(m_sharingOut ? Sharing_Self_Send_Begin : Sharing_Self_Send_End,
                                                 m_selfId);
            return;
        }
        if (on && r.envelope && r.code == QLatin1String("403") && !m_shareLocked) {
            m_shareLocked = true;
            if (auto* window = Window())
                window->Refresh();
            if (m_share.m_event)
                m_share.m_event->onLockShareStatus(true);
        }
    });
    return SDKERR_SUCCESS;
}

SDKError MeetingService::SetRecording(bool on)
{
    if (!InMeeting() || m_leaving)
        return SDKERR_WRONG_USAGE;
    if (on == m_recording)
        return on ? SDKERR_WRONG_USAGE : SDKERR_NORECORDINGINPROCESS;
    m_recording = on;
    m_recorded = m_recorded || on;
    if (auto* window = Window())
        window->Refresh();
    if (m_recordingCtrl.m_event)
        m_recordingCtrl.m_event->onRecordingStatus(on ? 0 : 1);
    return SDKERR_SUCCESS;
}

void MeetingService::InviteClicked()
{
    bool handled = false;
    WeakLife life = m_life;
    if (m_ui.m_event)
        m_ui.m_event->onInviteBtnClicked(handled);
    if (!life.expired() && !handled)
        ShowOwnInvite();
}

void MeetingService::ShowOwnInvite()
{
    if (!InMeeting())
        return;
    if (!m_inviteBox) {
        auto* box = new QMessageBox(QMessageBox::Information, Tr("Invite", "邀请"), QString(), QMessageBox::Ok,
                                    m_window.data());
        box->setObjectName(QStringLiteral("OrvoInviteDialog"));
        box->setModal(false);
        m_inviteBox = box;
    }
    auto* box = static_cast<QMessageBox*>(m_inviteBox.data());
    QString text = Tr("Meeting ID: %1\nLink: %2", "会议号：%1\n链接：%2")
                       .arg(GroupedNumber(m_info.m_number), QString::fromStdWString(m_info.m_joinUrl));
    if (!m_info.m_password.empty())
        text += Tr("\nPassword: %1", "\n密码：%1").arg(QString::fromStdWString(m_info.m_password));
    box->setText(text);
    box->show();
}

// --- controllers ---

SDKError UIController::SetEvent(IMeetingUIControllerEvent* pEvent)
{
    m_event = pEvent;
    return SDKERR_SUCCESS;
}

SDKError UIController::ShowChatDlg(bool)
{
    return m_owner->InMeeting() ? SDKERR_NO_IMPL : SDKERR_WRONG_USAGE;
}
SDKError UIController::EnterFullScreen()
{
    if (!m_owner->Window())
        return SDKERR_WRONG_USAGE;
    m_owner->Window()->showFullScreen();
    return SDKERR_SUCCESS;
}
SDKError UIController::ExitFullScreen()
{
    if (!m_owner->Window())
        return SDKERR_WRONG_USAGE;
    m_owner->Window()->showNormal();
    return SDKERR_SUCCESS;
}
SDKError UIController::SwitchToVideoWall()
{
    return m_owner->Window() ? SDKERR_SUCCESS : SDKERR_WRONG_USAGE;
}
SDKError UIController::SwitchToActiveSpeaker()
{
    return m_owner->Window() ? SDKERR_SUCCESS : SDKERR_WRONG_USAGE;
}
SDKError UIController::MoveFloatVideoWnd(int, int)
{
    return m_owner->Window() ? SDKERR_SUCCESS : SDKERR_WRONG_USAGE;
}
SDKError UIController::ShowParticipantsListWnd(bool)
{
    return m_owner->Window() ? SDKERR_SUCCESS : SDKERR_WRONG_USAGE;
}
SDKError UIController::ShowBottomFloatToolbarWnd(bool)
{
    return m_owner->Window() ? SDKERR_SUCCESS : SDKERR_WRONG_USAGE;
}
SDKError UIController::GetMeetingUIWnd(unsigned long long& first, unsigned long long& second)
{
    first = m_owner->Window() ? static_cast<unsigned long long>(m_owner->Window()->winId()) : 0;
    second = 0;
    return first ? SDKERR_SUCCESS : SDKERR_WRONG_USAGE;
}
SDKError UIController::ShowInviteDlg()
{
    if (!m_owner->InMeeting())
        return SDKERR_WRONG_USAGE;
    m_owner->ShowOwnInvite();
    return SDKERR_SUCCESS;
}

SDKError ShareController::SetEvent(IMeetingShareCtrlEvent* pEvent)
{
    m_event = pEvent;
    return SDKERR_SUCCESS;
}
SDKError ShareController::StartAppShare(void* hwnd)
{
    return hwnd ? m_owner->RequestShare(true) : SDKERR_INVALID_PARAMETER;
}
SDKError ShareController::StartMonitorShare(const wchar_t* monitorID)
{
    return (monitorID && *monitorID) ? m_owner->RequestShare(true) : SDKERR_INVALID_PARAMETER;
}
SDKError ShareController::StartWhiteBoardShare()
{
    return m_owner->RequestShare(true);
}
SDKError ShareController::StartPortionShare()
{
    return m_owner->RequestShare(true);
}
SDKError ShareController::StartShare()
{
    return m_owner->RequestShare(true);
}
SDKError ShareController::PauseCurrentSharing()
{
    return m_owner->SharingOut() ? SDKERR_SUCCESS : SDKERR_MEETING_YOU_HAVE_NO_SHARE;
}
SDKError ShareController::ResumeCurrentSharing()
{
    return m_owner->SharingOut() ? SDKERR_SUCCESS : SDKERR_MEETING_YOU_HAVE_NO_SHARE;
}
bool ShareController::IsShareLocked()
{
    return m_owner->ShareLocked();
}
bool ShareController::IsSharingOut()
{
    return m_owner->SharingOut();
}
SDKError ShareController::StopShare()
{
    return m_owner->RequestShare(false);
}

SDKError ParticipantsController::SetEvent(IMeetingParticipantsCtrlEvent* pEvent)
{
    m_event = pEvent;
    return SDKERR_SUCCESS;
}

IList<unsigned int>* ParticipantsController::GetParticipantsList()
{
    if (!m_owner->InMeeting())
        return nullptr;
    m_list.Items().clear();
    for (const Participant& p : m_owner->Participants())
        m_list.Items().push_back(p.id);
    return &m_list;
}

IUserInfo* ParticipantsController::GetUserByUserID(unsigned int userId)
{
    for (const Participant& p : m_owner->Participants()) {
        if (p.id == userId) {
            std::unique_ptr<UserInfo>& slot = m_users[userId];
            if (!slot)
                slot = std::make_unique<UserInfo>();
            slot->p = p;
            return slot.get();
        }
    }
    return nullptr;
}

IUserInfo* ParticipantsController::GetMySelfUser()
{
    return m_owner->InMeeting() ? GetUserByUserID(m_owner->SelfId()) : nullptr;
}

SDKError ChatController::SetEvent(IMeetingChatCtrlEvent* pEvent)
{
    m_event = pEvent;
    return SDKERR_SUCCESS;
}

SDKError ChatController::SendChatTo(unsigned int, const wchar_t* content)
{
    if (!content || !*content)
        return SDKERR_INVALID_PARAMETER;
    // The meeting cloud carries no chat.
    return m_owner->InMeeting() ? SDKERR_MEETING_DONT_SUPPORT_FEATURE : SDKERR_WRONG_USAGE;
}

bool ChatController::IsChatAllowed()
{
    return false;
}

SDKError RecordingController::SetEvent(IMeetingRecordingCtrlEvent* pEvent)
{
    m_event = pEvent;
    return SDKERR_SUCCESS;
}

SDKError RecordingController::StartRecording(time_t& startTimestamp)
{
    const SDKError err = m_owner->SetRecording(true);
    if (err == SDKERR_SUCCESS)
        startTimestamp = time(nullptr);
    return err;
}

SDKError RecordingController::StopRecording(time_t& stopTimestamp)
{
    const SDKError err = m_owner->SetRecording(false);
    if (err == SDKERR_SUCCESS)
        stopTimestamp = time(nullptr);
    return err;
}

bool RecordingController::IsRecording()
{
    return m_owner->Recording();
}

} // namespace orvo
