#pragma once
// HTTPS client for the service tests: verifies the service against the development CA and
// hands back the parsed JSON answer.

#include <cjson/cJSON.h>
#include <httplib.h>
#include <memory>
#include <string>

#include "support/VtxService.h"

namespace servicetest {

struct JsonDeleter
{
    void operator()(cJSON* j) const { cJSON_Delete(j); }
};
using Json = std::unique_ptr<cJSON, JsonDeleter>;

struct Answer
{
    int status = 0; // HTTP status, 0 when there was no answer
    std::string body;
    Json json; // null when the body is not JSON

    std::string Code() const { return Str("code"); }
    std::string Msg() const { return Str("msg"); }
    std::string Str(const char* name) const; // top-level string member, "" when absent
    const cJSON* Data() const;
    std::string DataStr(const char* name) const;
    double DataNum(const char* name) const; // NAN when absent or not a number
    bool DataBool(const char* name) const;
};

class Client
{
public:
    explicit Client(const vtxtest::VtxService& service);

    Answer Get(const std::string& path, const httplib::Headers& headers = {});
    Answer PostJson(const std::string& path, const std::string& body, const httplib::Headers& headers = {});
    Answer PostForm(const std::string& path, const httplib::Params& fields);
    Answer Put(const std::string& path, const std::string& body, const httplib::Headers& headers = {});
    Answer Delete(const std::string& path, const httplib::Headers& headers = {});

    // /sdk helpers: app token, and app + session headers of a signed-in account.
    std::string AppToken();
    httplib::Headers AppHeaders();
    httplib::Headers SignIn(const std::string& user, const std::string& password);
    httplib::Headers SignInDemo();

    httplib::SSLClient& Raw() { return m_client; }

private:
    httplib::SSLClient m_client;
    std::string m_appToken;
};

Answer ToAnswer(const httplib::Result& result);
std::string Escape(const std::string& text); // percent-encodes a query value
// A JSON string literal (with quotes) for |text|, built by cJSON so the test body is well formed.
std::string Quote(const std::string& text);

} // namespace servicetest
