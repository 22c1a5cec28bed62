// Judging answers, building bodies and URLs: everything of the request helper that needs no server.

#include <QString>
#include <cstdlib>
#include <gtest/gtest.h>

#include "base/Text.h"
#include "net/ServiceRequest.h"

using net::Reply;

namespace {

struct EnvelopeCase
{
    const char* name;
    std::string body;
    Reply::State state;
    bool ok;
};

} // namespace

TEST(ServiceReplyEnvelope, OnlyTheString200IsSuccess)
{
    const EnvelopeCase cases[] = {
        {"empty", "", Reply::State::NoAnswer, false},
        {"html", "<html>502 Bad Gateway</html>", Reply::State::NotJson, false},
        {"truncated", R"({"code":"200","data":{"id":"1")", Reply::State::NotJson, false},
        {"trailing garbage", R"({"code":"200"} x)", Reply::State::NotJson, false},
        {"after embedded NUL", std::string(R"({"code":"200"})") + '\0' + "junk", Reply::State::NotJson, false},
        {"array", R"([{"code":"200"}])", Reply::State::NotJson, false},
        {"bare string", R"("200")", Reply::State::NotJson, false},
        {"number code", R"({"code":200})", Reply::State::Parsed, false},
        {"null code", R"({"code":null})", Reply::State::Parsed, false},
        {"no code", R"({"msg":"ok"})", Reply::State::Parsed, false},
        {"padded code", R"({"code":"200 "})", Reply::State::Parsed, false},
        {"other code", R"({"code":"500","msg":"down"})", Reply::State::Parsed, false},
        {"success", R"({"code":"200"})", Reply::State::Parsed, true},
        {"trailing whitespace", "{\"code\":\"200\"}\r\n", Reply::State::Parsed, true},
        {"upper-case name", R"({"CODE":"200"})", Reply::State::Parsed, true},
    };
    for (const auto& c : cases) {
        const Reply reply = Reply::fromBody(c.body);
        EXPECT_EQ(reply.state(), c.state) << c.name;
        EXPECT_EQ(reply.ok(), c.ok) << c.name;
        EXPECT_EQ(reply.root() != nullptr, c.state == Reply::State::Parsed) << c.name;
    }
}

TEST(ServiceReplyEnvelope, NotSentIsNeitherAnsweredNorOk)
{
    const Reply reply = Reply::notSent();
    EXPECT_EQ(reply.state(), Reply::State::NotSent);
    EXPECT_FALSE(reply.answered());
    EXPECT_FALSE(reply.ok());
    EXPECT_EQ(reply.msg(), "");
    EXPECT_FALSE(reply.dataString("id"));
}

TEST(ServiceReplyEnvelope, DeepOrHugeAnswersAreSurvived)
{
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    EXPECT_EQ(Reply::fromBody(deep).state(), Reply::State::NotJson);
    const std::string big = R"({"code":"200","msg":")" + std::string(2 * 1024 * 1024, 'x') + "\"}";
    const Reply reply = Reply::fromBody(big);
    EXPECT_TRUE(reply.ok());
    EXPECT_EQ(reply.msg().size(), 2u * 1024 * 1024);
}

TEST(ServiceReplyFields, NamesMatchAnyCaseButTypesMustMatch)
{
    const Reply reply = Reply::fromBody(
        R"({"code":"200","Msg":"hello","data":{"ID":"42","first_name":7,"avatar_path":null,"count":3,"on":true}})");
    ASSERT_TRUE(reply.ok());
    EXPECT_EQ(reply.msg(), "hello");
    EXPECT_EQ(reply.dataString("id"), std::optional<std::string>("42"));
    EXPECT_FALSE(reply.dataString("first_name"));
    EXPECT_FALSE(reply.dataString("avatar_path"));
    EXPECT_FALSE(reply.dataString("last_name"));
    EXPECT_FALSE(reply.dataText());
    EXPECT_EQ(net::jsonNumber(reply.data(), "count"), std::optional<double>(3));
    EXPECT_FALSE(net::jsonNumber(reply.data(), "id"));
    EXPECT_EQ(net::jsonBool(reply.data(), "on"), std::optional<bool>(true));
    EXPECT_FALSE(net::jsonObject(reply.root(), "msg"));
    EXPECT_TRUE(net::jsonObject(reply.root(), "DATA"));
}

TEST(ServiceReplyFields, DataMayBeAStringAndMsgOfWrongTypeIsEmpty)
{
    const Reply reply = Reply::fromBody(R"({"code":"200","msg":404,"data":"https://x.cn/s/abc"})");
    EXPECT_EQ(reply.msg(), "");
    EXPECT_EQ(reply.dataText(), std::optional<std::string>("https://x.cn/s/abc"));
    // A string "data" has no members.
    EXPECT_FALSE(reply.dataString("url"));
    EXPECT_FALSE(net::jsonString(nullptr, "x"));
    EXPECT_FALSE(net::jsonArray(reply.root(), "data"));
}

TEST(JsonBodyText, EveryByteValueSurvivesTheRoundTrip)
{
    std::string awkward = "say \"hi\" \\ back/slash \t\r\n 中文 ";
    for (int c = 1; c < 0x20; ++c)
        awkward += static_cast<char>(c);
    awkward += '\x7f';

    const std::string text = net::JsonBody().add("topic", awkward).add("email", "").text();
    const Reply viaBuilder = Reply::fromBody(text);
    ASSERT_EQ(viaBuilder.state(), Reply::State::Parsed) << text;
    EXPECT_EQ(viaBuilder.string("topic"), std::optional<std::string>(awkward));
    EXPECT_EQ(viaBuilder.string("email"), std::optional<std::string>(""));

    const Reply viaEscape = Reply::fromBody("{\"topic\":\"" + net::jsonEscape(awkward) + "\"}");
    ASSERT_EQ(viaEscape.state(), Reply::State::Parsed);
    EXPECT_EQ(viaEscape.string("topic"), std::optional<std::string>(awkward));
}

TEST(JsonBodyText, EscapesOnlyWhatJsonRequires)
{
    EXPECT_EQ(net::jsonEscape(""), "");
    EXPECT_EQ(net::jsonEscape("a\"b\\c"), "a\\\"b\\\\c");
    EXPECT_EQ(net::jsonEscape(std::string("\x01\x1f", 2)), "\\u0001\\u001f");
    EXPECT_EQ(net::jsonEscape("\n"), "\\n");
    EXPECT_EQ(net::jsonEscape("/中"), "/中");
}

TEST(JsonBodyText, KeepsMemberOrderAndNestsObjects)
{
    net::JsonBody settings;
    settings.add("host_video", "true").add("use_pmi", "false");
    net::JsonBody body;
    body.add("user_id", QStringLiteral("7")).add("topic", "t").addObject("settings", std::move(settings));
    EXPECT_EQ(body.text(), R"({"user_id":"7","topic":"t","settings":{"host_video":"true","use_pmi":"false"}})");
    // The moved-from builder is empty and still usable.
    EXPECT_EQ(settings.add("x", "y").text(), R"({"x":"y"})");
    EXPECT_EQ(net::JsonBody().text(), "{}");
}

TEST(ServiceUrl, ValuesCannotChangeTheQuery)
{
    EXPECT_EQ(net::percentEncode("a&id=1"), "a%26id%3D1");
    EXPECT_EQ(net::percentEncode("AZaz09-._~"), "AZaz09-._~");
    EXPECT_EQ(net::percentEncode("a b+c/%#?"), "a%20b%2Bc%2F%25%23%3F");
    EXPECT_EQ(net::percentEncode("张"), "%E5%BC%A0");
    EXPECT_EQ(net::withQuery("/p", {}), "/p");
    EXPECT_EQ(net::withQuery("/p", {{"host_id", ""}, {"id", "5"}}), "/p?host_id=&id=5");
    EXPECT_EQ(net::withQuery("/p", {{"email", "a@x.cn;b@y.cn"}}), "/p?email=a%40x.cn%3Bb%40y.cn");
}

TEST(ServiceUrl, LongValuesAreNeverCut)
{
    const std::string value(10000, 'v');
    const std::string url = net::withQuery("/api/orvo/user/QueryListMetting", {{"host_id", value}, {"id", "1"}});
    EXPECT_EQ(url.size(), std::string("/api/orvo/user/QueryListMetting?host_id=&id=1").size() + value.size());
    EXPECT_EQ(url.substr(url.size() - 5), "&id=1");
}

TEST(ServiceUrl, HostsComeFromTheEnvironmentWhenSet)
{
    qunsetenv("VTX_SERVICE_HOST");
    qputenv("VTX_SDK_DOMAIN", "");
    EXPECT_EQ(net::serviceHost(), "127.0.0.1:18443");
    EXPECT_EQ(net::sdkWebDomain(), "https://127.0.0.1:18443");
    qputenv("VTX_SERVICE_HOST", "10.0.0.2:9443");
    qputenv("VTX_SDK_DOMAIN", "https://meet.example");
    EXPECT_EQ(net::serviceUrl("/api/x?y=1"), "https://10.0.0.2:9443/api/x?y=1");
    EXPECT_EQ(net::sdkWebDomain(), "https://meet.example");
    qunsetenv("VTX_SERVICE_HOST");
    qunsetenv("VTX_SDK_DOMAIN");
}

TEST(TextConvert, RoundTripsKeepEveryCharacter)
{
    const QString text = QStringLiteral("会议 Ünïcödé 🎥") + QChar(0) + QStringLiteral("tail");
    EXPECT_EQ(Utf8ToWide(WideToUtf8(text)), text);
    EXPECT_EQ(WideToUtf8(QStringLiteral("张")), "\xE5\xBC\xA0");
    EXPECT_EQ(WideToUtf8(text).size(), static_cast<size_t>(text.toUtf8().size()));
    EXPECT_EQ(AnsiToWide(WideToAnsi(QStringLiteral("folder name"))), QStringLiteral("folder name"));
    EXPECT_TRUE(WideToUtf8(QString()).empty());
    EXPECT_TRUE(Utf8ToWide(std::string()).isEmpty());
    EXPECT_TRUE(WideToAnsi(QString()).empty());
    EXPECT_TRUE(AnsiToWide(std::string()).isEmpty());
}
