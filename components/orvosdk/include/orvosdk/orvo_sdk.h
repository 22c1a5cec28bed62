#pragma once
// Orvo meeting SDK: the exported functions. Call InitSDK first, on the thread whose event loop is to
// receive every event; services are created after it and destroyed before CleanUPSDK.

#include "orvosdk/auth_service_interface.h"
#include "orvosdk/customized_resource_helper_interface.h"
#include "orvosdk/meeting_audio_video_interface.h"
#include "orvosdk/meeting_chat_interface.h"
#include "orvosdk/meeting_participants_ctrl_interface.h"
#include "orvosdk/meeting_service_interface.h"
#include "orvosdk/meeting_sharing_interface.h"
#include "orvosdk/meeting_ui_ctrl_interface.h"
#include "orvosdk/network_connection_handler_interface.h"
#include "orvosdk/orvo_sdk_def.h"
#include "orvosdk/premeeting_service_interface.h"
#include "orvosdk/setting_service_interface.h"

namespace ORVOSDK {

// SDKERR_SUCCESS, SDKERR_INVALID_PARAMETER (no web domain), SDKERR_WRONG_USAGE (already initialised,
// or no event loop on this thread). After CleanUPSDK the SDK may be initialised again.
ORVOSDK_API SDKError InitSDK(InitParam& initParam);
// Stops all network work (requests already queued get a short while to go out) and closes the SDK's
// windows. Network work also stops when the application quits or is destroyed.
ORVOSDK_API SDKError CleanUPSDK();

// Each Create returns SDKERR_UNINITIALIZE before InitSDK and SDKERR_INVALID_PARAMETER for a null out pointer.
ORVOSDK_API SDKError CreateAuthService(IAuthService** ppAuthService);
ORVOSDK_API SDKError DestroyAuthService(IAuthService* pAuthService);
ORVOSDK_API SDKError CreateMeetingService(IMeetingService** ppMeetingService);
ORVOSDK_API SDKError DestroyMeetingService(IMeetingService* pMeetingService);
ORVOSDK_API SDKError CreatePreMeetingService(IPreMeetingService** ppPreMeetingService);
ORVOSDK_API SDKError DestroyPreMeetingService(IPreMeetingService* pPreMeetingService);
ORVOSDK_API SDKError CreateSettingService(ISettingService** ppSettingService);
ORVOSDK_API SDKError DestroySettingService(ISettingService* pSettingService);
ORVOSDK_API SDKError CreateNetworkConnectionHelper(INetworkConnectionHelper** ppNetworkHelper);
ORVOSDK_API SDKError DestroyNetworkConnectionHelper(INetworkConnectionHelper* pNetworkHelper);
ORVOSDK_API SDKError RetrieveCustomizedResourceHelper(ICustomizedResourceHelper** ppCustomizedResourceHelper);
ORVOSDK_API const wchar_t* GetSDKVersion();

} // namespace ORVOSDK
