# Sources of the base/ layer: the client's own rules that every layer above shares.
list(APPEND VTX_CLIENT_SOURCES
    base/Lifecycle.cpp
    base/Lifecycle.h
    base/Localization.cpp
    base/Localization.h
    base/MeetingNumber.cpp
    base/MeetingNumber.h
    base/ServiceConfig.cpp
    base/ServiceConfig.h
    base/Settings.cpp
    base/Settings.h
    base/Text.cpp
    base/Text.h
)
