#pragma once
// The one way VTX talks to its web service: build the URL (values percent-encoded) and body, send
// through a fresh client of the HTTP component, parse the answer and judge the envelope
// {"code": "200", "msg": ..., "data": ...}. Features only branch on Reply::ok() and read typed
// fields; nothing here throws or crashes on a bad answer.

#include <QString>
#include <QtGlobal>
#include <cjson/cJSON.h>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/ServiceConfig.h"
#include "components/httpclient/include/httpclient/HttpClient.h"

namespace net {

using base::sdkWebDomain;
using base::serviceHost;
// "https://" + serviceHost() + pathAndQuery.
std::string serviceUrl(const std::string& pathAndQuery);
// The user guide web page, in the client's language.
std::string userGuideUrl(bool chinese);

// Time-outs of every following request, in milliseconds; <= 0 restores the component's default.
void setRequestTimeouts(long connectMs, long totalMs);

// Limits of one request in milliseconds; 0 leaves the value of setRequestTimeouts. Where both are
// set, the smaller wins, so a request never waits longer than either says.
struct Timeouts
{
    long connectMs = 0;
    long totalMs = 0;
};

using QueryParams = std::vector<std::pair<std::string, std::string>>;

// Percent-encodes everything but RFC 3986 unreserved characters, so a value can never add or
// change query parameters.
std::string percentEncode(const std::string& value);
// path + "?" + name=value pairs (names and values encoded); path alone when params is empty.
std::string withQuery(const std::string& path, const QueryParams& params);

// The inside of a JSON string literal: quotation mark, backslash and control characters escaped.
std::string jsonEscape(const std::string& text);

// Builds a request body; members keep their order, every value is escaped as JSON requires.
class JsonBody
{
public:
    JsonBody();
    ~JsonBody();
    JsonBody(JsonBody&& other) noexcept;
    JsonBody& operator=(JsonBody&& other) noexcept;

    JsonBody& add(const char* name, const std::string& value);
    JsonBody& add(const char* name, const QString& value);
    JsonBody& add(const char* name, const char* value);
    // Moves the members of object into a nested object.
    JsonBody& addObject(const char* name, JsonBody&& object);
    // Compact JSON text; "{}" for an empty body, empty only when memory ran out.
    std::string text() const;

private:
    cJSON* m_root;
};

// Typed readers. Names match regardless of ASCII case; a member of another type counts as absent.
std::optional<std::string> jsonString(const cJSON* object, const char* name);
std::optional<double> jsonNumber(const cJSON* object, const char* name);
std::optional<bool> jsonBool(const cJSON* object, const char* name);
const cJSON* jsonObject(const cJSON* object, const char* name);
const cJSON* jsonArray(const cJSON* object, const char* name);

// A parsed answer; owns the JSON tree.
class Reply
{
public:
    enum class State
    {
        NotSent,  // no client component, nothing was asked
        NoAnswer, // empty answer: network, TLS, time-out, refused size
        NotJson,  // unparsable, truncated, trailing garbage, or not an object
        Parsed
    };

    // Parses an answer as the request helpers do.
    static Reply fromBody(std::string body);
    static Reply notSent();

    State state() const { return m_state; }
    bool answered() const { return m_state == State::NotJson || m_state == State::Parsed; }
    // "code" is the string "200".
    bool ok() const;
    // "msg" when it is a string, else empty.
    std::string msg() const;

    // The top-level object; null unless Parsed.
    const cJSON* root() const { return m_root.get(); }
    // The "data" member of whatever type; null when absent.
    const cJSON* data() const;
    std::optional<std::string> string(const char* name) const { return jsonString(root(), name); }
    // A string member of the "data" object.
    std::optional<std::string> dataString(const char* name) const { return jsonString(data(), name); }
    // "data" itself when it is a string.
    std::optional<std::string> dataText() const;
    const std::string& body() const { return m_body; }

private:
    struct Free
    {
        void operator()(cJSON* node) const { cJSON_Delete(node); }
    };
    State m_state = State::NotSent;
    std::string m_body;
    std::unique_ptr<cJSON, Free> m_root;
};

// GET serviceUrl(withQuery(path, query)).
Reply getJson(const std::string& path, const QueryParams& query = {});
// POST of a JSON body (see JsonBody).
Reply postJson(const std::string& path,
               const std::string& jsonBody,
               const QueryParams& query = {},
               Timeouts limits = {});
// POST of form fields.
Reply postFields(const std::string& path, const httpclient::FieldMap& fields, Timeouts limits = {});

// "QueryListMetting": the password of one meeting, possibly empty. nullopt when no usable answer
// came (no client, no answer, not JSON, "password" missing or not a string); "code" is not looked at.
std::optional<std::string> queryMeetingPassword(const QString& hostId, quint64 meetingId);

} // namespace net
