#pragma once
// Orvo meeting SDK: in-meeting chat.

#include "orvosdk/orvo_sdk_def.h"

namespace ORVOSDK {

class IChatMsgInfo
{
public:
    virtual unsigned int GetSenderUserId() = 0;
    virtual const wchar_t* GetSenderDisplayName() = 0;
    virtual unsigned int GetReceiverUserId() = 0;
    virtual const wchar_t* GetContent() = 0;
    virtual time_t GetTimeStamp() = 0;
    virtual bool IsChatToAll() = 0;

protected:
    ~IChatMsgInfo() = default;
};

class IMeetingChatCtrlEvent
{
public:
    virtual void onChatMsgNotifcation(IChatMsgInfo* chatMsg, const wchar_t* content = nullptr) = 0;
    virtual void onChatStatusChangedNotification(bool bChatAllowed) = 0;

protected:
    ~IMeetingChatCtrlEvent() = default;
};

class IMeetingChatController
{
public:
    virtual SDKError SetEvent(IMeetingChatCtrlEvent* pEvent) = 0;
    // receiver 0 sends to everyone.
    virtual SDKError SendChatTo(unsigned int receiver, const wchar_t* content) = 0;
    virtual bool IsChatAllowed() = 0;

protected:
    ~IMeetingChatController() = default;
};

} // namespace ORVOSDK
