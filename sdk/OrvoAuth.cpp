#include "sdk/OrvoAuth.h"

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <string>

#include "base/Localization.h"
#include "base/ServiceConfig.h"
#include "common/AppCredentials.h"
#include "sdk/AuthUIEvent.h"
#include "sdk/SDKInterfaceWrap.h"

using namespace ORVOSDK;

OrvoAuth* OrvoAuth::Instance()
{
    static OrvoAuth instance;
    return &instance;
}

QString OrvoAuth::WebDomain()
{
    return QString::fromStdString(base::sdkWebDomain());
}

int OrvoAuth::RetryDelayMs(int retry)
{
    const int kMaxMs = 30000;
    if (retry <= 1)
        return 1000;
    return retry > 6 ? kMaxMs : std::min(kMaxMs, 1000 << (retry - 1));
}

void OrvoAuth::ResetForTest()
{
    ++m_generation;
    m_retries = 0;
    m_authService = nullptr;
    m_listener = nullptr;
    m_status = NotStarted;
}

int OrvoAuth::Start()
{
    const std::wstring domain = WebDomain().toStdWString();
    InitParam param{};
    param.strWebDomain = domain.c_str();
    param.strBrandingName = nullptr;
    param.strSupportUrl = L"https://support.orvo.example";
    param.hResInstance = nullptr; // icons come from the program's resources, not a module
    param.uiWindowIconSmallID = 101;
    param.uiWindowIconBigID = 101;
    param.emLanguageID = Localization::Instance()->languageId() == 0 ? LANGUAGE_Chinese_Simplified : LANGUAGE_English;
    param.enableGenerateDump = true;
    param.uiLogFileSize = 5;

    SDKInterfaceWrap& wrap = SDKInterfaceWrap::Instance();
    if (wrap.Initialize(param) != 0)
        return -1;
    INetworkConnectionHelper* helper = wrap.NetworkHelper();
    if (!helper)
        return -1;
    return helper->RegisterNetworkConnectionHandler(this);
}

void OrvoAuth::onNetworkConnectionReady()
{
    m_status = Authenticating;
    if (!m_authService) {
        m_authService = SDKInterfaceWrap::Instance().AuthService();
        if (m_authService)
            SDKInterfaceWrap::Instance().AddAuthListener(this);
    }
    if (m_authService) {
        AuthParam param{vtx::kAppKeyW, vtx::kAppSecretW};
        m_authService->SDKAuth(param);
    }
}

void OrvoAuth::onProxyAuthenticationRequired(const wchar_t*, unsigned int) {}
void OrvoAuth::onCertificateVerificationFailed(const wchar_t*) {}

int OrvoAuth::Login(const QString& userName, const QString& password)
{
    if (!m_authService)
        m_authService = SDKInterfaceWrap::Instance().AuthService();
    if (!m_authService)
        return -1;
    const std::wstring user = userName.toStdWString();
    const std::wstring pwd = password.toStdWString();
    LoginParam param{LoginType_Email, user.c_str(), pwd.c_str(), false};
    return m_authService->Login(param);
}

void OrvoAuth::Logout()
{
    if (!m_authService)
        m_authService = SDKInterfaceWrap::Instance().AuthService();
    if (!m_authService)
        return;
    m_authService->LogOut();
    m_status = Authenticated;
}

void OrvoAuth::Shutdown()
{
    if (!m_authService)
        return;
    m_authService->LogOut();
    m_status = Authenticated;
    m_authService = nullptr;
    ++m_generation;
    SDKInterfaceWrap& wrap = SDKInterfaceWrap::Instance();
    wrap.RemoveAuthListener(this);
    if (INetworkConnectionHelper* helper = wrap.NetworkHelper())
        helper->UnRegisterNetworkConnectionHandler();
    wrap.Shutdown();
}

void OrvoAuth::onAuthenticationReturn(AuthResult ret)
{
    switch (ret) {
    case AUTHRET_SUCCESS:
        m_status = Authenticated;
        m_retries = 0;
        break;
    case AUTHRET_NETWORKISSUE:
    case AUTHRET_OVERTIME:
    case AUTHRET_SERVICE_BUSY:
        // Not a rejection: the cloud may come back, so keep trying.
        m_status = Unreachable;
        RetryLater();
        break;
    default:
        m_status = AuthFailed;
        break;
    }
    if (m_listener)
        m_listener->OnAuthResult(m_status);
}

void OrvoAuth::RetryLater()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    const int generation = m_generation;
    QTimer::singleShot(RetryDelayMs(++m_retries), app, [this, generation] {
        if (generation != m_generation || m_status != Unreachable || !m_authService)
            return;
        m_status = Authenticating;
        AuthParam param{vtx::kAppKeyW, vtx::kAppSecretW};
        if (m_authService->SDKAuth(param) != SDKERR_SUCCESS) {
            m_status = Unreachable;
            RetryLater();
        }
    });
}

void OrvoAuth::onLoginRet(LOGINSTATUS ret, IAccountInfo* pAccountInfo)
{
    if (ret == LOGIN_SUCCESS) {
        m_status = SignedIn;
        QString name;
        if (pAccountInfo && pAccountInfo->GetDisplayName())
            name = QString::fromWCharArray(pAccountInfo->GetDisplayName());
        if (m_listener)
            m_listener->OnLoginResult(LOGIN_SUCCESS, name);
    } else if (ret == LOGIN_FAILED) {
        m_status = Authenticated;
        if (m_listener)
            m_listener->OnLoginResult(LOGIN_FAILED, QString());
    }
}

void OrvoAuth::onLogout()
{
    m_status = Authenticated;
}
void OrvoAuth::onIdentityExpired() {}
