#include "net/ServiceRequest.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/MeetingNumber.h"
#include "base/Text.h"
#include "net/CHTTPUtil.h"

namespace net {
namespace {

constexpr const char* kQueryListMettingPath = "/api/orvo/user/QueryListMetting";

std::atomic<long> g_connectMs{0};
std::atomic<long> g_totalMs{0};

enum class Method
{
    Get,
    Json,
    Fields
};

long smallerLimit(long shared, long own)
{
    if (shared <= 0)
        return own > 0 ? own : 0;
    return own > 0 && own < shared ? own : shared;
}

Reply perform(Method method,
              const std::string& url,
              const std::string& body,
              const httpclient::FieldMap* fields,
              Timeouts limits = {})
{
    CHTTPUtil* util = CHTTPUtil::Instance();
    httpclient::IHttpClient* client = util->CreateClient();
    if (!client)
        return Reply::notSent();
    client->SetTimeouts(smallerLimit(g_connectMs.load(), limits.connectMs),
                        smallerLimit(g_totalMs.load(), limits.totalMs));
    const std::string caFile = util->CaFile();
    std::string response;
    switch (method) {
    case Method::Get:
        client->Get(url, response, caFile.c_str());
        break;
    case Method::Json:
        client->Send(url, body, response, 1, 0, 0, "*", nullptr, caFile.c_str());
        break;
    case Method::Fields:
        client->Send(url, std::string(), response, 0, 0, 1, "*", fields, caFile.c_str());
        break;
    }
    util->DestroyClient(client);
    return Reply::fromBody(std::move(response));
}

} // namespace

std::string serviceUrl(const std::string& pathAndQuery)
{
    return "https://" + serviceHost() + pathAndQuery;
}

std::string userGuideUrl(bool chinese)
{
    return serviceUrl(withQuery("/guide/PC/pcguide.html", {{"lang", chinese ? "zh-CN" : "en"}}));
}

void setRequestTimeouts(long connectMs, long totalMs)
{
    // The component keeps its own default for values <= 0.
    g_connectMs = connectMs > 0 ? connectMs : 0;
    g_totalMs = totalMs > 0 ? totalMs : 0;
}

std::string percentEncode(const std::string& value)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(value.size());
    for (const unsigned char c : value) {
        const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                                c == '-' || c == '.' || c == '_' || c == '~';
        if (unreserved) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        }
    }
    return out;
}

std::string withQuery(const std::string& path, const QueryParams& params)
{
    std::string url = path;
    char separator = '?';
    for (const auto& [name, value] : params) {
        url += separator;
        url += percentEncode(name);
        url += '=';
        url += percentEncode(value);
        separator = '&';
    }
    return url;
}

std::string jsonEscape(const std::string& text)
{
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (const unsigned char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                out += "\\u00";
                out += kHex[c >> 4];
                out += kHex[c & 0x0F];
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out;
}

JsonBody::JsonBody()
    : m_root(cJSON_CreateObject())
{}

JsonBody::~JsonBody()
{
    cJSON_Delete(m_root);
}

JsonBody::JsonBody(JsonBody&& other) noexcept
    : m_root(other.m_root)
{
    other.m_root = cJSON_CreateObject();
}

JsonBody& JsonBody::operator=(JsonBody&& other) noexcept
{
    if (this != &other)
        std::swap(m_root, other.m_root);
    return *this;
}

JsonBody& JsonBody::add(const char* name, const std::string& value)
{
    // cJSON strings end at the first NUL; cut there on purpose rather than inside cJSON.
    if (m_root)
        cJSON_AddItemToObject(m_root, name, cJSON_CreateString(value.c_str()));
    return *this;
}

JsonBody& JsonBody::add(const char* name, const QString& value)
{
    return add(name, WideToUtf8(value));
}

JsonBody& JsonBody::add(const char* name, const char* value)
{
    return add(name, std::string(value ? value : ""));
}

JsonBody& JsonBody::addObject(const char* name, JsonBody&& object)
{
    if (m_root && object.m_root) {
        cJSON_AddItemToObject(m_root, name, object.m_root);
        object.m_root = cJSON_CreateObject();
    }
    return *this;
}

std::string JsonBody::text() const
{
    if (!m_root)
        return std::string();
    char* printed = cJSON_PrintUnformatted(m_root);
    if (!printed)
        return std::string();
    std::string out(printed);
    cJSON_free(printed);
    return out;
}

std::optional<std::string> jsonString(const cJSON* object, const char* name)
{
    if (!cJSON_IsObject(object))
        return std::nullopt;
    const cJSON* item = cJSON_GetObjectItem(object, name);
    if (!cJSON_IsString(item) || !item->valuestring)
        return std::nullopt;
    return std::string(item->valuestring);
}

std::optional<double> jsonNumber(const cJSON* object, const char* name)
{
    if (!cJSON_IsObject(object))
        return std::nullopt;
    const cJSON* item = cJSON_GetObjectItem(object, name);
    if (!cJSON_IsNumber(item))
        return std::nullopt;
    return item->valuedouble;
}

std::optional<bool> jsonBool(const cJSON* object, const char* name)
{
    if (!cJSON_IsObject(object))
        return std::nullopt;
    const cJSON* item = cJSON_GetObjectItem(object, name);
    if (!cJSON_IsBool(item))
        return std::nullopt;
    return cJSON_IsTrue(item) != 0;
}

const cJSON* jsonObject(const cJSON* object, const char* name)
{
    if (!cJSON_IsObject(object))
        return nullptr;
    const cJSON* item = cJSON_GetObjectItem(object, name);
    return cJSON_IsObject(item) ? item : nullptr;
}

const cJSON* jsonArray(const cJSON* object, const char* name)
{
    if (!cJSON_IsObject(object))
        return nullptr;
    const cJSON* item = cJSON_GetObjectItem(object, name);
    return cJSON_IsArray(item) ? item : nullptr;
}

Reply Reply::fromBody(std::string body)
{
    Reply reply;
    reply.m_body = std::move(body);
    if (reply.m_body.empty()) {
        reply.m_state = State::NoAnswer;
        return reply;
    }
    reply.m_state = State::NotJson;
    // The length-bounded parse also rejects trailing garbage and text after an embedded NUL.
    const char* end = nullptr;
    cJSON* root = cJSON_ParseWithLengthOpts(reply.m_body.c_str(), reply.m_body.size() + 1, &end, 1);
    if (!root)
        return reply;
    reply.m_root.reset(root);
    if (end != reply.m_body.c_str() + reply.m_body.size() || !cJSON_IsObject(root)) {
        reply.m_root.reset();
        return reply;
    }
    reply.m_state = State::Parsed;
    return reply;
}

Reply Reply::notSent()
{
    return Reply();
}

bool Reply::ok() const
{
    const std::optional<std::string> code = string("code");
    return code && *code == "200";
}

std::string Reply::msg() const
{
    return string("msg").value_or(std::string());
}

const cJSON* Reply::data() const
{
    const cJSON* top = root();
    return top ? cJSON_GetObjectItem(top, "data") : nullptr;
}

std::optional<std::string> Reply::dataText() const
{
    const cJSON* item = data();
    if (!cJSON_IsString(item) || !item->valuestring)
        return std::nullopt;
    return std::string(item->valuestring);
}

Reply getJson(const std::string& path, const QueryParams& query)
{
    return perform(Method::Get, serviceUrl(withQuery(path, query)), std::string(), nullptr);
}

Reply postJson(const std::string& path, const std::string& jsonBody, const QueryParams& query, Timeouts limits)
{
    return perform(Method::Json, serviceUrl(withQuery(path, query)), jsonBody, nullptr, limits);
}

Reply postFields(const std::string& path, const httpclient::FieldMap& fields, Timeouts limits)
{
    return perform(Method::Fields, serviceUrl(path), std::string(), &fields, limits);
}

std::optional<std::string> queryMeetingPassword(const QString& hostId, quint64 meetingId)
{
    const Reply reply =
        getJson(kQueryListMettingPath, {{"host_id", WideToUtf8(hostId)}, {"id", meetingNumberText(meetingId)}});
    return reply.string("password");
}

} // namespace net
