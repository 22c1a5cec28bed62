#pragma once
// The signed-in user's scheduled meetings: one schedule item and one edit item, submitted to the
// SDK's pre-meeting service, whose results go to the main window.

#include "orvosdk/orvo_sdk.h"

class CSDKSheduleMeetingUIEvent;

class CSDKSheduleMeetingUIWorkFlow : public ORVOSDK::IPreMeetingServiceEvent
{
public:
    CSDKSheduleMeetingUIWorkFlow();
    ~CSDKSheduleMeetingUIWorkFlow();
    CSDKSheduleMeetingUIWorkFlow(const CSDKSheduleMeetingUIWorkFlow&) = delete;
    CSDKSheduleMeetingUIWorkFlow& operator=(const CSDKSheduleMeetingUIWorkFlow&) = delete;

    void SetUIEvent(CSDKSheduleMeetingUIEvent* listener) { m_listener = listener; }

    // Each replaces (and frees) the previous item of its kind; null without a service.
    ORVOSDK::IScheduleMeetingItem* NewScheduleItem();
    ORVOSDK::IScheduleMeetingItem* NewEditItem(UINT64 meetingId);
    ORVOSDK::IScheduleMeetingItem* ScheduleItem() const { return m_scheduleItem; }
    ORVOSDK::IScheduleMeetingItem* EditItem() const { return m_editItem; }
    // Owned by the SDK; null without a service or for an unknown meeting.
    ORVOSDK::IMeetingItemInfo* MeetingItem(UINT64 meetingId);

    // 7 without a service (or, for EditMeeting, without an edit item); otherwise the SDK's result.
    int ListMeetings();
    int ScheduleMeeting();
    int EditMeeting();

    void onListMeeting(ORVOSDK::PreMeetingAPIResult result, ORVOSDK::IList<UINT64>* lstMeetingList) override;
    void onScheduleOrEditMeeting(ORVOSDK::PreMeetingAPIResult result, UINT64 meetingUniqueID) override;
    void onDeleteMeeting(ORVOSDK::PreMeetingAPIResult result) override;

private:
    ORVOSDK::IPreMeetingService* m_service = nullptr;
    ORVOSDK::IScheduleMeetingItem* m_scheduleItem = nullptr;
    ORVOSDK::IScheduleMeetingItem* m_editItem = nullptr;
    CSDKSheduleMeetingUIEvent* m_listener = nullptr;
};
