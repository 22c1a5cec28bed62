#include "httpdl/HttpDL.h"

#include <QFile>
#include <atomic>
#include <cstdio>
#include <curl/curl.h>
#include <dlfcn.h>
#include <mutex>
#include <set>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "platform/Paths.h"
#include "platform/WindowMessage.h"

#define HTTPDL_EXPORT __attribute__((visibility("default")))

namespace {

constexpr long kConnectTimeoutMs = 5000;
// A transfer slower than 1 byte/s for this long is dead; there is no overall limit because
// installers may be large.
constexpr long kStallSeconds = 30;
constexpr quint64 kComplete = 101;

struct Download
{
    std::string url;
    std::string finalPath;
    std::string tempPath;
    std::string user;
    std::string password;
    std::string caFile;
    long long window = 0;
    FILE* file = nullptr;
    int lastPercent = -1;
    std::atomic<bool> stop{false};
    std::thread worker;
};

// Handles are the addresses of live downloads; anything else handed to DL_StopDownload is ignored.
class Registry
{
public:
    static Registry& instance()
    {
        static Registry registry;
        return registry;
    }

    void add(Download* download)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_live.insert(download);
    }

    Download* take(DownloadHandle handle)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (auto it = m_live.begin(); it != m_live.end(); ++it) {
            if (reinterpret_cast<DownloadHandle>(*it) == handle) {
                Download* found = *it;
                m_live.erase(it);
                return found;
            }
        }
        return nullptr;
    }

    static void finish(Download* download)
    {
        download->stop = true;
        if (download->worker.joinable())
            download->worker.join();
        delete download;
    }

private:
    Registry() = default;
    // At exit every download still running is stopped and its thread joined.
    ~Registry()
    {
        std::set<Download*> live;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            live.swap(m_live);
        }
        for (Download* download : live)
            finish(download);
    }

    std::mutex m_mutex;
    std::set<Download*> m_live;
};

// The CA bundle lies beside the component (which lies in the program folder).
std::string caFileBesideLibrary()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&caFileBesideLibrary), &info) && info.dli_fname) {
        std::string path = info.dli_fname;
        const auto slash = path.rfind('/');
        if (slash != std::string::npos)
            return path.substr(0, slash + 1) + "curl-ca-bundle.crt";
    }
    return QFile::encodeName(platform::programFolder()).toStdString() + "curl-ca-bundle.crt";
}

void report(const Download& download, quint64 value, qint64 status = 0)
{
    if (download.window != 0)
        platform::postMessage(download.window, platform::kMsgDownloadProgress, value, status);
}

size_t writeChunk(char* ptr, size_t size, size_t count, void* user)
{
    auto* download = static_cast<Download*>(user);
    if (download->stop)
        return 0;
    return std::fwrite(ptr, size, count, download->file) * size;
}

int progress(void* user, curl_off_t total, curl_off_t now, curl_off_t, curl_off_t)
{
    auto* download = static_cast<Download*>(user);
    if (download->stop)
        return 1; // aborts the transfer at once
    if (total > 0) {
        const int percent = static_cast<int>(now >= total ? 100 : now * 100 / total);
        if (percent != download->lastPercent) {
            download->lastPercent = percent;
            report(*download, static_cast<quint64>(percent));
        }
    }
    return 0;
}

bool transfer(Download& download)
{
    CURL* easy = curl_easy_init();
    if (!easy)
        return false;
    curl_easy_setopt(easy, CURLOPT_URL, download.url.c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(easy, CURLOPT_FAILONERROR, 1L); // an error page is not the file
    curl_easy_setopt(easy, CURLOPT_CAINFO, download.caFile.c_str());
    curl_easy_setopt(easy, CURLOPT_CAPATH, nullptr);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, kConnectTimeoutMs);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &writeChunk);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &download);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &progress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &download);
    if (!download.user.empty()) {
        curl_easy_setopt(easy, CURLOPT_USERNAME, download.user.c_str());
        curl_easy_setopt(easy, CURLOPT_PASSWORD, download.password.c_str());
    }
    const CURLcode code = curl_easy_perform(easy);
    curl_easy_cleanup(easy);
    return code == CURLE_OK;
}

void run(Download* download)
{
    bool ok = transfer(*download);
    ok = std::fclose(download->file) == 0 && ok;
    download->file = nullptr;
    if (ok && !download->stop && std::rename(download->tempPath.c_str(), download->finalPath.c_str()) == 0) {
        report(*download, kComplete);
        return;
    }
    ::unlink(download->tempPath.c_str());
    // The receiver would otherwise wait for a completion that never comes.
    if (!download->stop)
        report(*download, 0, kDownloadFailed);
}

} // namespace

extern "C" {

HTTPDL_EXPORT DownloadHandle
DL_StartDownload(const char* url, const char* localPath, const char* user, const char* password, long long window)
{
    if (!url || !*url || !localPath || !*localPath)
        return 0;
    static const bool curlReady = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    if (!curlReady)
        return 0;

    auto* download = new Download();
    download->url = url;
    download->finalPath = localPath;
    download->user = user ? user : "";
    download->password = password ? password : "";
    download->window = window;
    download->caFile = caFileBesideLibrary();

    // The partial file sits beside the target so the final rename cannot cross file systems.
    std::string tempPath = download->finalPath + ".part-XXXXXX";
    const int fd = ::mkstemp(tempPath.data());
    if (fd < 0) {
        delete download;
        return 0;
    }
    ::fchmod(fd, 0644);
    download->tempPath = tempPath;
    download->file = ::fdopen(fd, "wb");
    if (!download->file) {
        ::close(fd);
        ::unlink(tempPath.c_str());
        delete download;
        return 0;
    }

    Registry::instance().add(download);
    download->worker = std::thread(&run, download);
    return reinterpret_cast<DownloadHandle>(download);
}

HTTPDL_EXPORT void DL_StopDownload(DownloadHandle handle)
{
    if (Download* download = Registry::instance().take(handle))
        Registry::finish(download);
}
}
