#include "sdk/CSDKSheduleMeetingUIWorkFlow.h"

#include "sdk/CSDKSheduleMeetingUIEvent.h"
#include "sdk/SDKInterfaceWrap.h"

using namespace ORVOSDK;

CSDKSheduleMeetingUIWorkFlow::CSDKSheduleMeetingUIWorkFlow()
{
    SDKInterfaceWrap& wrap = SDKInterfaceWrap::Instance();
    m_service = wrap.PreMeetingService();
    if (m_service) {
        m_scheduleItem = m_service->CreateScheduleMeetingItem();
        wrap.AddPreMeetingListener(this);
    }
    if (!m_scheduleItem)
        wrap.RemovePreMeetingListener(this);
}

CSDKSheduleMeetingUIWorkFlow::~CSDKSheduleMeetingUIWorkFlow()
{
    SDKInterfaceWrap::Instance().RemovePreMeetingListener(this);
    if (m_service) {
        if (m_scheduleItem)
            m_service->DestroyScheduleMeetingItem(m_scheduleItem);
        if (m_editItem)
            m_service->DestroyEditMeetingItem(m_editItem);
    }
    m_scheduleItem = nullptr;
    m_editItem = nullptr;
    m_listener = nullptr;
}

IScheduleMeetingItem* CSDKSheduleMeetingUIWorkFlow::NewScheduleItem()
{
    if (!m_service)
        return nullptr;
    if (m_scheduleItem) {
        m_service->DestroyScheduleMeetingItem(m_scheduleItem);
        m_scheduleItem = nullptr;
    }
    m_scheduleItem = m_service->CreateScheduleMeetingItem();
    return m_scheduleItem;
}

IScheduleMeetingItem* CSDKSheduleMeetingUIWorkFlow::NewEditItem(UINT64 meetingId)
{
    if (!m_service)
        return nullptr;
    if (m_editItem) {
        m_service->DestroyEditMeetingItem(m_editItem);
        m_editItem = nullptr;
    }
    m_editItem = m_service->CreateEditMeetingItem(meetingId);
    return m_editItem;
}

IMeetingItemInfo* CSDKSheduleMeetingUIWorkFlow::MeetingItem(UINT64 meetingId)
{
    return m_service ? m_service->GetMeetingItem(meetingId) : nullptr;
}

int CSDKSheduleMeetingUIWorkFlow::ListMeetings()
{
    return m_service ? int(m_service->ListMeeting()) : int(SDKERR_UNINITIALIZE);
}

int CSDKSheduleMeetingUIWorkFlow::ScheduleMeeting()
{
    return m_service ? int(m_service->ScheduleMeeting(m_scheduleItem)) : int(SDKERR_UNINITIALIZE);
}

int CSDKSheduleMeetingUIWorkFlow::EditMeeting()
{
    if (!m_service || !m_editItem)
        return SDKERR_UNINITIALIZE;
    return m_service->EditMeeting(m_editItem);
}

void CSDKSheduleMeetingUIWorkFlow::onListMeeting(PreMeetingAPIResult result, IList<UINT64>* lstMeetingList)
{
    if (m_listener)
        m_listener->OnListMeeting(result, lstMeetingList);
}

void CSDKSheduleMeetingUIWorkFlow::onScheduleOrEditMeeting(PreMeetingAPIResult result, UINT64 meetingUniqueID)
{
    if (m_listener)
        m_listener->OnScheduleOrEditMeeting(result, meetingUniqueID);
}

void CSDKSheduleMeetingUIWorkFlow::onDeleteMeeting(PreMeetingAPIResult result)
{
    if (m_listener)
        m_listener->OnDeleteMeeting(result);
}
