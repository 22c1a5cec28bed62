#pragma once
// Orvo meeting SDK: application authentication and account sign-in.

#include "orvosdk/orvo_sdk_def.h"

namespace ORVOSDK {

enum AuthResult
{
    AUTHRET_SUCCESS = 0,
    AUTHRET_KEYORSECRETEMPTY,
    AUTHRET_KEYORSECRETWRONG,
    AUTHRET_ACCOUNTNOTSUPPORT,
    AUTHRET_ACCOUNTNOTENABLESDK,
    AUTHRET_UNKNOWN,
    AUTHRET_SERVICE_BUSY,
    AUTHRET_NONE,
    AUTHRET_OVERTIME,
    AUTHRET_NETWORKISSUE,
};

enum LOGINSTATUS
{
    LOGIN_IDLE = 0,
    LOGIN_PROCESSING,
    LOGIN_SUCCESS,
    LOGIN_FAILED,
};

enum LoginType
{
    LoginType_Unknown = 0,
    LoginType_Email,
    LoginType_SSO,
};

struct AuthParam
{
    const wchar_t* appKey;
    const wchar_t* appSecret;
};

struct LoginParam
{
    LoginType loginType; // only LoginType_Email is served by this release
    const wchar_t* userName;
    const wchar_t* password;
    bool bRememberMe;
};

// Valid from the login result until the next logout.
class IAccountInfo
{
public:
    virtual const wchar_t* GetDisplayName() = 0;
    virtual LoginType GetLoginType() = 0;
    virtual const wchar_t* GetUserName() = 0;
    virtual UINT64 GetPersonalMeetingNumber() = 0;

protected:
    ~IAccountInfo() = default;
};

class IAuthServiceEvent
{
public:
    virtual void onAuthenticationReturn(AuthResult ret) = 0;
    virtual void onLoginRet(LOGINSTATUS ret, IAccountInfo* pAccountInfo) = 0;
    virtual void onLogout() = 0;
    virtual void onIdentityExpired() = 0;

protected:
    ~IAuthServiceEvent() = default;
};

enum DirectShareStatus
{
    DirectShare_Unknown = 0,
    DirectShare_Connecting,
    DirectShare_In_Direct_Share_Mode,
    DirectShare_Ended,
    DirectShare_Need_MeetingID_Or_PairingCode,
    DirectShare_NetWork_Error,
    DirectShare_Other_Error,
    DirectShare_WrongMeetingID_Or_SharingKey,
};

class IDirectShareViaMeetingIDOrPairingCodeHandler
{
public:
    virtual SDKError TryWithMeetingNumber(UINT64 meetingNumber) = 0;
    virtual SDKError TryWithPairingCode(const wchar_t* pairingCode) = 0;
    virtual SDKError Cancel() = 0;

protected:
    ~IDirectShareViaMeetingIDOrPairingCodeHandler() = default;
};

class IDirectShareServiceHelperEvent
{
public:
    virtual void OnDirectShareStatusUpdate(DirectShareStatus status,
                                           IDirectShareViaMeetingIDOrPairingCodeHandler* handler) = 0;

protected:
    ~IDirectShareServiceHelperEvent() = default;
};

class IDirectShareServiceHelper
{
public:
    virtual SDKError SetEvent(IDirectShareServiceHelperEvent* pEvent) = 0;
    virtual SDKError CanStartDirectShare() = 0;
    virtual bool IsDirectShareInProgress() = 0;
    virtual SDKError StartDirectShare() = 0;
    virtual SDKError StopDirectShare() = 0;

protected:
    ~IDirectShareServiceHelper() = default;
};

class IAuthService
{
public:
    virtual SDKError SetEvent(IAuthServiceEvent* pEvent) = 0;
    // Asks the meeting cloud to accept the application; the answer is onAuthenticationReturn.
    virtual SDKError SDKAuth(AuthParam& authParam) = 0;
    virtual AuthResult GetAuthResult() = 0;
    virtual const wchar_t* GetSDKIdentity() = 0;
    // Needs a successful SDKAuth; the answer is onLoginRet.
    virtual SDKError Login(LoginParam& param) = 0;
    virtual SDKError LogOut() = 0;
    virtual LOGINSTATUS GetLoginStatus() = 0;
    virtual IAccountInfo* GetAccountInfo() = 0;
    virtual IDirectShareServiceHelper* GetDirectShareServiceHeler() = 0;

protected:
    ~IAuthService() = default;
};

} // namespace ORVOSDK
