#pragma once
// Binding of the HTTP components. VTX loads libHttpClient.so and libHttpDL.so by name from its own
// folder at run time; a missing library or entry point leaves the matching pointer null, and
// every request then quietly does nothing.

#include <QString>
#include <mutex>
#include <string>

#include "components/httpclient/include/httpclient/HttpClient.h"
#include "components/httpdl/include/httpdl/HttpDL.h"

// The folder of the running executable, with a trailing '/'.
QString ProgramFolder();

class CHTTPUtil
{
public:
    // Bound to ProgramFolder() on first use.
    static CHTTPUtil* Instance();

    // Points the object at the components and CA bundle of another folder (trailing '/'). Tests use
    // it; it must not race with requests in flight.
    void Rebind(const QString& folder);

    QString Folder() const;
    // Folder() + "curl-ca-bundle.crt", UTF-8.
    std::string CaFile() const;

    // Null when the client component is missing. Give the object back with DestroyClient.
    httpclient::IHttpClient* CreateClient() const;
    void DestroyClient(httpclient::IHttpClient* client) const;

    bool CanDownload() const;
    // 0 when the download component is missing or refuses the arguments.
    DownloadHandle StartDownload(const std::string& url, const std::string& localPath, long long window) const;
    void StopDownload(DownloadHandle handle) const;

    CHTTPUtil(const CHTTPUtil&) = delete;
    CHTTPUtil& operator=(const CHTTPUtil&) = delete;

private:
    CHTTPUtil();
    ~CHTTPUtil() = default;

    struct Bindings
    {
        QString folder;
        CreateHttpClientFn createHttpClient = nullptr;
        DestroyHttpClientFn destroyHttpClient = nullptr;
        DL_StartDownloadFn startDownload = nullptr;
        DL_StopDownloadFn stopDownload = nullptr;
        // Modules stay loaded until the process ends: a detached worker may still be inside a
        // request while the process exits.
        void* httpClientModule = nullptr;
        void* httpDlModule = nullptr;
    };
    Bindings bindings() const;

    mutable std::mutex m_mutex;
    Bindings m_bindings;
};
