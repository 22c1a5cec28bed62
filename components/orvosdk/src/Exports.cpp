// The exported functions: service objects are created and destroyed only here.
#include <QCoreApplication>
#include <QThread>
#include <algorithm>
#include <memory>
#include <vector>

#include "SdkCore.h"
#include "Services.h"
#include "orvosdk/orvo_sdk.h"

using namespace orvo;

namespace ORVOSDK {

namespace {

// Never destroyed: a client may clean the SDK up from its own exit handlers, which can run after
// function-local statics of this library are gone.
template <class T> std::vector<std::unique_ptr<T>>& Live()
{
    static auto* objects = new std::vector<std::unique_ptr<T>>;
    return *objects;
}

// Every call must come from the thread that initialised the SDK.
bool Usable()
{
    SdkCore& core = SdkCore::Get();
    if (!core.Initialized())
        return false;
    QCoreApplication* app = QCoreApplication::instance();
    return app != nullptr;
}

template <class Impl, class I> SDKError CreateOne(I** out)
{
    if (!out)
        return SDKERR_INVALID_PARAMETER;
    *out = nullptr;
    if (!Usable())
        return SDKERR_UNINITIALIZE;
    Live<Impl>().push_back(std::make_unique<Impl>());
    *out = Live<Impl>().back().get();
    return SDKERR_SUCCESS;
}

template <class Impl, class I> SDKError DestroyOne(I* object)
{
    auto& live = Live<Impl>();
    auto it = std::find_if(live.begin(), live.end(), [object](const auto& p) { return p.get() == object; });
    if (!object || it == live.end())
        return SDKERR_INVALID_PARAMETER;
    live.erase(it);
    return SDKERR_SUCCESS;
}

std::unique_ptr<CustomizedResourceHelper>& ResourceHelper()
{
    static auto* helper = new std::unique_ptr<CustomizedResourceHelper>;
    return *helper;
}

} // namespace

SDKError InitSDK(InitParam& initParam)
{
    return SdkCore::Get().Init(initParam);
}

SDKError CleanUPSDK()
{
    if (!SdkCore::Get().Initialized())
        return SDKERR_UNINITIALIZE;
    // Services the application did not destroy go first; their widgets only while Qt still runs.
    const bool qtAlive = QCoreApplication::instance() != nullptr;
    auto drop = [qtAlive](auto& live) {
        if (qtAlive)
            live.clear();
        else
            for (auto& p : live)
                (void)p.release();
        live.clear();
    };
    drop(Live<MeetingService>());
    drop(Live<SettingService>());
    Live<AuthService>().clear();
    Live<PreMeetingService>().clear();
    Live<NetworkHelper>().clear();
    ResourceHelper().reset();
    return SdkCore::Get().Cleanup();
}

SDKError CreateAuthService(IAuthService** pp)
{
    return CreateOne<AuthService>(pp);
}
SDKError DestroyAuthService(IAuthService* p)
{
    return DestroyOne<AuthService>(p);
}
SDKError CreateMeetingService(IMeetingService** pp)
{
    return CreateOne<MeetingService>(pp);
}
SDKError DestroyMeetingService(IMeetingService* p)
{
    return DestroyOne<MeetingService>(p);
}
SDKError CreatePreMeetingService(IPreMeetingService** pp)
{
    return CreateOne<PreMeetingService>(pp);
}
SDKError DestroyPreMeetingService(IPreMeetingService* p)
{
    return DestroyOne<PreMeetingService>(p);
}
SDKError CreateSettingService(ISettingService** pp)
{
    return CreateOne<SettingService>(pp);
}
SDKError DestroySettingService(ISettingService* p)
{
    return DestroyOne<SettingService>(p);
}
SDKError CreateNetworkConnectionHelper(INetworkConnectionHelper** pp)
{
    return CreateOne<NetworkHelper>(pp);
}
SDKError DestroyNetworkConnectionHelper(INetworkConnectionHelper* p)
{
    return DestroyOne<NetworkHelper>(p);
}

SDKError RetrieveCustomizedResourceHelper(ICustomizedResourceHelper** pp)
{
    if (!pp)
        return SDKERR_INVALID_PARAMETER;
    *pp = nullptr;
    if (!Usable())
        return SDKERR_UNINITIALIZE;
    if (!ResourceHelper())
        ResourceHelper() = std::make_unique<CustomizedResourceHelper>();
    *pp = ResourceHelper().get();
    return SDKERR_SUCCESS;
}

const wchar_t* GetSDKVersion()
{
    return L"5.2.0 (VTX Linux)";
}

} // namespace ORVOSDK
