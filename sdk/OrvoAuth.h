#pragma once
// Starts the SDK, authenticates the application, signs the account in and out, tears the SDK down.

#include <QString>

#include "orvosdk/orvo_sdk.h"

class AuthUIEvent;

class OrvoAuth : public ORVOSDK::INetworkConnectionHandler, public ORVOSDK::IAuthServiceEvent
{
public:
    enum Status
    {
        NotStarted = 0,
        Authenticated = 1,
        AuthFailed = 2,
        Authenticating = 3,
        Unreachable = 4, // the cloud did not answer; authentication is tried again after a pause
        SignedIn = 5,
    };

    static OrvoAuth* Instance();

    void SetUIEvent(AuthUIEvent* listener) { m_listener = listener; }
    // 0 when the SDK is initialised and this object waits for the connection; -1 otherwise.
    int Start();
    // The SDK's result, or -1 without an auth service.
    int Login(const QString& userName, const QString& password);
    void Logout();
    void Shutdown();

    // 5 while a user is signed in.
    int status() const { return m_status; }
    bool IsSignedIn() const { return m_status == SignedIn; }

    // The meeting cloud: VTX_SDK_DOMAIN, else the development service.
    static QString WebDomain();
    // The pause before the given retry (1, 2, ...) of an authentication the cloud did not answer:
    // 1, 2, 4 ... seconds, at most 30.
    static int RetryDelayMs(int retry);

    // Tests only.
    void ResetForTest();

    // INetworkConnectionHandler
    void onNetworkConnectionReady() override;
    void onProxyAuthenticationRequired(const wchar_t* proxyHost, unsigned int port) override;
    void onCertificateVerificationFailed(const wchar_t* issuer) override;

    // IAuthServiceEvent
    void onAuthenticationReturn(ORVOSDK::AuthResult ret) override;
    void onLoginRet(ORVOSDK::LOGINSTATUS ret, ORVOSDK::IAccountInfo* pAccountInfo) override;
    void onLogout() override;
    void onIdentityExpired() override;

private:
    OrvoAuth() = default;
    ~OrvoAuth() = default;

    ORVOSDK::IAuthService* m_authService = nullptr;
    AuthUIEvent* m_listener = nullptr;
    void RetryLater();

    int m_status = NotStarted;
    int m_retries = 0;
    int m_generation = 0; // a retry scheduled before a shutdown or reset does nothing
};
