#include "sdk/SDKEntryPoints.h"

SDKEntryPoints RealSDKEntries()
{
    return SDKEntryPoints{
        &ORVOSDK::InitSDK,
        &ORVOSDK::CleanUPSDK,
        &ORVOSDK::CreateAuthService,
        &ORVOSDK::DestroyAuthService,
        &ORVOSDK::CreateMeetingService,
        &ORVOSDK::DestroyMeetingService,
        &ORVOSDK::CreatePreMeetingService,
        &ORVOSDK::DestroyPreMeetingService,
        &ORVOSDK::CreateSettingService,
        &ORVOSDK::DestroySettingService,
        &ORVOSDK::CreateNetworkConnectionHelper,
        &ORVOSDK::DestroyNetworkConnectionHelper,
        &ORVOSDK::RetrieveCustomizedResourceHelper,
    };
}

SDKEntryPoints& SDKEntries()
{
    static SDKEntryPoints entries = RealSDKEntries();
    return entries;
}
