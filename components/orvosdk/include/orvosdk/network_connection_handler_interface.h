#pragma once
// Orvo meeting SDK: reachability of the meeting cloud.

#include "orvosdk/orvo_sdk_def.h"

namespace ORVOSDK {

class INetworkConnectionHandler
{
public:
    // The meeting cloud answered; authentication may start.
    virtual void onNetworkConnectionReady() = 0;
    // A proxy asks for credentials; the SDK carries on without them when this is ignored.
    virtual void onProxyAuthenticationRequired(const wchar_t* proxyHost, unsigned int port) = 0;
    // The cloud's certificate did not verify against the bundle; nothing is sent to it.
    virtual void onCertificateVerificationFailed(const wchar_t* issuer) = 0;

protected:
    ~INetworkConnectionHandler() = default;
};

class INetworkConnectionHelper
{
public:
    // One handler at a time; registering starts the reachability check.
    virtual SDKError RegisterNetworkConnectionHandler(INetworkConnectionHandler* pHandler) = 0;
    virtual SDKError UnRegisterNetworkConnectionHandler() = 0;
    virtual SDKError ConfigureProxy(const wchar_t* proxy) = 0;
    virtual bool IsConnectionReady() = 0;

protected:
    ~INetworkConnectionHelper() = default;
};

} // namespace ORVOSDK
