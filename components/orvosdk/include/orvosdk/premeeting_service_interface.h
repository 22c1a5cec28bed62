#pragma once
// Orvo meeting SDK: scheduling, editing, listing and deleting the signed-in user's meetings.

#include "orvosdk/orvo_sdk_def.h"

namespace ORVOSDK {

enum PreMeetingAPIResult
{
    PREMETAPIRET_UNKNOW = 0,
    PREMETAPIRET_SUCCESS = 1,
};

// Audio options of a scheduled meeting; values can be combined.
enum ScheduleAudioOption
{
    SCHEDULE_AUDIO_NONE = 0,
    SCHEDULE_AUDIO_TELEPHONE = 2,
    SCHEDULE_AUDIO_VOIP = 4,
    SCHEDULE_AUDIO_BOTH = 8,
};

// A new meeting (CreateScheduleMeetingItem) or an existing one being changed (CreateEditMeetingItem).
// Options read with a bModifiable flag may be locked by the account; writing a locked option fails with
// SDKERR_NO_PERMISSION.
class IScheduleMeetingItem
{
public:
    virtual SDKError SetMeetingTopic(const wchar_t* topic) = 0;
    virtual const wchar_t* GetMeetingTopic() = 0;
    virtual SDKError SetStartTime(time_t startTime) = 0; // seconds since 1970-01-01 UTC
    virtual time_t GetStartTime() = 0;
    virtual SDKError SetDurationInMinutes(unsigned int duration) = 0;
    virtual unsigned int GetDurationInMinutes() = 0;
    virtual SDKError SetAsPeriodicMeeting(bool bPeriodic) = 0;
    virtual bool IsPeriodicMeeting() = 0;
    virtual SDKError SetTimeZone(const wchar_t* timeZoneId) = 0;
    virtual const wchar_t* GetTimeZone() = 0;
    virtual SDKError TurnHostVideoOn(bool bOn) = 0;
    virtual bool IsHostVideoOn() = 0;
    virtual SDKError TurnParticipantVideoOn(bool bOn) = 0;
    virtual bool IsParticipantVideoOn() = 0;
    virtual SDKError SetAudioOption(int option) = 0;
    virtual int GetAudioOption() = 0;
    virtual SDKError EnablePassword(bool bEnable) = 0;
    virtual bool IsPasswordEnabled(bool& bModifiable) = 0;
    virtual SDKError SetMeetingPassword(const wchar_t* password) = 0;
    virtual const wchar_t* GetMeetingPassword() = 0;
    virtual SDKError EnableJoinBeforeHost(bool bEnable) = 0;
    virtual bool IsJoinBeforeHostEnabled(bool& bModifiable) = 0;
    virtual SDKError EnableMuteUponEntry(bool bEnable) = 0;
    virtual bool IsMuteUponEntryEnabled(bool& bModifiable) = 0;
    virtual SDKError EnableUsePMI(bool bEnable) = 0;
    virtual bool IsUsePMIEnabled(bool& bModifiable) = 0;
    virtual SDKError EnableAutoRecording(bool bEnable) = 0;
    virtual bool IsAutoRecordingEnabled(bool& bModifiable) = 0;
    virtual UINT64 GetMeetingUniqueID() = 0; // 0 for a new meeting

protected:
    ~IScheduleMeetingItem() = default;
};

// A listed meeting as the cloud reported it. Owned by the SDK; valid until the service is destroyed.
class IMeetingItemInfo
{
public:
    virtual UINT64 GetMeetingUniqueID() = 0;
    virtual UINT64 GetMeetingNumber() = 0;
    virtual const wchar_t* GetMeetingTopic() = 0;
    virtual time_t GetStartTime() = 0; // 0 for a meeting without fixed time
    virtual unsigned int GetDurationInMinutes() = 0;
    virtual bool IsPeriodicMeeting() = 0;
    virtual bool IsPersonalMeeting() = 0;
    virtual bool IsHostVideoOn() = 0;
    virtual bool IsParticipantVideoOn() = 0;
    virtual bool IsPasswordEnabled(bool& bModifiable) = 0;
    virtual const wchar_t* GetMeetingPassword() = 0;
    virtual bool IsJoinBeforeHostEnabled(bool& bModifiable) = 0;
    virtual bool IsMuteUponEntryEnabled(bool& bModifiable) = 0;
    virtual bool IsUsePMIEnabled(bool& bModifiable) = 0;
    virtual bool IsAutoRecordingEnabled(bool& bModifiable) = 0;
    virtual const wchar_t* GetJoinMeetingUrl() = 0;
    virtual int GetAudioOption() = 0;
    virtual const wchar_t* GetTimeZone() = 0;

protected:
    ~IMeetingItemInfo() = default;
};

class IPreMeetingServiceEvent
{
public:
    // lstMeetingList holds unique meeting IDs and is valid during the call only.
    virtual void onListMeeting(PreMeetingAPIResult result, IList<UINT64>* lstMeetingList) = 0;
    virtual void onScheduleOrEditMeeting(PreMeetingAPIResult result, UINT64 meetingUniqueID) = 0;
    virtual void onDeleteMeeting(PreMeetingAPIResult result) = 0;

protected:
    ~IPreMeetingServiceEvent() = default;
};

// Needs a signed-in user.
class IPreMeetingService
{
public:
    virtual IScheduleMeetingItem* CreateScheduleMeetingItem() = 0;
    virtual void DestroyScheduleMeetingItem(IScheduleMeetingItem* pItem) = 0;
    virtual IScheduleMeetingItem* CreateEditMeetingItem(UINT64 meetingUniqueID) = 0;
    virtual void DestroyEditMeetingItem(IScheduleMeetingItem* pItem) = 0;
    virtual SDKError SetEvent(IPreMeetingServiceEvent* pEvent) = 0;
    // Number of meetings in the last list result.
    virtual int GetListedMeetingCount() = 0;
    // The answers of the next four arrive as events.
    virtual SDKError ScheduleMeeting(IScheduleMeetingItem* pItem) = 0;
    virtual bool IsRequestPending() = 0;
    virtual SDKError EditMeeting(IScheduleMeetingItem* pItem) = 0;
    virtual SDKError DeleteMeeting(UINT64 meetingUniqueID) = 0;
    virtual SDKError ListMeeting() = 0;
    // Null for a meeting that no list or schedule result has named.
    virtual IMeetingItemInfo* GetMeetingItem(UINT64 meetingUniqueID) = 0;

protected:
    ~IPreMeetingService() = default;
};

} // namespace ORVOSDK
