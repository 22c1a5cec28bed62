#include "ServiceClient.h"

#include <cmath>

#include "common/AppCredentials.h"

namespace servicetest {

std::string Answer::Str(const char* name) const
{
    const cJSON* item = json ? cJSON_GetObjectItemCaseSensitive(json.get(), name) : nullptr;
    return cJSON_IsString(item) ? item->valuestring : std::string();
}

const cJSON* Answer::Data() const
{
    return json ? cJSON_GetObjectItemCaseSensitive(json.get(), "data") : nullptr;
}

std::string Answer::DataStr(const char* name) const
{
    const cJSON* item = Data() ? cJSON_GetObjectItemCaseSensitive(Data(), name) : nullptr;
    return cJSON_IsString(item) ? item->valuestring : std::string();
}

double Answer::DataNum(const char* name) const
{
    const cJSON* item = Data() ? cJSON_GetObjectItemCaseSensitive(Data(), name) : nullptr;
    return cJSON_IsNumber(item) ? item->valuedouble : NAN;
}

bool Answer::DataBool(const char* name) const
{
    const cJSON* item = Data() ? cJSON_GetObjectItemCaseSensitive(Data(), name) : nullptr;
    return cJSON_IsTrue(item);
}

Answer ToAnswer(const httplib::Result& result)
{
    Answer a;
    if (!result)
        return a;
    a.status = result->status;
    a.body = result->body;
    a.json.reset(cJSON_Parse(a.body.c_str()));
    return a;
}

Client::Client(const vtxtest::VtxService& service)
    : m_client(service.Host(), service.Port())
{
    m_client.set_ca_cert_path(vtxtest::VtxService::CaFile().c_str());
    m_client.enable_server_certificate_verification(true);
    m_client.set_connection_timeout(5);
    m_client.set_read_timeout(10);
}

Answer Client::Get(const std::string& path, const httplib::Headers& headers)
{
    return ToAnswer(m_client.Get(path.c_str(), headers));
}

Answer Client::PostJson(const std::string& path, const std::string& body, const httplib::Headers& headers)
{
    return ToAnswer(m_client.Post(path.c_str(), headers, body, "application/json"));
}

Answer Client::PostForm(const std::string& path, const httplib::Params& fields)
{
    return ToAnswer(m_client.Post(path.c_str(), fields));
}

Answer Client::Put(const std::string& path, const std::string& body, const httplib::Headers& headers)
{
    return ToAnswer(m_client.Put(path.c_str(), headers, body, "application/json"));
}

Answer Client::Delete(const std::string& path, const httplib::Headers& headers)
{
    return ToAnswer(m_client.Delete(path.c_str(), headers));
}

std::string Client::AppToken()
{
    if (m_appToken.empty()) {
        const Answer a = PostJson("/sdk/auth", std::string("{\"app_key\":\"") + vtx::kAppKey + "\",\"app_secret\":\"" +
                                                   vtx::kAppSecret + "\"}");
        m_appToken = a.DataStr("app_token");
    }
    return m_appToken;
}

httplib::Headers Client::AppHeaders()
{
    return {{"X-App-Token", AppToken()}};
}

httplib::Headers Client::SignIn(const std::string& user, const std::string& password)
{
    const Answer a =
        PostJson("/sdk/login", "{\"user\":" + Quote(user) + ",\"password\":" + Quote(password) + "}", AppHeaders());
    return {{"X-App-Token", AppToken()}, {"X-Session-Token", a.DataStr("session_token")}};
}

httplib::Headers Client::SignInDemo()
{
    return SignIn(vtxtest::VtxService::DemoAccount(), vtxtest::VtxService::DemoPassword());
}

std::string Escape(const std::string& text)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~') {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back('%');
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 15]);
        }
    }
    return out;
}

std::string Quote(const std::string& text)
{
    cJSON* s = cJSON_CreateString(text.c_str());
    char* printed = cJSON_PrintUnformatted(s);
    std::string out(printed);
    cJSON_free(printed);
    cJSON_Delete(s);
    return out;
}

} // namespace servicetest
