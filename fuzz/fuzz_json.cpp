// Answers of the web service as the request helpers parse them, and request bodies built from
// arbitrary text: input is answer, then member name and value (NUL between them).
#include "FuzzInput.h"
#include "net/ServiceRequest.h"

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<std::string> parts = fuzz::split(data, size, 3);

    const net::Reply reply = net::Reply::fromBody(parts[0]);
    FUZZ_CHECK(reply.answered() == !parts[0].empty());
    FUZZ_CHECK((reply.root() != nullptr) == (reply.state() == net::Reply::State::Parsed));
    if (reply.ok())
        FUZZ_CHECK(reply.state() == net::Reply::State::Parsed);
    reply.msg();
    reply.dataText();
    for (const char* name : {"code", "msg", "data", "password", "CODE", "items", ""}) {
        reply.string(name);
        reply.dataString(name);
        net::jsonNumber(reply.root(), name);
        net::jsonBool(reply.data(), name);
        net::jsonObject(reply.root(), name);
        net::jsonArray(reply.data(), name);
    }

    // Whatever the text (C strings: up to a NUL), a body member reads back as written.
    const std::string& name = parts[1];
    const std::string& value = parts[2];
    if (!name.empty() && value.find('\0') == std::string::npos) {
        const std::string body = net::JsonBody().add(name.c_str(), value).text();
        const net::Reply back = net::Reply::fromBody(body);
        FUZZ_CHECK(back.state() == net::Reply::State::Parsed);
        FUZZ_CHECK(back.string(name.c_str()) == value);
    }

    // Percent-encoding leaves only unreserved characters and escapes that decode to the input.
    const std::string encoded = net::percentEncode(value);
    std::string decoded;
    for (size_t i = 0; i < encoded.size(); ++i) {
        const char c = encoded[i];
        if (c == '%') {
            FUZZ_CHECK(i + 2 < encoded.size());
            const int hi = hexValue(encoded[i + 1]);
            const int lo = hexValue(encoded[i + 2]);
            FUZZ_CHECK(hi >= 0 && lo >= 0);
            decoded += char(hi * 16 + lo);
            i += 2;
        } else {
            const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                                    c == '-' || c == '.' || c == '_' || c == '~';
            FUZZ_CHECK(unreserved);
            decoded += c;
        }
    }
    FUZZ_CHECK(decoded == value);
    return 0;
}
