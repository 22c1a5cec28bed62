#include "service/Json.h"

#include <cmath>

#include "service/Util.h"

namespace vtxsvc {

namespace {

// Member names and string values, at any depth.
bool AllTextIsUtf8(const cJSON* item)
{
    for (; item; item = item->next) {
        if (item->string && !IsValidUtf8(item->string))
            return false;
        if (cJSON_IsString(item) && item->valuestring && !IsValidUtf8(item->valuestring))
            return false;
        if (!AllTextIsUtf8(item->child))
            return false;
    }
    return true;
}

} // namespace

JsonPtr ParseObject(const std::string& body, std::string& error)
{
    if (body.empty()) {
        error = "request body is empty, a JSON object is expected";
        return nullptr;
    }
    const char* end = nullptr;
    JsonPtr root(cJSON_ParseWithLengthOpts(body.data(), body.size(), &end, false));
    if (!root) {
        error = "request body is not valid JSON";
        return nullptr;
    }
    // Trailing garbage after the object is a malformed request too.
    for (const char* p = end; p && p < body.data() + body.size(); ++p) {
        if (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n' && *p != '\0') {
            error = "request body has text after the JSON object";
            return nullptr;
        }
    }
    if (!cJSON_IsObject(root.get())) {
        error = "request body must be a JSON object";
        return nullptr;
    }
    // Stored text is echoed to every client; one bad byte would make their JSON parsers drop the whole answer.
    if (!AllTextIsUtf8(root.get())) {
        error = "request body holds text that is not valid UTF-8";
        return nullptr;
    }
    return root;
}

const cJSON* FieldReader::Find(const char* name, bool required)
{
    const cJSON* item = m_object ? cJSON_GetObjectItemCaseSensitive(m_object, name) : nullptr;
    if ((!item || cJSON_IsNull(item)) && required)
        Fail(std::string("missing field \"") + name + "\"");
    return cJSON_IsNull(item) ? nullptr : item;
}

bool FieldReader::String(const char* name, std::string& out, bool required)
{
    const cJSON* item = Find(name, required);
    if (!item)
        return false;
    if (!cJSON_IsString(item) || !item->valuestring) {
        Fail(std::string("field \"") + name + "\" must be a string");
        return false;
    }
    out = item->valuestring;
    return true;
}

bool FieldReader::Bool(const char* name, bool& out, bool required)
{
    const cJSON* item = Find(name, required);
    if (!item)
        return false;
    if (!cJSON_IsBool(item)) {
        Fail(std::string("field \"") + name + "\" must be true or false");
        return false;
    }
    out = cJSON_IsTrue(item);
    return true;
}

bool FieldReader::Int(const char* name, int64_t& out, int64_t low, int64_t high, bool required)
{
    const cJSON* item = Find(name, required);
    if (!item)
        return false;
    const double v = cJSON_IsNumber(item) ? item->valuedouble : NAN;
    if (!cJSON_IsNumber(item) || std::isnan(v) || v != std::floor(v)) {
        Fail(std::string("field \"") + name + "\" must be a whole number");
        return false;
    }
    if (v < static_cast<double>(low) || v > static_cast<double>(high)) {
        Fail(std::string("field \"") + name + "\" is out of range (" + std::to_string(low) + " to " +
             std::to_string(high) + ")");
        return false;
    }
    out = static_cast<int64_t>(v);
    return true;
}

bool FieldReader::BoolText(const char* name, bool& out, bool required)
{
    std::string text;
    if (!String(name, text, required))
        return false;
    if (text == "true")
        out = true;
    else if (text == "false")
        out = false;
    else {
        Fail(std::string("field \"") + name + "\" must be \"true\" or \"false\"");
        return false;
    }
    return true;
}

const cJSON* FieldReader::Object(const char* name, bool required)
{
    const cJSON* item = Find(name, required);
    if (!item)
        return nullptr;
    if (!cJSON_IsObject(item)) {
        Fail(std::string("field \"") + name + "\" must be an object");
        return nullptr;
    }
    return item;
}

JsonPtr MakeEnvelope(const char* code, const std::string& msg, cJSON* data)
{
    JsonPtr root(cJSON_CreateObject());
    cJSON_AddItemToObject(root.get(), "code", cJSON_CreateString(code));
    cJSON_AddItemToObject(root.get(), "msg", cJSON_CreateString(msg.c_str()));
    if (data)
        cJSON_AddItemToObject(root.get(), "data", data);
    return root;
}

std::string Print(const cJSON* item)
{
    char* text = cJSON_PrintUnformatted(item);
    if (!text)
        return "{\"code\":\"500\",\"msg\":\"out of memory\"}";
    std::string out(text);
    cJSON_free(text);
    return out;
}

cJSON* NumberItem(int64_t value)
{
    return cJSON_CreateNumber(static_cast<double>(value));
}

} // namespace vtxsvc
