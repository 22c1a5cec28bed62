#pragma once
// The SDK's exported functions as the client calls them. Tests replace entries with fakes so the
// wrapper and the workflows can be driven without the meeting cloud.

#include "orvosdk/orvo_sdk.h"

struct SDKEntryPoints
{
    ORVOSDK::SDKError (*InitSDK)(ORVOSDK::InitParam&);
    ORVOSDK::SDKError (*CleanUPSDK)();
    ORVOSDK::SDKError (*CreateAuthService)(ORVOSDK::IAuthService**);
    ORVOSDK::SDKError (*DestroyAuthService)(ORVOSDK::IAuthService*);
    ORVOSDK::SDKError (*CreateMeetingService)(ORVOSDK::IMeetingService**);
    ORVOSDK::SDKError (*DestroyMeetingService)(ORVOSDK::IMeetingService*);
    ORVOSDK::SDKError (*CreatePreMeetingService)(ORVOSDK::IPreMeetingService**);
    ORVOSDK::SDKError (*DestroyPreMeetingService)(ORVOSDK::IPreMeetingService*);
    ORVOSDK::SDKError (*CreateSettingService)(ORVOSDK::ISettingService**);
    ORVOSDK::SDKError (*DestroySettingService)(ORVOSDK::ISettingService*);
    ORVOSDK::SDKError (*CreateNetworkConnectionHelper)(ORVOSDK::INetworkConnectionHelper**);
    ORVOSDK::SDKError (*DestroyNetworkConnectionHelper)(ORVOSDK::INetworkConnectionHelper*);
    ORVOSDK::SDKError (*RetrieveCustomizedResourceHelper)(ORVOSDK::ICustomizedResourceHelper**);
};

// The table in use; starts with the real exports of libsdk.so.
SDKEntryPoints& SDKEntries();
// The real exports, for a test that swapped entries and wants them back.
SDKEntryPoints RealSDKEntries();
