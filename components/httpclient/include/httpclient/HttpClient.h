#pragma once
// libHttpClient.so: synchronous HTTPS requests over libcurl. One client object per request is the
// intended use; connections, TLS sessions and DNS answers are cached for the whole process, so a
// fresh object does not pay for a new handshake.

#include <cstddef>
#include <map>
#include <string>

namespace httpclient {

// Result of Send and Get. The response is empty for every value but kOk.
enum Result : int
{
    kOk = 0,
    kBadArgument = 1,   // empty URL or CA file, both body kinds at once, not an https URL
    kConnectFailed = 2, // DNS, refused connection, connect time-out
    kTlsFailed = 3,     // handshake or certificate verification
    kTimedOut = 4,      // the whole request took longer than the total time-out
    kTooLarge = 5,      // the body would exceed kMaxResponseBytes
    kTransferFailed = 6 // anything else curl reports
};

// A body above this size is refused: the response stays empty.
constexpr std::size_t kMaxResponseBytes = 1024 * 1024;

using FieldMap = std::map<std::string, std::string>;

class IHttpClient
{
public:
    // 0: time-outs of the following requests of this object, in milliseconds (defaults 5000 and
    // 10000). Values <= 0 keep the current value.
    virtual void SetTimeouts(long connectMs, long totalMs) = 0;
    // 1: HTTP status of the last request, 0 when no answer arrived.
    virtual long GetLastStatus() const = 0;
    // 2: a readable reason for the last failure; empty after success. Valid until the next request.
    virtual const char* GetLastError() const = 0;
    // 3: the User-Agent header sent from now on; empty restores the default.
    virtual void SetUserAgent(const std::string& agent) = 0;
    // 4: POST. jsonFlag != 0: body is sent as application/json. fieldFlag != 0: the fields (none
    // when null) are sent form-encoded (application/x-www-form-urlencoded) and body is ignored. accept is the
    // accepted media type ("*" means any). reserved must be 0. caFile is the only trust anchor.
    virtual int Send(const std::string& url,
                     const std::string& body,
                     std::string& response,
                     int jsonFlag,
                     int reserved,
                     int fieldFlag,
                     const char* accept,
                     const FieldMap* fields,
                     const char* caFile) = 0;
    // 5: GET.
    virtual int Get(const std::string& url, std::string& response, const char* caFile) = 0;

protected:
    virtual ~IHttpClient() = default; // objects go back through DestroyHttpClient
};

} // namespace httpclient

extern "C" {
// Null when the library could not set itself up.
httpclient::IHttpClient* CreateHttpClient();
void DestroyHttpClient(httpclient::IHttpClient* client);

using CreateHttpClientFn = httpclient::IHttpClient* (*)();
using DestroyHttpClientFn = void (*)(httpclient::IHttpClient*);
}
