#include "service/Service.h"

#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <set>
#include <sstream>

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

std::string TokenTable::NewAppToken()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::string token = RandomToken(20);
    m_apps[token] = true;
    return token;
}

bool TokenTable::IsAppToken(const std::string& token)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return !token.empty() && m_apps.count(token) != 0;
}

std::string TokenTable::NewSession(int64_t accountId)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::string token = RandomToken(20);
    m_sessions[token] = accountId;
    return token;
}

int64_t TokenTable::SessionAccount(const std::string& token)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_sessions.find(token);
    return it == m_sessions.end() ? 0 : it->second;
}

void TokenTable::DropSession(const std::string& token)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_sessions.erase(token);
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
    JsonPtr root(cJSON_CreateObject());
    {
        std::lock_guard<std::mutex> lock(versionMutex);
        cJSON_AddStringToObject(root.get(), "app_version_new", version.appVersionNew.c_str());
        cJSON_AddStringToObject(root.get(), "force_update", version.forceUpdate.c_str());
        cJSON_AddStringToObject(root.get(), "url", version.url.c_str());
        cJSON_AddStringToObject(root.get(), "tips", version.tips.c_str());
    }
    const std::string path = dataDir + "/version.json";
    const std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << Print(root.get()) << "\n";
        if (!out)
            return false;
    }
    return std::rename(temp.c_str(), path.c_str()) == 0;
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

void Get(httplib::Server& server, const std::string& path, httplib::Server::Handler handler)
{
    Remember(path);
    server.Get(path, std::move(handler));
}

void Post(httplib::Server& server, const std::string& path, httplib::Server::Handler handler)
{
    Remember(path);
    server.Post(path, std::move(handler));
}

void InstallErrorHandlers(httplib::Server& server)
{
    server.set_error_handler([](const httplib::Request& req, httplib::Response& res) {
        if (!res.body.empty())
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
