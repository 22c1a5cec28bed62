# Sources of the net/ layer, relative to the top folder.
list(APPEND VTX_CLIENT_SOURCES
    net/CHTTPUtil.cpp
    net/CHTTPUtil.h
    net/MeetingApi.cpp
    net/MeetingApi.h
    net/ServiceRequest.cpp
    net/ServiceRequest.h
    net/TextConvert.cpp
    net/TextConvert.h
)
