#pragma once
// Orvo meeting SDK: pictures, texts and addresses an application puts into the SDK's windows.

#include "orvosdk/orvo_sdk_def.h"

namespace ORVOSDK {

enum SupportUrlType
{
    SupportUrl_Help = 0,     // "Help" link of the settings dialog
    SupportUrl_Feedback = 1, // "Feedback" link
    SupportUrl_Homepage = 2, // the application's web site
};

class ICustomizedResourceHelper
{
public:
    virtual SDKError AddCustomizedPictureResource(const wchar_t* strPNGID, const wchar_t* absolutePath) = 0;
    virtual SDKError AddCustomizedStringResource(const wchar_t* strStringID, const wchar_t* text) = 0;
    virtual SDKError SetSupportUrl(SupportUrlType type, const wchar_t* url) = 0;
    virtual const wchar_t* GetSupportUrl(SupportUrlType type) = 0;

protected:
    ~ICustomizedResourceHelper() = default;
};

} // namespace ORVOSDK
