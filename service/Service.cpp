#include "service/Service.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <set>
#include <sstream>
#include <strings.h>
#include <unistd.h>

#include "service/HttpsServer.h"
#include "service/Util.h"

namespace vtxsvc {

namespace {

std::mutex g_pathsMutex;
std::set<std::string> g_knownPaths;

void Remember(const std::string& path)
{
    std::lock_guard<std::mutex> lock(g_pathsMutex);
    g_knownPaths.insert(path);
}

bool IsKnownPath(const std::string& path)
{
    std::lock_guard<std::mutex> lock(g_pathsMutex);
    return g_knownPaths.count(path) != 0;
}

bool IsSaneHost(const std::string& host)
{
    if (host.empty() || host.size() > 255)
        return false;
    for (char c : host) {
        const bool ok = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' ||
                        c == '-' || c == ':' || c == '[' || c == ']';
        if (!ok)
            return false;
    }
    return true;
}

} // namespace

std::string TokenTable::AddLocked(Table& table, int64_t accountId)
{
    TrimLocked(table);
    std::string token = RandomToken(20);
    table[token] = Entry{accountId, ++m_clock};
    return token;
}

void TokenTable::TrimLocked(Table& table)
{
    while (!table.empty() && table.size() >= m_max) {
        auto oldest = table.begin();
        for (auto it = table.begin(); it != table.end(); ++it)
            if (it->second.lastUse < oldest->second.lastUse)
                oldest = it;
        table.erase(oldest);
    }
}

std::string TokenTable::NewAppToken()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return AddLocked(m_apps, 0);
}

bool TokenTable::IsAppToken(const std::string& token)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = token.empty() ? m_apps.end() : m_apps.find(token);
    if (it == m_apps.end())
        return false;
    it->second.lastUse = ++m_clock;
    return true;
}

std::string TokenTable::NewSession(int64_t accountId)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return AddLocked(m_sessions, accountId);
}

int64_t TokenTable::SessionAccount(const std::string& token)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_sessions.find(token);
    if (it == m_sessions.end())
        return 0;
    it->second.lastUse = ++m_clock;
    return it->second.accountId;
}

void TokenTable::DropSession(const std::string& token)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_sessions.erase(token);
}

void TokenTable::SetMaxTokens(size_t maxTokens)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_max = std::max<size_t>(1, maxTokens);
}

bool ServiceContext::LoadVersion()
{
    std::ifstream in(dataDir + "/version.json", std::ios::binary);
    if (!in)
        return SaveVersion(); // first start: write the defaults so a tester can edit them
    std::stringstream buf;
    buf << in.rdbuf();
    std::string error;
    JsonPtr root = ParseObject(buf.str(), error);
    if (!root) {
        std::fprintf(stderr, "vtx-service: version.json ignored: %s\n", error.c_str());
        return false;
    }
    FieldReader f(root.get());
    std::lock_guard<std::mutex> lock(versionMutex);
    f.String("app_version_new", version.appVersionNew, false);
    f.String("force_update", version.forceUpdate, false);
    f.String("url", version.url, false);
    f.String("tips", version.tips, false);
    if (!f.Ok())
        std::fprintf(stderr, "vtx-service: version.json: %s\n", f.Error().c_str());
    return f.Ok();
}

bool ServiceContext::SaveVersion()
{
    // The snapshot and the write go together, so a slower writer cannot put back an older answer.
    std::lock_guard<std::mutex> fileLock(versionFileMutex);
    JsonPtr root(cJSON_CreateObject());
    {
        std::lock_guard<std::mutex> lock(versionMutex);
        cJSON_AddStringToObject(root.get(), "app_version_new", version.appVersionNew.c_str());
        cJSON_AddStringToObject(root.get(), "force_update", version.forceUpdate.c_str());
        cJSON_AddStringToObject(root.get(), "url", version.url.c_str());
        cJSON_AddStringToObject(root.get(), "tips", version.tips.c_str());
    }
    const std::string text = Print(root.get()) + "\n";
    const std::string path = dataDir + "/version.json";
    std::string temp = path + ".XXXXXX";
    const int fd = mkostemp(&temp[0], O_CLOEXEC); // 0600
    if (fd < 0)
        return false;
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    const bool written = done == text.size();
    if (close(fd) != 0 || !written || std::rename(temp.c_str(), path.c_str()) != 0) {
        unlink(temp.c_str());
        return false;
    }
    return true;
}

cJSON* ItemJson(const Item& item, const std::string& baseUrl, const std::string& hostAccount)
{
    cJSON* o = cJSON_CreateObject();
    cJSON_AddItemToObject(o, "meeting_id", NumberItem(item.id));
    cJSON_AddItemToObject(o, "meeting_number", NumberItem(item.number));
    cJSON_AddStringToObject(o, "topic", item.topic.c_str());
    cJSON_AddItemToObject(o, "start_time", NumberItem(item.recurring ? 0 : item.startTime));
    cJSON_AddItemToObject(o, "duration", NumberItem(item.duration));
    cJSON_AddStringToObject(o, "timezone", item.timezone.c_str());
    cJSON_AddBoolToObject(o, "is_pmi", item.isPmi);
    cJSON_AddBoolToObject(o, "recurring", item.recurring);
    std::string error;
    JsonPtr recurrence = item.recurrence.empty() ? nullptr : ParseObject(item.recurrence, error);
    cJSON_AddItemToObject(o, "recurrence", recurrence ? recurrence.release() : cJSON_CreateNull());
    cJSON_AddStringToObject(o, "password", item.password.c_str());
    cJSON_AddBoolToObject(o, "password_enabled", item.passwordEnabled);
    cJSON_AddBoolToObject(o, "host_video", item.hostVideo);
    cJSON_AddBoolToObject(o, "participant_video", item.participantVideo);
    cJSON_AddBoolToObject(o, "join_before_host", item.joinBeforeHost);
    cJSON_AddBoolToObject(o, "mute_upon_entry", item.muteUponEntry);
    cJSON_AddBoolToObject(o, "use_pmi", item.usePmi);
    cJSON_AddBoolToObject(o, "auto_recording", item.autoRecording);
    cJSON* mod = cJSON_AddObjectToObject(o, "modifiable");
    for (const auto& option : kItemOptions)
        cJSON_AddBoolToObject(mod, option.name, (item.modifiable & option.bit) != 0);
    cJSON_AddStringToObject(o, "join_url", (baseUrl + "/j/" + std::to_string(item.number)).c_str());
    cJSON_AddStringToObject(o, "host_account", hostAccount.c_str());
    return o;
}

void ReplyJson(httplib::Response& res, const cJSON* root)
{
    res.status = 200;
    res.set_content(Print(root), "application/json; charset=utf-8");
}

void ReplyAndClose(httplib::Response& res, int status, const std::string& msg)
{
    JsonPtr root = MakeEnvelope(std::to_string(status).c_str(), msg);
    auto body = std::make_shared<std::string>(Print(root.get()));
    res.status = status;
    res.set_header("Connection", "close");
    // A provider that reports failure after writing everything makes httplib end the connection.
    res.set_content_provider(body->size(), "application/json; charset=utf-8",
                             [body](size_t offset, size_t length, httplib::DataSink& sink) {
                                 sink.write(body->data() + offset, length);
                                 return false;
                             });
}

void Reply(httplib::Response& res, const char* code, const std::string& msg, cJSON* data)
{
    JsonPtr root = MakeEnvelope(code, msg, data);
    ReplyJson(res, root.get());
}

void ReplyOk(httplib::Response& res, cJSON* data)
{
    Reply(res, "200", "ok", data ? data : cJSON_CreateObject());
}

std::string BaseUrl(const httplib::Request& req, const ServiceContext& ctx)
{
    const std::string host = req.get_header_value("Host");
    return "https://" + (IsSaneHost(host) ? host : ctx.listenAddress);
}

namespace {

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string PercentDecode(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const int hi = (text[i] == '%' && i + 2 < text.size()) ? HexValue(text[i + 1]) : -1;
        const int lo = hi >= 0 ? HexValue(text[i + 2]) : -1;
        if (lo >= 0) {
            out.push_back(static_cast<char>(hi * 16 + lo));
            i += 2;
        } else {
            out.push_back(text[i]); // a stray '%' is kept as typed
        }
    }
    return out;
}

} // namespace

bool QueryValue(const httplib::Request& req, const char* name, std::string& value)
{
    const size_t q = req.target.find('?');
    if (q == std::string::npos)
        return false;
    const std::string query = req.target.substr(q + 1);
    size_t pos = 0;
    while (pos <= query.size()) {
        size_t end = query.find('&', pos);
        if (end == std::string::npos)
            end = query.size();
        const std::string pair = query.substr(pos, end - pos);
        const size_t eq = pair.find('=');
        if (PercentDecode(pair.substr(0, eq)) == name) {
            value = eq == std::string::npos ? std::string() : PercentDecode(pair.substr(eq + 1));
            return true;
        }
        pos = end + 1;
    }
    return false;
}

namespace {

bool ExpectsBody(const std::string& method)
{
    return method == "POST" || method == "PUT" || method == "PATCH" || method == "DELETE" || method == "PRI";
}

// Names the first query part that is not UTF-8 once decoded, or "".
std::string BadQueryText(const httplib::Request& req)
{
    const size_t q = req.target.find('?');
    if (q == std::string::npos)
        return std::string();
    const std::string query = req.target.substr(q + 1);
    size_t pos = 0;
    while (pos <= query.size()) {
        size_t end = query.find('&', pos);
        if (end == std::string::npos)
            end = query.size();
        const std::string pair = query.substr(pos, end - pos);
        const size_t eq = pair.find('=');
        const std::string name = PercentDecode(pair.substr(0, eq));
        if (!IsValidUtf8(name) || (eq != std::string::npos && !IsValidUtf8(PercentDecode(pair.substr(eq + 1)))))
            return IsValidUtf8(name) ? name : std::string("?");
        pos = end + 1;
    }
    return std::string();
}

} // namespace

httplib::Server::HandlerResponse GuardRequest(const httplib::Request& req, httplib::Response& res)
{
    using R = httplib::Server::HandlerResponse;
    // httplib checks its body limit only against Content-Length: chunked bodies and decompressed
    // output are read without one. No client of ours sends either, so they are refused unread.
    if (req.has_header("Transfer-Encoding")) {
        ReplyAndClose(res, 413, "chunked request bodies are not accepted; send Content-Length (at most 256 KiB)");
        return R::Handled;
    }
    const std::string encoding = req.get_header_value("Content-Encoding");
    if (req.has_header("Content-Encoding") && strcasecmp(encoding.c_str(), "identity") != 0) {
        ReplyAndClose(res, 413, "compressed request bodies are not accepted");
        return R::Handled;
    }
    const size_t lengths = req.get_header_value_count("Content-Length");
    if (lengths > 0) {
        uint64_t length = 0;
        bool valid = ParseUInt64(req.get_header_value("Content-Length"), length) && length <= (UINT64_C(1) << 40);
        for (size_t i = 1; i < lengths; ++i)
            valid = valid && req.get_header_value("Content-Length", i) == req.get_header_value("Content-Length");
        if (!valid) {
            ReplyAndClose(res, 400, "malformed Content-Length");
            return R::Handled;
        }
        // A declared body over the limit is read and dropped by httplib before its 413, so a client
        // still sending gets the answer; the request deadline bounds a slow one.
    } else if (ExpectsBody(req.method)) {
        // Without a length a request has no body; httplib would wait for more until its read time-out.
        const_cast<httplib::Request&>(req).set_header("Content-Length", "0");
    }
    const std::string bad = BadQueryText(req);
    if (!bad.empty()) {
        Reply(res, "400", "query value \"" + bad + "\" is not valid UTF-8 text");
        return R::Handled;
    }
    return R::Unhandled;
}

bool FormField(const httplib::Request& req, const char* name, std::string& value)
{
    // Query and url-encoded bodies both end up in params.
    if (req.has_param(name)) {
        value = req.get_param_value(name);
        return true;
    }
    if (req.has_file(name)) {
        value = req.get_file_value(name).content;
        return true;
    }
    const std::string type = req.get_header_value("Content-Type");
    if (type.find("json") != std::string::npos && !req.body.empty()) {
        std::string error;
        JsonPtr root = ParseObject(req.body, error);
        const cJSON* item = root ? cJSON_GetObjectItemCaseSensitive(root.get(), name) : nullptr;
        if (cJSON_IsString(item)) {
            value = item->valuestring;
            return true;
        }
        if (cJSON_IsNumber(item)) {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%.0f", item->valuedouble);
            value = buf;
            return true;
        }
    }
    return false;
}

namespace {

// Every handler runs through here: its own time is the service's, not the client's.
httplib::Server::Handler Timed(httplib::Server::Handler handler)
{
    return [handler = std::move(handler)](const httplib::Request& req, httplib::Response& res) {
        HttpsServer::HandlerStarted(req);
        handler(req, res);
        HttpsServer::HandlerEnded(req);
    };
}

} // namespace

void Get(httplib::Server& server, const std::string& path, httplib::Server::Handler handler)
{
    Remember(path);
    server.Get(path, Timed(std::move(handler)));
}

void Post(httplib::Server& server, const std::string& path, httplib::Server::Handler handler)
{
    Remember(path);
    server.Post(path, Timed([handler = std::move(handler)](const httplib::Request& req, httplib::Response& res) {
                    // Form and multipart fields are text like JSON members (which ParseObject checks).
                    for (const auto& param : req.params)
                        if (!IsValidUtf8(param.first) || !IsValidUtf8(param.second))
                            return Reply(res, "400", "a form field is not valid UTF-8 text");
                    for (const auto& file : req.files)
                        if (!IsValidUtf8(file.first) || !IsValidUtf8(file.second.content))
                            return Reply(res, "400", "a form field is not valid UTF-8 text");
                    handler(req, res);
                }));
}

void Put(httplib::Server& server, const std::string& path, httplib::Server::Handler handler)
{
    Remember(path);
    server.Put(path, Timed(std::move(handler)));
}

void Delete(httplib::Server& server, const std::string& path, httplib::Server::Handler handler)
{
    Remember(path);
    server.Delete(path, Timed(std::move(handler)));
}

void InstallErrorHandlers(httplib::Server& server)
{
    server.set_error_handler([](const httplib::Request& req, httplib::Response& res) {
        if (!res.body.empty() || res.content_length_ > 0)
            return;
        std::string msg;
        int status = res.status;
        if (status == 404 && IsKnownPath(req.path)) {
            status = 405;
            msg = "method " + req.method + " is not allowed on " + req.path;
        } else if (status == 404) {
            msg = "unknown path " + req.path;
        } else if (status == 413) {
            msg = "request body is larger than 256 KiB";
        } else if (status == 400) {
            msg = "malformed request";
        } else {
            msg = "request failed";
        }
        res.status = status;
        JsonPtr root = MakeEnvelope(std::to_string(status).c_str(), msg);
        res.set_content(Print(root.get()), "application/json; charset=utf-8");
    });
    server.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
        res.status = 500;
        JsonPtr root = MakeEnvelope("500", "internal error");
        res.set_content(Print(root.get()), "application/json; charset=utf-8");
    });
}

void RegisterAdmin(httplib::Server& server, ServiceContext& ctx)
{
    // Test switches; only a peer on this machine may use them.
    auto local = [](const httplib::Request& req, httplib::Response& res) {
        if (req.remote_addr == "127.0.0.1" || req.remote_addr == "::1" || req.remote_addr == "::ffff:127.0.0.1")
            return true;
        Reply(res, "403", "admin calls are accepted from this machine only");
        return false;
    };

    Post(server, "/admin/version", [&ctx, local](const httplib::Request& req, httplib::Response& res) {
        if (!local(req, res))
            return;
        std::string error;
        JsonPtr root = ParseObject(req.body, error);
        if (!root)
            return Reply(res, "400", error);
        FieldReader f(root.get());
        VersionInfo v;
        {
            std::lock_guard<std::mutex> lock(ctx.versionMutex);
            v = ctx.version;
        }
        f.String("app_version_new", v.appVersionNew, false);
        f.String("force_update", v.forceUpdate, false);
        f.String("url", v.url, false);
        f.String("tips", v.tips, false);
        if (!f.Ok())
            return Reply(res, "400", f.Error());
        {
            std::lock_guard<std::mutex> lock(ctx.versionMutex);
            ctx.version = v;
        }
        if (!ctx.SaveVersion())
            return Reply(res, "500", "cannot save version.json");
        ReplyOk(res);
    });

    Post(server, "/admin/capacity", [&ctx, local](const httplib::Request& req, httplib::Response& res) {
        if (!local(req, res))
            return;
        std::string error;
        JsonPtr root = ParseObject(req.body, error);
        if (!root)
            return Reply(res, "400", error);
        FieldReader f(root.get());
        int64_t capacity = 0;
        f.Int("capacity", capacity, 1, 100000, true);
        if (!f.Ok())
            return Reply(res, "400", f.Error());
        ctx.meetings.SetCapacity(static_cast<int>(capacity));
        ReplyOk(res);
    });

    Post(server, "/admin/modifiable", [&ctx, local](const httplib::Request& req, httplib::Response& res) {
        if (!local(req, res))
            return;
        std::string error;
        JsonPtr root = ParseObject(req.body, error);
        if (!root)
            return Reply(res, "400", error);
        FieldReader f(root.get());
        int64_t id = 0;
        f.Int("meeting_id", id, 1, INT64_C(1) << 53, true);
        const cJSON* flags = f.Object("modifiable");
        if (!f.Ok())
            return Reply(res, "400", f.Error());
        auto item = ctx.store.ItemById(id);
        if (!item)
            return Reply(res, "404", "no such meeting item");
        FieldReader flagReader(flags);
        for (const auto& n : kItemOptions) {
            bool value = true;
            if (flagReader.Bool(n.name, value))
                item->modifiable = value ? (item->modifiable | n.bit) : (item->modifiable & ~n.bit);
        }
        if (!flagReader.Ok())
            return Reply(res, "400", flagReader.Error());
        if (!ctx.store.UpdateItem(*item))
            return Reply(res, "500", "cannot update the item");
        ReplyOk(res);
    });

    Post(server, "/admin/faults", [&ctx, local](const httplib::Request& req, httplib::Response& res) {
        if (!local(req, res))
            return;
        std::string error;
        JsonPtr root = ParseObject(req.body, error);
        if (!root)
            return Reply(res, "400", error);
        FieldReader f(root.get());
        bool failCommits = false;
        const bool hasCommits = f.Bool("fail_commits", failCommits);
        int64_t commitsFirst = 0;
        f.Int("commits_before_failure", commitsFirst, 0, 1000);
        int64_t maxTokens = 0;
        const bool hasTokens = f.Int("max_tokens", maxTokens, 1, 1000000);
        if (!f.Ok())
            return Reply(res, "400", f.Error());
        if (hasCommits)
            ctx.store.SetCommitFault(failCommits, static_cast<int>(commitsFirst));
        if (hasTokens)
            ctx.tokens.SetMaxTokens(static_cast<size_t>(maxTokens));
        ReplyOk(res);
    });

    Get(server, "/admin/outbox", [&ctx, local](const httplib::Request& req, httplib::Response& res) {
        if (!local(req, res))
            return;
        cJSON* data = cJSON_CreateObject();
        cJSON* files = cJSON_AddArrayToObject(data, "files");
        std::vector<std::string> names;
        if (DIR* dir = opendir(ctx.outbox.Folder().c_str())) {
            while (dirent* e = readdir(dir))
                if (e->d_name[0] != '.')
                    names.emplace_back(e->d_name);
            closedir(dir);
        }
        std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
            // sms-<phone>-<time>-... and email-<time>-...: order by the time part
            auto key = [](const std::string& n) {
                const size_t t = n.find('T');
                return t == std::string::npos || t < 8 ? n : n.substr(t - 8);
            };
            return key(a) < key(b);
        });
        for (const auto& n : names)
            cJSON_AddItemToArray(files, cJSON_CreateString(n.c_str()));
        ReplyOk(res, data);
    });
}

} // namespace vtxsvc
