#include "orvosdk/orvo_sdk.h"

namespace ORVOSDK {

SDKError InitSDK(InitParam&) { return SDKERR_UNINITIALIZE; }
SDKError CleanUPSDK() { return SDKERR_UNINITIALIZE; }
SDKError CreateAuthService(IAuthService**) { return SDKERR_UNINITIALIZE; }
SDKError DestroyAuthService(IAuthService*) { return SDKERR_UNINITIALIZE; }
SDKError CreateMeetingService(IMeetingService**) { return SDKERR_UNINITIALIZE; }
SDKError DestroyMeetingService(IMeetingService*) { return SDKERR_UNINITIALIZE; }
SDKError CreatePreMeetingService(IPreMeetingService**) { return SDKERR_UNINITIALIZE; }
SDKError DestroyPreMeetingService(IPreMeetingService*) { return SDKERR_UNINITIALIZE; }
SDKError CreateSettingService(ISettingService**) { return SDKERR_UNINITIALIZE; }
SDKError DestroySettingService(ISettingService*) { return SDKERR_UNINITIALIZE; }
SDKError CreateNetworkConnectionHelper(INetworkConnectionHelper**) { return SDKERR_UNINITIALIZE; }
SDKError DestroyNetworkConnectionHelper(INetworkConnectionHelper*) { return SDKERR_UNINITIALIZE; }
SDKError RetrieveCustomizedResourceHelper(ICustomizedResourceHelper**) { return SDKERR_UNINITIALIZE; }
const wchar_t* GetSDKVersion() { return L"0.0.0"; }

} // namespace ORVOSDK
