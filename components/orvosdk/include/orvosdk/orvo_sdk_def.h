#pragma once
// Orvo meeting SDK: basic types, error codes and the records passed to the services.
// Interface operations keep their positions between releases; new operations are appended.

#include <ctime>

#if defined(ORVOSDK_BUILDING_LIBRARY)
#define ORVOSDK_API __attribute__((visibility("default")))
#else
#define ORVOSDK_API
#endif

typedef unsigned long long UINT64;
typedef unsigned int UINT;

namespace ORVOSDK {

enum SDKError
{
    SDKERR_SUCCESS = 0,
    SDKERR_NO_IMPL,
    SDKERR_WRONG_USAGE,
    SDKERR_INVALID_PARAMETER,
    SDKERR_MODULE_LOAD_FAILED,
    SDKERR_MEMORY_FAILED,
    SDKERR_SERVICE_FAILED,
    SDKERR_UNINITIALIZE,
    SDKERR_UNAUTHENTICATION,
    SDKERR_NORECORDINGINPROCESS,
    SDKERR_TRANSCODER_NOFOUND,
    SDKERR_VIDEO_NOTREADY,
    SDKERR_NO_PERMISSION,
    SDKERR_UNKNOWN,
    SDKERR_OTHER_SDK_INSTANCE_RUNNING,
    SDKERR_INTERNAL_ERROR,
    SDKERR_NO_AUDIODEVICE_ISFOUND,
    SDKERR_NO_VIDEODEVICE_ISFOUND,
    SDKERR_TOO_FREQUENT_CALL,
    SDKERR_FAIL_ASSIGN_USER_PRIVILEGE,
    SDKERR_MEETING_DONT_SUPPORT_FEATURE,
    SDKERR_MEETING_NOT_SHARE_SENDER,
    SDKERR_MEETING_YOU_HAVE_NO_SHARE,
    SDKERR_MEETING_VIEWTYPE_PARAMETER_IS_WRONG,
    SDKERR_MEETING_ANNOTATION_IS_OFF,
    SDKERR_SETTING_OS_DONT_SUPPORT,
    SDKERR_EMAIL_LOGIN_IS_DISABLED,
    SDKERR_HARDWARE_NOT_MEET_FOR_VB,
    SDKERR_NEED_USER_CONFIRM_RECORD_DISCLAIMER,
};

enum SDK_LANGUAGE_ID
{
    LANGUAGE_Unknown = 0,
    LANGUAGE_English,
    LANGUAGE_Chinese_Simplified,
    LANGUAGE_Chinese_Traditional,
    LANGUAGE_Japanese,
    LANGUAGE_Spanish,
    LANGUAGE_German,
    LANGUAGE_French,
    LANGUAGE_Portuguese,
    LANGUAGE_Russian,
    LANGUAGE_Korean,
};

// Passed to InitSDK once per process, on the thread that is to receive every event.
struct InitParam
{
    const wchar_t* strWebDomain;    // the meeting cloud, e.g. "https://cloud.example.com"
    const wchar_t* strBrandingName; // replaces "Orvo" in the SDK's windows when set
    const wchar_t* strSupportUrl;   // vendor support site
    void* hResInstance;             // module holding the window icons
    unsigned int uiWindowIconSmallID;
    unsigned int uiWindowIconBigID;
    SDK_LANGUAGE_ID emLanguageID; // language of the SDK's own windows
    bool enableGenerateDump;
    bool enableLogByDefault;
    unsigned int uiLogFileSize;   // MB
    const wchar_t* strConfigOpts; // reserved
};

template <class T> class IList
{
public:
    virtual ~IList() {}
    virtual int GetCount() = 0;
    virtual T GetItem(unsigned int index) = 0;
};

} // namespace ORVOSDK
