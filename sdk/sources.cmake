# Sources of the sdk/ layer, relative to the top folder.
list(APPEND VTX_CLIENT_SOURCES
    sdk/AuthUIEvent.h
    sdk/CSDKJoinMeetingForLoginUserFlow.cpp
    sdk/CSDKJoinMeetingForLoginUserFlow.h
    sdk/CSDKLoggedInUIWorkFlow.cpp
    sdk/CSDKLoggedInUIWorkFlow.h
    sdk/CSDKMeetingUIEvent.h
    sdk/CSDKSheduleMeetingUIEvent.h
    sdk/CSDKSheduleMeetingUIWorkFlow.cpp
    sdk/CSDKSheduleMeetingUIWorkFlow.h
    sdk/EventSinkPool.h
    sdk/HostMeeting.cpp
    sdk/HostMeeting.h
    sdk/JoinMeeting.cpp
    sdk/JoinMeeting.h
    sdk/MeetingEvent.cpp
    sdk/MeetingEvent.h
    sdk/MeetingServiceChecks.h
    sdk/OrvoAuth.cpp
    sdk/OrvoAuth.h
    sdk/ScheduleItems.cpp
    sdk/ScheduleItems.h
    sdk/SDKEntryPoints.cpp
    sdk/SDKEntryPoints.h
    sdk/SDKInterfaceWrap.cpp
    sdk/SDKInterfaceWrap.h
)
