#pragma once
// Orvo meeting SDK: audio and video state events of a running meeting.

#include "orvosdk/orvo_sdk_def.h"

namespace ORVOSDK {

enum AudioStatus
{
    Audio_None = 0,
    Audio_Muted,
    Audio_UnMuted,
    Audio_Muted_ByHost,
    Audio_UnMuted_ByHost,
};

enum VideoStatus
{
    Video_ON = 0,
    Video_OFF,
    Video_Mute_ByHost,
};

class IUserAudioStatus
{
public:
    virtual unsigned int GetUserId() = 0;
    virtual AudioStatus GetStatus() = 0;

protected:
    ~IUserAudioStatus() = default;
};

class IMeetingAudioCtrlEvent
{
public:
    virtual void onUserAudioStatusChange(IList<IUserAudioStatus*>* lstAudioStatusChange,
                                         const wchar_t* strAudioStatusList = nullptr) = 0;
    virtual void onUserActiveAudioChange(IList<unsigned int>* plstActiveAudio) = 0;

protected:
    ~IMeetingAudioCtrlEvent() = default;
};

class IMeetingVideoCtrlEvent
{
public:
    virtual void onUserVideoStatusChange(unsigned int userId, VideoStatus status) = 0;
    virtual void onSpotlightVideoChangeNotification(bool bSpotlight, unsigned int userid) = 0;

protected:
    ~IMeetingVideoCtrlEvent() = default;
};

class IClosedCaptionControllerEvent
{
public:
    virtual void onAssignedToSendClosedCaption(bool bAssigned) = 0;
    virtual void onClosedCaptionMsgReceived(const wchar_t* ccMsg, unsigned int senderId, time_t time) = 0;

protected:
    ~IClosedCaptionControllerEvent() = default;
};

class IMeetingRecordingCtrlEvent
{
public:
    virtual void onRecordingStatus(int status) = 0; // 0 started, 1 stopped, 2 converting, 3 converted
    virtual void onRecord2MP4Done(bool bSuccess, int iResult, const wchar_t* szPath) = 0;

protected:
    ~IMeetingRecordingCtrlEvent() = default;
};

class IMeetingRecordingController
{
public:
    virtual SDKError SetEvent(IMeetingRecordingCtrlEvent* pEvent) = 0;
    // Local recording into the folder of the recording settings.
    virtual SDKError StartRecording(time_t& startTimestamp) = 0;
    virtual SDKError StopRecording(time_t& stopTimestamp) = 0;
    virtual bool IsRecording() = 0;

protected:
    ~IMeetingRecordingController() = default;
};

} // namespace ORVOSDK
