#include "net/CHTTPUtil.h"

#include <dlfcn.h>

#include "platform/Paths.h"

namespace {

void* openModule(const QString& path)
{
    return ::dlopen(path.toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
}

template <typename Fn> Fn entryPoint(void* module, const char* name)
{
    return module ? reinterpret_cast<Fn>(::dlsym(module, name)) : nullptr;
}

} // namespace

QString ProgramFolder()
{
    QString folder = platform::programFolder();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

CHTTPUtil* CHTTPUtil::Instance()
{
    static CHTTPUtil instance;
    return &instance;
}

CHTTPUtil::CHTTPUtil()
{
    Rebind(ProgramFolder());
}

void CHTTPUtil::Rebind(const QString& folder)
{
    Bindings next;
    next.folder = folder;
    if (!next.folder.isEmpty() && !next.folder.endsWith(QLatin1Char('/')))
        next.folder += QLatin1Char('/');
    next.httpClientModule = openModule(next.folder + QStringLiteral("libHttpClient.so"));
    next.createHttpClient = entryPoint<CreateHttpClientFn>(next.httpClientModule, "CreateHttpClient");
    next.destroyHttpClient = entryPoint<DestroyHttpClientFn>(next.httpClientModule, "DestroyHttpClient");
    // A client that cannot be given back would leak on every request, so both or neither.
    if (!next.createHttpClient || !next.destroyHttpClient)
        next.createHttpClient = nullptr, next.destroyHttpClient = nullptr;
    next.httpDlModule = openModule(next.folder + QStringLiteral("libHttpDL.so"));
    next.startDownload = entryPoint<DL_StartDownloadFn>(next.httpDlModule, "DL_StartDownload");
    next.stopDownload = entryPoint<DL_StopDownloadFn>(next.httpDlModule, "DL_StopDownload");
    if (!next.startDownload || !next.stopDownload)
        next.startDownload = nullptr, next.stopDownload = nullptr;

    std::lock_guard<std::mutex> lock(m_mutex);
    m_bindings = next;
}

CHTTPUtil::Bindings CHTTPUtil::bindings() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_bindings;
}

QString CHTTPUtil::Folder() const
{
    return bindings().folder;
}

std::string CHTTPUtil::CaFile() const
{
    return (bindings().folder + QStringLiteral("curl-ca-bundle.crt")).toUtf8().toStdString();
}

httpclient::IHttpClient* CHTTPUtil::CreateClient() const
{
    const Bindings b = bindings();
    return b.createHttpClient ? b.createHttpClient() : nullptr;
}

void CHTTPUtil::DestroyClient(httpclient::IHttpClient* client) const
{
    const Bindings b = bindings();
    if (client && b.destroyHttpClient)
        b.destroyHttpClient(client);
}

bool CHTTPUtil::CanDownload() const
{
    return bindings().startDownload != nullptr;
}

DownloadHandle CHTTPUtil::StartDownload(const std::string& url, const std::string& localPath, long long window) const
{
    const Bindings b = bindings();
    return b.startDownload ? b.startDownload(url.c_str(), localPath.c_str(), "", "", window) : 0;
}

void CHTTPUtil::StopDownload(DownloadHandle handle) const
{
    const Bindings b = bindings();
    if (handle && b.stopDownload)
        b.stopDownload(handle);
}
