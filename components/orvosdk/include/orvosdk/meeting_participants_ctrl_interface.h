#pragma once
// Orvo meeting SDK: the people in a running meeting.

#include "orvosdk/orvo_sdk_def.h"

namespace ORVOSDK {

enum UserRole
{
    USERROLE_NONE = 0,
    USERROLE_HOST,
    USERROLE_COHOST,
    USERROLE_ATTENDEE,
};

class IUserInfo
{
public:
    virtual const wchar_t* GetUserName() = 0;
    virtual unsigned int GetUserID() = 0;
    virtual bool IsHost() = 0;
    virtual bool IsMySelf() = 0;
    virtual UserRole GetUserRole() = 0;

protected:
    ~IUserInfo() = default;
};

class IMeetingParticipantsCtrlEvent
{
public:
    virtual void onUserJoin(IList<unsigned int>* lstUserID, const wchar_t* strUserList = nullptr) = 0;
    virtual void onUserLeft(IList<unsigned int>* lstUserID, const wchar_t* strUserList = nullptr) = 0;
    virtual void onHostChangeNotification(unsigned int userId) = 0;
    virtual void onUserNameChanged(unsigned int userId, const wchar_t* userName) = 0;

protected:
    ~IMeetingParticipantsCtrlEvent() = default;
};

class IMeetingParticipantsController
{
public:
    virtual SDKError SetEvent(IMeetingParticipantsCtrlEvent* pEvent) = 0;
    // Valid until the next participants event.
    virtual IList<unsigned int>* GetParticipantsList() = 0;
    virtual IUserInfo* GetUserByUserID(unsigned int userId) = 0;
    virtual IUserInfo* GetMySelfUser() = 0;

protected:
    ~IMeetingParticipantsController() = default;
};

} // namespace ORVOSDK
