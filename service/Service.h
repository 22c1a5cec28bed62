#pragma once
// The parts every route handler shares, and the functions that register the three route groups.

#include <httplib.h>
#include <map>
#include <mutex>
#include <string>

#include "service/Json.h"
#include "service/Meetings.h"
#include "service/Outbox.h"
#include "service/RateLimiter.h"
#include "service/Store.h"

namespace vtxsvc {

struct VersionInfo
{
    std::string appVersionNew = "1.5.0";
    std::string forceUpdate = "1";
    std::string url = "https://localhost/download/VTX-1.5.0.tar.gz";
    std::string tips;
};

// Application and session tokens handed out by /sdk/auth and /sdk/login. Each table keeps at most
// |maxTokens|: anyone holding the application key can ask for tokens, so the least recently used
// one goes (its holder gets "401" and authenticates again).
class TokenTable
{
public:
    explicit TokenTable(size_t maxTokens = 10000)
        : m_max(maxTokens)
    {}
    std::string NewAppToken();
    bool IsAppToken(const std::string& token);
    std::string NewSession(int64_t accountId);
    int64_t SessionAccount(const std::string& token); // 0 when unknown
    void DropSession(const std::string& token);
    void SetMaxTokens(size_t maxTokens);

private:
    struct Entry
    {
        int64_t accountId = 0;
        uint64_t lastUse = 0;
    };
    using Table = std::map<std::string, Entry>;
    std::string AddLocked(Table& table, int64_t accountId);
    void TrimLocked(Table& table);
    std::mutex m_mutex;
    size_t m_max;
    uint64_t m_clock = 0; // use counter, orders entries by last use
    Table m_apps;
    Table m_sessions;
};

struct ServiceContext
{
    std::string dataDir;
    std::string listenAddress; // host:port, for links when a request has no usable Host header
    std::string guideUrl;      // where the user guide lives when not served here
    Store store;
    Outbox outbox;
    MeetingRegistry meetings;
    TokenTable tokens;

    // Verification codes: how often a phone or a peer may ask for one, and how many wrong codes a
    // phone may send whatever new codes it gets.
    RateLimiter codeRequestsPerPhone{3600};
    RateLimiter codeRequestsPerPeer{3600};
    RateLimiter wrongCodesPerPhone{24 * 3600};

    std::mutex versionMutex;
    VersionInfo version;
    std::mutex versionFileMutex; // one writer of version.json at a time, so the file holds the latest
    bool SaveVersion();
    bool LoadVersion();
};

// The item options with their modifiable bits, in the order the item JSON lists them.
struct ItemOption
{
    const char* name;
    int bit;
};
inline constexpr ItemOption kItemOptions[] = {{"password", kModPassword},
                                              {"host_video", kModHostVideo},
                                              {"participant_video", kModParticipantVideo},
                                              {"join_before_host", kModJoinBeforeHost},
                                              {"mute_upon_entry", kModMuteUponEntry},
                                              {"use_pmi", kModUsePmi},
                                              {"auto_recording", kModAutoRecording}};

// The item object of both APIs.
cJSON* ItemJson(const Item& item, const std::string& baseUrl, const std::string& hostAccount);

// Answers. Every handled request is HTTP 200 and carries the envelope; |data| ownership moves in.
void Reply(httplib::Response& res, const char* code, const std::string& msg, cJSON* data = nullptr);
void ReplyOk(httplib::Response& res, cJSON* data = nullptr);
void ReplyJson(httplib::Response& res, const cJSON* root);
// An HTTP error with the envelope, after which the connection closes: the request's body was not
// read, so its bytes must not be taken for the next request.
void ReplyAndClose(httplib::Response& res, int status, const std::string& msg);

// Largest request body read.
inline constexpr size_t kMaxBodyBytes = 256 * 1024;

// Checks a request's head before its body is read: bodies come with a valid Content-Length within
// the limit (chunked or compressed bodies would bypass it), and query text is UTF-8.
httplib::Server::HandlerResponse GuardRequest(const httplib::Request& req, httplib::Response& res);

// "https://host:port" from the request's Host header when it looks sane, else the listen address.
std::string BaseUrl(const httplib::Request& req, const ServiceContext& ctx);

// A URL query value, percent-decoded; '+' stays '+' (e-mail addresses may contain it).
bool QueryValue(const httplib::Request& req, const char* name, std::string& value);

// A field of a field request: form or query parameter, multipart part, or member of a JSON body.
bool FormField(const httplib::Request& req, const char* name, std::string& value);

// Registration that also remembers exact paths, so a wrong method gets 405 instead of 404. Every
// route goes through these: they keep the handler's time out of the client's request deadline.
void Get(httplib::Server& server, const std::string& path, httplib::Server::Handler handler);
void Post(httplib::Server& server, const std::string& path, httplib::Server::Handler handler);
void Put(httplib::Server& server, const std::string& path, httplib::Server::Handler handler);
void Delete(httplib::Server& server, const std::string& path, httplib::Server::Handler handler);

void RegisterWebApi(httplib::Server& server, ServiceContext& ctx);
void RegisterSdkApi(httplib::Server& server, ServiceContext& ctx);
void RegisterAdmin(httplib::Server& server, ServiceContext& ctx);
// Envelope answers for unknown paths, oversize bodies and internal errors.
void InstallErrorHandlers(httplib::Server& server);

} // namespace vtxsvc
