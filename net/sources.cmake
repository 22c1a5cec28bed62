# Sources of the net/ layer, relative to the top folder.
list(APPEND VTX_CLIENT_SOURCES
    net/AccountApi.cpp
    net/AccountApi.h
    net/CHTTPUtil.cpp
    net/CHTTPUtil.h
    net/MeetingApi.cpp
    net/MeetingApi.h
    net/ServiceRequest.cpp
    net/ServiceRequest.h
    net/SignInApi.cpp
    net/SignInApi.h
)
list(APPEND VTX_CLIENT_SOURCES
    net/InviteApi.cpp
    net/InviteApi.h
)
