// Connection probe, application authentication and account sign-in against the meeting cloud.
#include <QTimer>

#include "Services.h"

using namespace ORVOSDK;

namespace orvo {

namespace {
constexpr int kProbeAttempts = 3;
}

// --- NetworkHelper ---

NetworkHelper::~NetworkHelper()
{
    m_handler = nullptr;
}

SDKError NetworkHelper::RegisterNetworkConnectionHandler(INetworkConnectionHandler* pHandler)
{
    if (!pHandler)
        return SDKERR_INVALID_PARAMETER;
    m_handler = pHandler;
    m_ready = false;
    Probe(1);
    return SDKERR_SUCCESS;
}

SDKError NetworkHelper::UnRegisterNetworkConnectionHandler()
{
    m_handler = nullptr;
    ++m_generation; // a probe still under way reports to nobody
    return SDKERR_SUCCESS;
}

SDKError NetworkHelper::ConfigureProxy(const wchar_t*)
{
    return SDKERR_NO_IMPL;
}

void NetworkHelper::Probe(int attempt)
{
    CloudRequest request;
    request.path = QStringLiteral("/sdk/me");
    request.withSession = false;
    const int generation = m_generation;
    SdkCore::Get().Send(request, m_life, [this, attempt, generation](const CloudReply& reply) {
        if (generation != m_generation || !m_handler)
            return;
        // Any answer in the cloud's envelope, even a refusal, shows the cloud is there.
        if (reply.envelope) {
            m_ready = true;
            m_handler->onNetworkConnectionReady();
            return;
        }
        if (attempt < kProbeAttempts) {
            WeakLife life = m_life;
            QTimer::singleShot(SdkCore::Get().PollMs(), [this, life, attempt, generation] {
                if (!life.expired() && generation == m_generation)
                    Probe(attempt + 1);
            });
            return;
        }
        if (reply.tlsFailed)
            m_handler->onCertificateVerificationFailed(SdkCore::Get().WebDomain().toStdWString().c_str());
        // Unreachable after every try: authentication is let run so that it reports the failure
        // instead of leaving the application waiting for ever.
        if (m_handler)
            m_handler->onNetworkConnectionReady();
    });
}

// --- AuthService ---

SDKError AuthService::SetEvent(IAuthServiceEvent* pEvent)
{
    m_event = pEvent;
    return SDKERR_SUCCESS;
}

SDKError AuthService::SDKAuth(AuthParam& authParam)
{
    const QString key = FromWide(authParam.appKey);
    const QString secret = FromWide(authParam.appSecret);
    if (key.isEmpty() || secret.isEmpty())
        return SDKERR_INVALID_PARAMETER;
    if (m_authPending)
        return SDKERR_TOO_FREQUENT_CALL;
    m_authPending = true;
    CloudRequest request;
    request.method = "POST";
    request.path = QStringLiteral("/sdk/auth");
    request.withSession = false;
    request.body = QJsonObject{{"app_key", key}, {"app_secret", secret}};
    SdkCore::Get().Send(request, m_life, [this](const CloudReply& reply) {
        m_authPending = false;
        const QString token = reply.data.value(QStringLiteral("app_token")).toString();
        if (reply.ok() && !token.isEmpty()) {
            SdkCore::Get().appToken = token.toStdString();
            m_authResult = AUTHRET_SUCCESS;
        } else if (reply.envelope && reply.code == QLatin1String("401")) {
            m_authResult = AUTHRET_KEYORSECRETWRONG;
        } else if (reply.envelope) {
            m_authResult = AUTHRET_UNKNOWN;
        } else {
            m_authResult = AUTHRET_NETWORKISSUE;
        }
        if (m_event)
            m_event->onAuthenticationReturn(m_authResult);
    });
    return SDKERR_SUCCESS;
}

SDKError AuthService::Login(LoginParam& param)
{
    if (param.loginType != LoginType_Email)
        return SDKERR_INVALID_PARAMETER;
    const QString user = FromWide(param.userName);
    const QString password = FromWide(param.password);
    if (user.isEmpty() || password.isEmpty())
        return SDKERR_INVALID_PARAMETER;
    if (m_authResult != AUTHRET_SUCCESS)
        return SDKERR_UNAUTHENTICATION;
    if (m_loginStatus == LOGIN_PROCESSING)
        return SDKERR_TOO_FREQUENT_CALL;
    m_loginStatus = LOGIN_PROCESSING;
    CloudRequest request;
    request.method = "POST";
    request.path = QStringLiteral("/sdk/login");
    request.withSession = false;
    request.body = QJsonObject{{"user", user}, {"password", password}};
    SdkCore::Get().Send(request, m_life, [this](const CloudReply& reply) {
        SdkCore& core = SdkCore::Get();
        const QString session = reply.data.value(QStringLiteral("session_token")).toString();
        if (reply.ok() && !session.isEmpty()) {
            core.sessionToken = session.toStdString();
            core.account = reply.data.value(QStringLiteral("account")).toString();
            core.displayName = reply.data.value(QStringLiteral("display_name")).toString();
            if (core.displayName.isEmpty())
                core.displayName = core.account;
            core.personalMeetingNumber = UINT64(reply.data.value(QStringLiteral("pmi")).toVariant().toULongLong());
            m_account.m_displayName = core.displayName.toStdWString();
            m_account.m_userName = core.account.toStdWString();
            m_account.m_pmi = core.personalMeetingNumber;
            m_loginStatus = LOGIN_SUCCESS;
            if (m_event)
                m_event->onLoginRet(LOGIN_SUCCESS, &m_account);
        } else {
            m_loginStatus = LOGIN_FAILED;
            if (m_event)
                m_event->onLoginRet(LOGIN_FAILED, nullptr);
        }
    });
    return SDKERR_SUCCESS;
}

SDKError AuthService::LogOut()
{
    SdkCore& core = SdkCore::Get();
    if (m_loginStatus != LOGIN_SUCCESS && core.sessionToken.empty())
        return SDKERR_WRONG_USAGE;
    if (!core.sessionToken.empty()) {
        CloudRequest request;
        request.method = "POST";
        request.path = QStringLiteral("/sdk/logout");
        // The answer changes nothing: the session is forgotten here at once.
        core.Send(request, m_life, [](const CloudReply&) {});
    }
    core.sessionToken.clear();
    core.account.clear();
    core.displayName.clear();
    core.personalMeetingNumber = 0;
    m_loginStatus = LOGIN_IDLE;
    WeakLife life = m_life;
    core.Post([this, life] {
        if (!life.expired() && m_event)
            m_event->onLogout();
    });
    return SDKERR_SUCCESS;
}

IAccountInfo* AuthService::GetAccountInfo()
{
    return m_loginStatus == LOGIN_SUCCESS ? &m_account : nullptr;
}

SDKError DirectShareHelper::SetEvent(IDirectShareServiceHelperEvent* pEvent)
{
    m_event = pEvent;
    return SDKERR_SUCCESS;
}

} // namespace orvo
