// The cost of one fresh HTTP client object per request. The component shares connections and TLS
// sessions between its objects, so 200 requests through fresh objects should cost about as much
// as 200 through one reused curl handle.

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cjson/cJSON.h>
#include <curl/curl.h>
#include <memory>
#include <string>

#include "HttpsTestServer.h"
#include "base/MeetingNumber.h"
#include "net/CHTTPUtil.h"
#include "net/ServiceRequest.h"

namespace {

constexpr int kRequests = 200;
constexpr const char* kPath = "/api/orvo/user/QueryListMetting";

size_t collect(char* ptr, size_t size, size_t count, void* user)
{
    static_cast<std::string*>(user)->append(ptr, size * count);
    return size * count;
}

void BM_QueryListMetting_FreshClientEachRequest(benchmark::State& state)
{
    for (auto _ : state) {
        for (int i = 0; i < kRequests; ++i) {
            const std::optional<std::string> password =
                net::queryMeetingPassword(QStringLiteral("host@example.com"), 8000000000ull + i);
            if (!password) {
                state.SkipWithError("request failed");
                return;
            }
            benchmark::DoNotOptimize(password);
        }
    }
    state.SetItemsProcessed(state.iterations() * kRequests);
}

void BM_QueryListMetting_OneReusedCurlHandle(benchmark::State& state)
{
    CURL* easy = curl_easy_init();
    const std::string ca = HttpsTestServer::caFile();
    std::string body;
    curl_easy_setopt(easy, CURLOPT_CAINFO, ca.c_str());
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &collect);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &body);
    for (auto _ : state) {
        for (int i = 0; i < kRequests; ++i) {
            const std::string url = net::serviceUrl(
                net::withQuery(kPath, {{"host_id", "host@example.com"}, {"id", meetingNumberText(8000000000ull + i)}}));
            body.clear();
            curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
            if (curl_easy_perform(easy) != CURLE_OK) {
                state.SkipWithError("request failed");
                curl_easy_cleanup(easy);
                return;
            }
            cJSON* root = cJSON_Parse(body.c_str());
            benchmark::DoNotOptimize(cJSON_GetObjectItem(root, "password"));
            cJSON_Delete(root);
        }
    }
    state.SetItemsProcessed(state.iterations() * kRequests);
    curl_easy_cleanup(easy);
}

BENCHMARK(BM_QueryListMetting_FreshClientEachRequest)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_QueryListMetting_OneReusedCurlHandle)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    curl_global_init(CURL_GLOBAL_DEFAULT);

    HttpsTestServer server;
    server.server().Get(kPath, [](const httplib::Request& req, httplib::Response& res) {
        res.set_content(R"({"code":"200","password":")" + req.get_param_value("id").substr(0, 6) + "\"}",
                        "application/json");
    });
    if (!server.start())
        return 1;
    qputenv("VTX_SERVICE_HOST", QByteArray::fromStdString(server.host()));

    // A program folder holding the client component and the CA that signed the server.
    QTemporaryDir folder;
    if (!folder.isValid() ||
        !QFile::copy(QStringLiteral(VTX_HTTPCLIENT_LIBRARY), folder.filePath(QStringLiteral("libHttpClient.so"))) ||
        !QFile::copy(QString::fromStdString(HttpsTestServer::caFile()),
                     folder.filePath(QStringLiteral("curl-ca-bundle.crt"))))
        return 1;
    CHTTPUtil::Instance()->Rebind(folder.path() + QLatin1Char('/'));

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
