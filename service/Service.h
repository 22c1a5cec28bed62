#pragma once
// The parts every route handler shares, and the functions that register the three route groups.

#include <httplib.h>
#include <map>
#include <mutex>
#include <string>

#include "service/Json.h"
#include "service/Meetings.h"
#include "service/Outbox.h"
#include "service/Store.h"

namespace vtxsvc {

struct VersionInfo
{
    std::string appVersionNew = "1.5.0";
    std::string forceUpdate = "1";
    std::string url = "https://localhost/download/VTX-1.5.0.tar.gz";
    std::string tips;
};

// Application and session tokens handed out by /sdk/auth and /sdk/login.
class TokenTable
{
public:
    std::string NewAppToken();
    bool IsAppToken(const std::string& token);
    std::string NewSession(int64_t accountId);
    int64_t SessionAccount(const std::string& token); // 0 when unknown
    void DropSession(const std::string& token);

private:
    std::mutex m_mutex;
    std::map<std::string, bool> m_apps;
    std::map<std::string, int64_t> m_sessions;
};

struct ServiceContext
{
    std::string dataDir;
    std::string listenAddress; // host:port, for links when a request has no usable Host header
    Store store;
    Outbox outbox;
    MeetingRegistry meetings;
    TokenTable tokens;

    std::mutex versionMutex;
    VersionInfo version;
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

// "https://host:port" from the request's Host header when it looks sane, else the listen address.
std::string BaseUrl(const httplib::Request& req, const ServiceContext& ctx);

// A URL query value, percent-decoded; '+' stays '+' (e-mail addresses may contain it).
bool QueryValue(const httplib::Request& req, const char* name, std::string& value);

// A field of a field request: form or query parameter, multipart part, or member of a JSON body.
bool FormField(const httplib::Request& req, const char* name, std::string& value);

// Registration that also remembers exact paths, so a wrong method gets 405 instead of 404.
void Get(httplib::Server& server, const std::string& path, httplib::Server::Handler handler);
void Post(httplib::Server& server, const std::string& path, httplib::Server::Handler handler);

void RegisterWebApi(httplib::Server& server, ServiceContext& ctx);
void RegisterSdkApi(httplib::Server& server, ServiceContext& ctx);
void RegisterAdmin(httplib::Server& server, ServiceContext& ctx);
// Envelope answers for unknown paths, oversize bodies and internal errors.
void InstallErrorHandlers(httplib::Server& server);

} // namespace vtxsvc
