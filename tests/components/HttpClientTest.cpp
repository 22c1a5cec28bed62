// libHttpClient.so against an in-process HTTPS server.

#include "httpclient/HttpClient.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <link.h>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "HttpsTestServer.h"

using httpclient::IHttpClient;

namespace {

struct ClientDeleter
{
    void operator()(IHttpClient* client) const { DestroyHttpClient(client); }
};
using ClientPtr = std::unique_ptr<IHttpClient, ClientDeleter>;

ClientPtr newClient()
{
    return ClientPtr(CreateHttpClient());
}

std::string ca()
{
    return HttpsTestServer::caFile();
}

// Handlers that must never end up blocking the server's shutdown wait on this, bounded.
void holdUntil(const std::atomic<bool>& release, std::chrono::seconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!release && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

} // namespace

TEST(HttpClientSend, JsonBodyIsPostedAsJson)
{
    std::string method, contentType, accept, body;
    HttpsTestServer https;
    https.server().Post("/api/echo", [&](const httplib::Request& req, httplib::Response& res) {
        method = req.method;
        contentType = req.get_header_value("Content-Type");
        accept = req.get_header_value("Accept");
        body = req.body;
        res.set_content(R"({"code":"200"})", "application/json");
    });
    ASSERT_TRUE(https.start());

    ClientPtr client = newClient();
    ASSERT_TRUE(client);
    std::string response = "stale";
    const std::string sent = R"({"phoneNumber":"13800000000","note":"a\"b"})";
    EXPECT_EQ(client->Send(https.url("/api/echo"), sent, response, 1, 0, 0, "*", nullptr, ca().c_str()),
              httpclient::kOk);
    EXPECT_EQ(response, R"({"code":"200"})");
    EXPECT_EQ(client->GetLastStatus(), 200);
    EXPECT_STREQ(client->GetLastError(), "");
    EXPECT_EQ(method, "POST");
    EXPECT_EQ(contentType.rfind("application/json", 0), 0u) << contentType;
    EXPECT_EQ(accept, "*/*");
    EXPECT_EQ(body, sent);
}

TEST(HttpClientSend, FieldsArriveDecodedWithTheirReservedCharacters)
{
    std::string contentType, email, name, body;
    std::size_t fieldCount = 0;
    HttpsTestServer https;
    https.server().Post("/api/fields", [&](const httplib::Request& req, httplib::Response& res) {
        contentType = req.get_header_value("Content-Type");
        body = req.body;
        httplib::Params params;
        httplib::detail::parse_query_text(req.body, params);
        fieldCount = params.size();
        email = params.count("email") ? params.find("email")->second : "<missing>";
        name = params.count("name") ? params.find("name")->second : "<missing>";
        res.set_content("{}", "application/json");
    });
    ASSERT_TRUE(https.start());

    ClientPtr client = newClient();
    const httpclient::FieldMap fields{{"email", "a+b&id=1@x.cn"}, {"name", "张 三=%"}};
    std::string response;
    EXPECT_EQ(client->Send(https.url("/api/fields"), "ignored", response, 0, 0, 1, "*", &fields, ca().c_str()),
              httpclient::kOk);
    EXPECT_EQ(response, "{}");
    EXPECT_EQ(contentType, "application/x-www-form-urlencoded");
    EXPECT_EQ(fieldCount, 2u) << body;
    EXPECT_EQ(email, "a+b&id=1@x.cn");
    EXPECT_EQ(name, "张 三=%");
}

TEST(HttpClientSend, ConflictingFlagsAreRefusedWithoutTraffic)
{
    std::atomic<int> hits{0};
    HttpsTestServer https;
    https.server().Post("/x", [&](const httplib::Request&, httplib::Response& res) {
        ++hits;
        res.set_content("{}", "application/json");
    });
    ASSERT_TRUE(https.start());
    ClientPtr client = newClient();
    std::string response = "stale";
    EXPECT_EQ(client->Send(https.url("/x"), "{}", response, 1, 0, 1, "*", nullptr, ca().c_str()),
              httpclient::kBadArgument);
    EXPECT_EQ(client->Send(https.url("/x"), "{}", response, 1, 7, 0, "*", nullptr, ca().c_str()),
              httpclient::kBadArgument);
    EXPECT_TRUE(response.empty());
    EXPECT_EQ(hits, 0);
}

TEST(HttpClientGet, ReturnsBodyAndKeepsItOnErrorStatus)
{
    HttpsTestServer https;
    https.server().Get("/ok", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content("id=" + req.get_param_value("id"), "text/plain");
    });
    https.server().Get("/broken", [](const httplib::Request&, httplib::Response& res) {
        res.status = 500;
        res.set_content(R"({"code":"500","msg":"down"})", "application/json");
    });
    ASSERT_TRUE(https.start());

    ClientPtr client = newClient();
    std::string response;
    EXPECT_EQ(client->Get(https.url("/ok?id=42"), response, ca().c_str()), httpclient::kOk);
    EXPECT_EQ(response, "id=42");
    // The envelope, not the HTTP status, tells the caller what went wrong.
    EXPECT_EQ(client->Get(https.url("/broken"), response, ca().c_str()), httpclient::kOk);
    EXPECT_EQ(client->GetLastStatus(), 500);
    EXPECT_EQ(response, R"({"code":"500","msg":"down"})");
}

TEST(HttpClientTls, UnrelatedCaIsRefusedBeforeTheRequestIsSent)
{
    std::atomic<int> hits{0};
    HttpsTestServer https;
    https.server().Get("/secret", [&](const httplib::Request&, httplib::Response& res) {
        ++hits;
        res.set_content("secret", "text/plain");
    });
    ASSERT_TRUE(https.start());

    ClientPtr client = newClient();
    std::string response = "stale";
    EXPECT_EQ(client->Get(https.url("/secret"), response, HttpsTestServer::wrongCaFile().c_str()),
              httpclient::kTlsFailed);
    EXPECT_TRUE(response.empty());
    EXPECT_STRNE(client->GetLastError(), "");

    const std::string missing = HttpsTestServer::certDir() + "/no-such-bundle.crt";
    EXPECT_NE(client->Get(https.url("/secret"), response, missing.c_str()), httpclient::kOk);
    EXPECT_TRUE(response.empty());
    EXPECT_NE(client->Get(https.url("/secret"), response, ""), httpclient::kOk);
    EXPECT_NE(client->Get(https.url("/secret"), response, nullptr), httpclient::kOk);
    EXPECT_EQ(hits, 0);

    // A verified request through the same object still works afterwards.
    EXPECT_EQ(client->Get(https.url("/secret"), response, ca().c_str()), httpclient::kOk);
    EXPECT_EQ(response, "secret");
}

TEST(HttpClientTls, PlainHttpIsNotSpoken)
{
    httplib::Server plain;
    std::atomic<int> hits{0};
    plain.Get("/x", [&](const httplib::Request&, httplib::Response& res) {
        ++hits;
        res.set_content("plain", "text/plain");
    });
    const int port = plain.bind_to_any_port("127.0.0.1");
    ASSERT_GT(port, 0);
    std::thread thread([&] { plain.listen_after_bind(); });

    ClientPtr client = newClient();
    std::string response;
    EXPECT_EQ(client->Get("http://127.0.0.1:" + std::to_string(port) + "/x", response, ca().c_str()),
              httpclient::kBadArgument);
    EXPECT_TRUE(response.empty());
    EXPECT_EQ(hits, 0);
    while (!plain.is_running())
        std::this_thread::yield();
    plain.stop();
    thread.join();
}

TEST(HttpClientLimits, BodyOfExactlyOneMegabyteIsAcceptedOneByteMoreIsRefused)
{
    HttpsTestServer https;
    https.server().Get("/exact", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(std::string(httpclient::kMaxResponseBytes, 'a'), "text/plain");
    });
    https.server().Get("/over", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(std::string(httpclient::kMaxResponseBytes + 1, 'b'), "text/plain");
    });
    // No Content-Length: the limit must hold while the body streams in.
    https.server().Get("/chunked", [](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider("text/plain", [](size_t offset, httplib::DataSink& sink) {
            if (offset > 3 * httpclient::kMaxResponseBytes) {
                sink.done();
                return true;
            }
            const std::string chunk(64 * 1024, '{');
            return sink.write(chunk.data(), chunk.size());
        });
    });
    ASSERT_TRUE(https.start());

    ClientPtr client = newClient();
    std::string response;
    EXPECT_EQ(client->Get(https.url("/exact"), response, ca().c_str()), httpclient::kOk);
    EXPECT_EQ(response.size(), httpclient::kMaxResponseBytes);
    EXPECT_EQ(client->Get(https.url("/over"), response, ca().c_str()), httpclient::kTooLarge);
    EXPECT_TRUE(response.empty());
    EXPECT_EQ(client->Get(https.url("/chunked"), response, ca().c_str()), httpclient::kTooLarge);
    EXPECT_TRUE(response.empty());
}

TEST(HttpClientLimits, ServerThatNeverAnswersTimesOut)
{
    std::atomic<bool> release{false};
    HttpsTestServer https;
    https.server().Get("/hang", [&](const httplib::Request&, httplib::Response& res) {
        holdUntil(release, std::chrono::seconds(20));
        res.set_content("late", "text/plain");
    });
    ASSERT_TRUE(https.start());

    ClientPtr client = newClient();
    client->SetTimeouts(1000, 800);
    std::string response = "stale";
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(client->Get(https.url("/hang"), response, ca().c_str()), httpclient::kTimedOut);
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_TRUE(response.empty());
    EXPECT_LT(took, std::chrono::seconds(5));
    release = true;
}

TEST(HttpClientLimits, ClosedPortFailsAsConnectError)
{
    int port = 0;
    {
        HttpsTestServer https;
        ASSERT_TRUE(https.start());
        port = https.port();
    }
    ClientPtr client = newClient();
    std::string response;
    EXPECT_EQ(client->Get("https://127.0.0.1:" + std::to_string(port) + "/", response, ca().c_str()),
              httpclient::kConnectFailed);
    EXPECT_TRUE(response.empty());
    EXPECT_EQ(client->GetLastStatus(), 0);
}

TEST(HttpClientSharing, FreshClientsReuseOneConnectionOnTheSameThreadAndTheNext)
{
    std::mutex mutex;
    std::vector<int> ports;
    HttpsTestServer https;
    https.server().Get("/q", [&](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard<std::mutex> lock(mutex);
        ports.push_back(req.remote_port);
        res.set_content("{}", "application/json");
    });
    ASSERT_TRUE(https.start());

    // The client's pattern: a fresh object per request. The connection carries over, and goes back
    // with its handle for a request on another thread.
    for (int requests : {3, 1}) {
        std::thread([&] {
            for (int i = 0; i < requests; ++i) {
                ClientPtr client = newClient();
                std::string response;
                ASSERT_EQ(client->Get(https.url("/q"), response, ca().c_str()), httpclient::kOk);
            }
        }).join();
    }
    ASSERT_EQ(ports.size(), 4u);
    EXPECT_EQ(std::set<int>(ports.begin(), ports.end()).size(), 1u);
}

// VTX loads the component with dlopen; thread-local storage in such a library makes LeakSanitizer
// crash at exit, so the component keeps none.
TEST(HttpClientLibrary, HoldsNoThreadLocalStorage)
{
    struct Seen
    {
        bool found = false;
        bool tls = false;
    } seen;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            auto* seen = static_cast<Seen*>(data);
            const std::string name = info->dlpi_name ? info->dlpi_name : "";
            if (name.size() < 16 || name.compare(name.size() - 16, 16, "libHttpClient.so") != 0)
                return 0;
            seen->found = true;
// A resolver header of the test server defines p_type as a macro.
#pragma push_macro("p_type")
#undef p_type
            for (int i = 0; i < info->dlpi_phnum; ++i)
                seen->tls = seen->tls || info->dlpi_phdr[i].p_type == PT_TLS;
#pragma pop_macro("p_type")
            return 0;
        },
        &seen);
    ASSERT_TRUE(seen.found);
    EXPECT_FALSE(seen.tls);
}

TEST(HttpClientSharing, ConcurrentThreadsWithOwnClientsAllSucceed)
{
    HttpsTestServer https;
    https.server().Post("/echo", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content(req.body, "application/json");
    });
    ASSERT_TRUE(https.start());

    constexpr int kThreads = 4;
    constexpr int kRequests = 25;
    std::atomic<int> good{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kRequests; ++i) {
                ClientPtr client = newClient();
                const std::string body = "{\"t\":" + std::to_string(t) + ",\"i\":" + std::to_string(i) + "}";
                std::string response;
                if (client->Send(https.url("/echo"), body, response, 1, 0, 0, "*", nullptr, ca().c_str()) ==
                        httpclient::kOk &&
                    response == body)
                    ++good;
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(good, kThreads * kRequests);
}
