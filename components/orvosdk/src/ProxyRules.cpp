#include "ProxyRules.h"

#include <QHostAddress>
#include <QUrl>

namespace orvo {

namespace {

QByteArray FirstSet(std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        const QByteArray value = qgetenv(name).trimmed();
        if (!value.isEmpty())
            return value;
    }
    return QByteArray();
}

QString Unbracketed(QString host)
{
    if (host.startsWith('[') && host.endsWith(']'))
        host = host.mid(1, host.size() - 2);
    return host;
}

bool EntryMatches(const QString& host, QString entry)
{
    entry = Unbracketed(entry.trimmed());
    if (entry.isEmpty())
        return false;
    QHostAddress address;
    if (address.setAddress(host)) {
        const QPair<QHostAddress, int> range = QHostAddress::parseSubnet(entry);
        if (range.first.isNull())
            return false;
        return entry.contains('/') ? address.isInSubnet(range)
                                   : address.isEqual(range.first, QHostAddress::StrictConversion);
    }
    if (entry.startsWith('.'))
        entry.remove(0, 1);
    if (entry.endsWith('.'))
        entry.chop(1);
    QString name = host;
    if (name.endsWith('.'))
        name.chop(1);
    return name.compare(entry, Qt::CaseInsensitive) == 0 || name.endsWith('.' + entry, Qt::CaseInsensitive);
}

} // namespace

std::optional<QNetworkProxy> ParseProxy(const QByteArray& value)
{
    QByteArray text = value.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    if (!text.contains("://"))
        text.prepend("http://");
    const QUrl url = QUrl::fromEncoded(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty())
        return std::nullopt;
    QNetworkProxy proxy;
    if (scheme == QLatin1String("http"))
        proxy.setType(QNetworkProxy::HttpProxy);
    else if (scheme == QLatin1String("socks5") || scheme == QLatin1String("socks5h"))
        proxy.setType(QNetworkProxy::Socks5Proxy);
    else
        return std::nullopt; // a TLS connection to the proxy itself, SOCKS4: not available here
    proxy.setHostName(url.host());
    proxy.setPort(quint16(url.port(1080)));
    proxy.setUser(url.userName(QUrl::FullyDecoded));
    proxy.setPassword(url.password(QUrl::FullyDecoded));
    return proxy;
}

bool ProxyBypassed(const QString& host, const QByteArray& noProxy)
{
    const QString bare = Unbracketed(host);
    for (const QByteArray& entry : noProxy.split(',')) {
        if (entry.trimmed() == "*")
            return true;
        if (EntryMatches(bare, QString::fromUtf8(entry)))
            return true;
    }
    return false;
}

std::optional<QNetworkProxy> EnvironmentProxy(const QString& host)
{
    const QByteArray named = FirstSet({"https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"});
    if (named.isEmpty() || ProxyBypassed(host, FirstSet({"no_proxy", "NO_PROXY"})))
        return QNetworkProxy(QNetworkProxy::NoProxy);
    return ParseProxy(named);
}

} // namespace orvo
