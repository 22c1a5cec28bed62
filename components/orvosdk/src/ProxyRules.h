#pragma once
// The proxy the environment names for the SDK's HTTPS requests, chosen by the same rules as the
// libcurl components of the application, so every request of a process takes one road.

#include <QByteArray>
#include <QNetworkProxy>
#include <QString>
#include <optional>

namespace orvo {

// https_proxy (then HTTPS_PROXY, all_proxy, ALL_PROXY) unless no_proxy (then NO_PROXY) lists the
// host. NoProxy when none applies; nullopt when the named proxy cannot be used, in which case the
// request must fail rather than go out directly.
std::optional<QNetworkProxy> EnvironmentProxy(const QString& host);

// "host:port", "http://user:pw@host:port", "socks5://host", "socks5h://host"; nullopt otherwise.
std::optional<QNetworkProxy> ParseProxy(const QByteArray& value);
// A no_proxy list: "*", names matching themselves and their subdomains (a leading dot is
// optional), addresses and address ranges ("10.0.0.0/8", "::1").
bool ProxyBypassed(const QString& host, const QByteArray& noProxy);

} // namespace orvo
