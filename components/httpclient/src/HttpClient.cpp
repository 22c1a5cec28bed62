#include "httpclient/HttpClient.h"

#include <array>
#include <cstring>
#include <curl/curl.h>
#include <mutex>
#include <new>
#include <vector>

#define HTTPCLIENT_EXPORT __attribute__((visibility("default")))

namespace httpclient {
namespace {

constexpr long kDefaultConnectMs = 5000;
constexpr long kDefaultTotalMs = 10000;
constexpr const char* kDefaultAgent = "VTX-HttpClient/1.0";

// The process-wide cache of connections, TLS sessions and DNS answers. Each kind of data has its
// own lock so a DNS lookup does not wait for a connection hand-over.
class SharedCache
{
public:
    static SharedCache& instance()
    {
        // Never destroyed: a request on a detached thread may still run while the process exits.
        static SharedCache* cache = new SharedCache();
        return *cache;
    }

    bool ready() const { return m_globalOk; }
    CURLSH* share() const { return m_share; }

private:
    SharedCache()
    {
        m_globalOk = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
        if (!m_globalOk)
            return;
        m_share = curl_share_init();
        if (!m_share)
            return;
        bool ok = curl_share_setopt(m_share, CURLSHOPT_LOCKFUNC, &SharedCache::lock) == CURLSHE_OK &&
                  curl_share_setopt(m_share, CURLSHOPT_UNLOCKFUNC, &SharedCache::unlock) == CURLSHE_OK &&
                  curl_share_setopt(m_share, CURLSHOPT_USERDATA, this) == CURLSHE_OK;
        // Connections stay with each handle: libcurl does not support one connection cache used by
        // concurrent threads. TLS sessions and DNS answers are shared.
        for (curl_lock_data kind : {CURL_LOCK_DATA_SSL_SESSION, CURL_LOCK_DATA_DNS})
            ok = ok && curl_share_setopt(m_share, CURLSHOPT_SHARE, kind) == CURLSHE_OK;
        if (!ok) {
            // Requests still work, they only lose the reuse.
            curl_share_cleanup(m_share);
            m_share = nullptr;
        }
    }

    static void lock(CURL*, curl_lock_data data, curl_lock_access, void* self)
    {
        static_cast<SharedCache*>(self)->mutexFor(data).lock();
    }
    static void unlock(CURL*, curl_lock_data data, void* self)
    {
        static_cast<SharedCache*>(self)->mutexFor(data).unlock();
    }

    std::mutex& mutexFor(curl_lock_data data)
    {
        const auto index = static_cast<std::size_t>(data);
        return index < m_locks.size() ? m_locks[index] : m_locks[0];
    }

    bool m_globalOk = false;
    CURLSH* m_share = nullptr;
    std::array<std::mutex, CURL_LOCK_DATA_LAST> m_locks;
};

// Idle curl handles, reset and reused by the next request on any thread. A fresh handle would also
// build a fresh internal multi handle (hash tables, a wake-up socket pair) on each perform. No
// thread_local: this library is loaded with dlopen, and the dynamic thread-local storage of such a
// library trips LeakSanitizer at exit.
class HandlePool
{
public:
    static HandlePool& instance()
    {
        // Never destroyed, like the shared cache: a request on a detached thread may still give its
        // handle back while the process exits.
        static HandlePool* pool = new HandlePool();
        return *pool;
    }

    CURL* acquire()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (!m_idle.empty()) {
                CURL* easy = m_idle.back();
                m_idle.pop_back();
                curl_easy_reset(easy);
                return easy;
            }
        }
        return curl_easy_init();
    }
    void release(CURL* easy)
    {
        if (!easy)
            return;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_idle.size() < kMaxIdle) {
                m_idle.push_back(easy);
                return;
            }
        }
        curl_easy_cleanup(easy);
    }

private:
    static constexpr std::size_t kMaxIdle = 8;
    std::mutex m_mutex;
    std::vector<CURL*> m_idle;
};

// A pooled handle for the length of one request.
class PooledHandle
{
public:
    PooledHandle()
        : m_easy(HandlePool::instance().acquire())
    {}
    ~PooledHandle() { HandlePool::instance().release(m_easy); }
    PooledHandle(const PooledHandle&) = delete;
    PooledHandle& operator=(const PooledHandle&) = delete;
    CURL* get() const { return m_easy; }

private:
    CURL* m_easy;
};

struct Sink
{
    std::string data;
    bool tooLarge = false;
};

size_t writeBody(char* ptr, size_t size, size_t count, void* user)
{
    auto* sink = static_cast<Sink*>(user);
    const size_t bytes = size * count;
    if (bytes > kMaxResponseBytes - sink->data.size()) {
        sink->tooLarge = true;
        return 0; // makes curl abort with CURLE_WRITE_ERROR
    }
    sink->data.append(ptr, bytes);
    return bytes;
}

Result classify(CURLcode code, bool tooLarge)
{
    if (tooLarge || code == CURLE_FILESIZE_EXCEEDED)
        return kTooLarge;
    switch (code) {
    case CURLE_OK:
        return kOk;
    case CURLE_URL_MALFORMAT:
    case CURLE_UNSUPPORTED_PROTOCOL:
        return kBadArgument;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT:
        return kConnectFailed;
    case CURLE_OPERATION_TIMEDOUT:
        return kTimedOut;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
        return kTlsFailed;
    default:
        return kTransferFailed;
    }
}

class HttpClient final : public IHttpClient
{
public:
    void SetTimeouts(long connectMs, long totalMs) override
    {
        if (connectMs > 0)
            m_connectMs = connectMs;
        if (totalMs > 0)
            m_totalMs = totalMs;
    }

    long GetLastStatus() const override { return m_status; }
    const char* GetLastError() const override { return m_error.c_str(); }
    void SetUserAgent(const std::string& agent) override { m_agent = agent; }

    int Send(const std::string& url,
             const std::string& body,
             std::string& response,
             int jsonFlag,
             int reserved,
             int fieldFlag,
             const char* accept,
             const FieldMap* fields,
             const char* caFile) override
    {
        response.clear();
        if (reserved != 0 || (jsonFlag && fieldFlag))
            return fail(kBadArgument, "conflicting request flags");
        const PooledHandle handle;
        CURL* easy = handle.get();
        if (!easy)
            return fail(kTransferFailed, "out of memory");
        std::string payload;
        const char* contentType = "Content-Type: application/octet-stream";
        if (fieldFlag) {
            payload = encodeFields(easy, fields);
            contentType = "Content-Type: application/x-www-form-urlencoded";
        } else {
            payload = body;
            if (jsonFlag)
                contentType = "Content-Type: application/json; charset=utf-8";
        }
        curl_easy_setopt(easy, CURLOPT_POST, 1L);
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, payload.data());
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(payload.size()));
        return perform(easy, url, caFile, accept, contentType, response);
    }

    int Get(const std::string& url, std::string& response, const char* caFile) override
    {
        response.clear();
        const PooledHandle handle;
        CURL* easy = handle.get();
        if (!easy)
            return fail(kTransferFailed, "out of memory");
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
        return perform(easy, url, caFile, "*", nullptr, response);
    }

private:
    int fail(Result result, const char* why)
    {
        m_status = 0;
        m_error = why;
        return result;
    }

    static std::string encodeFields(CURL* easy, const FieldMap* fields)
    {
        std::string out;
        if (!fields)
            return out;
        auto append = [&](const std::string& text) {
            if (char* escaped = curl_easy_escape(easy, text.data(), static_cast<int>(text.size()))) {
                out += escaped;
                curl_free(escaped);
            }
        };
        for (const auto& [name, value] : *fields) {
            if (!out.empty())
                out += '&';
            append(name);
            out += '=';
            append(value);
        }
        return out;
    }

    int perform(CURL* easy,
                const std::string& url,
                const char* caFile,
                const char* accept,
                const char* contentType,
                std::string& response)
    {
        m_status = 0;
        m_error.clear();
        if (url.empty() || !caFile || !*caFile)
            return fail(kBadArgument, "missing URL or CA file");

        std::string acceptHeader = "Accept: ";
        acceptHeader += (!accept || !*accept || std::strcmp(accept, "*") == 0) ? "*/*" : accept;
        curl_slist* headers = curl_slist_append(nullptr, acceptHeader.c_str());
        if (contentType && headers)
            headers = curl_slist_append(headers, contentType);
        // The service answers at once; waiting for "100 Continue" only adds a second.
        if (headers)
            headers = curl_slist_append(headers, "Expect:");

        Sink sink;
        char errorBuffer[CURL_ERROR_SIZE] = {};
        SharedCache& cache = SharedCache::instance();
        if (cache.share())
            curl_easy_setopt(easy, CURLOPT_SHARE, cache.share());
        curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
        curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "https");
        curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
        curl_easy_setopt(easy, CURLOPT_CAINFO, caFile);
        curl_easy_setopt(easy, CURLOPT_CAPATH, nullptr); // the given file is the only trust anchor
        curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
        curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L); // requests run on several threads
        curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, m_connectMs);
        curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, m_totalMs);
        curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMaxResponseBytes));
        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &writeBody);
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, &sink);
        curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorBuffer);
        curl_easy_setopt(easy, CURLOPT_USERAGENT, m_agent.empty() ? kDefaultAgent : m_agent.c_str());
        curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);

        const CURLcode code = curl_easy_perform(easy);
        long status = 0;
        curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
        // Nothing of this request may stay attached to the reused handle.
        curl_easy_setopt(easy, CURLOPT_HTTPHEADER, nullptr);
        curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, nullptr);
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, nullptr);
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, nullptr);
        curl_slist_free_all(headers);

        const Result result = classify(code, sink.tooLarge);
        m_status = status;
        if (result != kOk) {
            if (result == kTooLarge)
                m_error = "response larger than 1 MB";
            else
                m_error = errorBuffer[0] ? errorBuffer : curl_easy_strerror(code);
            return result;
        }
        response = std::move(sink.data);
        return kOk;
    }

    long m_connectMs = kDefaultConnectMs;
    long m_totalMs = kDefaultTotalMs;
    long m_status = 0;
    std::string m_error;
    std::string m_agent;
};

} // namespace
} // namespace httpclient

extern "C" {

HTTPCLIENT_EXPORT httpclient::IHttpClient* CreateHttpClient()
{
    if (!httpclient::SharedCache::instance().ready())
        return nullptr;
    return new (std::nothrow) httpclient::HttpClient();
}

HTTPCLIENT_EXPORT void DestroyHttpClient(httpclient::IHttpClient* client)
{
    delete static_cast<httpclient::HttpClient*>(client);
}
}
