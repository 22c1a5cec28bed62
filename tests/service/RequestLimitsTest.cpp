// How vtx-service treats bodies it must not read, text it must not store, and peers that are slow,
// idle or many.

#include <atomic>
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "RawPeer.h"
#include "ServiceClient.h"
#include "support/TestEnvironment.h"

using namespace servicetest;
using vtxtest::VtxService;

namespace {

class RequestLimits : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::signal(SIGPIPE, SIG_IGN); // writing on after the service refused a body
        ASSERT_TRUE(m_service.Ok()) << m_service.Error();
    }

    std::string Head(const std::string& method, const std::string& path, const std::string& extra)
    {
        return method + " " + path + " HTTP/1.1\r\nHost: " + m_service.HostPort() + "\r\n" + extra + "\r\n";
    }

    VtxService m_service;
    Client m_client{m_service};
};

int CountAnswers(const std::string& received)
{
    int n = 0;
    for (size_t pos = received.find("HTTP/1.1 "); pos != std::string::npos; pos = received.find("HTTP/1.1 ", pos + 1))
        ++n;
    return n;
}

} // namespace

TEST_F(RequestLimits, ChunkedBodyIsRefusedUnreadAndTheConnectionCloses)
{
    // Well over the limit in chunks, with a second request hidden in it: neither may be acted on.
    TlsPeer peer(m_service.Port());
    ASSERT_TRUE(peer.Ok());
    const std::string hidden = Head("GET", "/admin/outbox", "");
    std::string body;
    for (int i = 0; i < 80; ++i)
        body += "1000\r\n" + std::string(4096, ' ') + "\r\n";
    body += "0\r\n\r\n";
    ASSERT_TRUE(peer.Send(Head("POST", "/api/orvo/user/GetVerificationCode.do",
                               "Content-Type: application/json\r\nTransfer-Encoding: chunked\r\n")));
    peer.Send(body + hidden);
    std::string received;
    EXPECT_TRUE(peer.ReadUntilClosed(received, 20000)) << "the connection stayed open";
    EXPECT_EQ(received.compare(0, 12, "HTTP/1.1 413"), 0) << received.substr(0, 200);
    EXPECT_NE(received.find("\"code\":\"413\""), std::string::npos);
    EXPECT_EQ(CountAnswers(received), 1) << received;
}

TEST_F(RequestLimits, CompressedBodyIsRefusedWith413)
{
    // A small gzip body that inflates far past the limit.
    httplib::SSLClient raw(m_service.Host(), m_service.Port());
    raw.set_ca_cert_path(VtxService::CaFile().c_str());
    raw.enable_server_certificate_verification(true);
    raw.set_read_timeout(20);
    raw.set_compress(true);
    const std::string bomb = "{\"phoneNumber\":\"" + std::string(8 * 1024 * 1024, '1') + "\"}";
    const Answer a = ToAnswer(raw.Post("/api/orvo/user/GetVerificationCode.do", bomb, "application/json"));
    EXPECT_EQ(a.status, 413);
    EXPECT_EQ(a.Code(), "413");
    // The refusal is per request: the service goes on answering.
    EXPECT_EQ(m_client.PostJson("/api/orvo/user/GetVerificationCode.do", "{\"phoneNumber\":\"1\"}").Code(), "400");
}

TEST_F(RequestLimits, DeclaredOversizeAndMalformedLengthsAreRefused)
{
    TlsPeer big(m_service.Port());
    ASSERT_TRUE(big.Ok());
    big.Send(Head("POST", "/sdk/auth", "Content-Length: 1073741824\r\n"));
    EXPECT_EQ(big.ReadAnswer(20000).compare(0, 12, "HTTP/1.1 413"), 0);

    TlsPeer odd(m_service.Port());
    ASSERT_TRUE(odd.Ok());
    odd.Send(Head("POST", "/sdk/auth", "Content-Length: 12\r\nContent-Length: 13\r\n"));
    EXPECT_EQ(odd.ReadAnswer(20000).compare(0, 12, "HTTP/1.1 400"), 0);
}

TEST_F(RequestLimits, BodyMethodWithoutLengthHasAnEmptyBody)
{
    // No Content-Length and no chunks means no body; the service used to wait for one until its
    // read time-out and then answer "malformed request".
    const auto demo = m_client.SignInDemo();
    TlsPeer peer(m_service.Port());
    ASSERT_TRUE(peer.Ok());
    std::string headers;
    for (const auto& h : demo)
        headers += h.first + ": " + h.second + "\r\n";
    peer.Send(Head("POST", "/sdk/logout", headers));
    const std::string answer = peer.ReadAnswer(20000);
    EXPECT_NE(answer.find("\"code\":\"200\""), std::string::npos) << answer;
}

TEST_F(RequestLimits, TextThatIsNotUtf8IsRefusedEverywhere)
{
    const auto demo = m_client.SignInDemo();
    struct Case
    {
        const char* bytes;
        bool valid;
    } cases[] = {
        {"plain", true},
        {"\xe4\xbc\x9a\xe8\xae\xae", true},     // 会议
        {"\xf0\x9f\x98\x80", true},             // U+1F600
        {"\xef\xbf\xbf\xf4\x8f\xbf\xbf", true}, // U+FFFF, U+10FFFF
        {"\xc3", false},                        // cut short
        {"\xe4\xbc", false},                    // cut short
        {"\x80x", false},                       // stray continuation byte
        {"\xc0\xaf", false},                    // overlong '/'
        {"\xe0\x80\xaf", false},                // overlong
        {"\xed\xa0\x80", false},                // surrogate U+D800
        {"\xf4\x90\x80\x80", false},            // above U+10FFFF
        {"\xff", false},
    };
    for (const auto& c : cases) {
        // Raw bytes inside the JSON string (cJSON would escape nothing but quotes and controls).
        const std::string topic = std::string("T ") + c.bytes;
        const Answer a = m_client.PostJson("/sdk/items", "{\"topic\":\"" + topic + "\"}", demo);
        EXPECT_EQ(a.Code(), c.valid ? "200" : "400") << a.body;
        const Answer join = m_client.PostJson(
            "/sdk/meetings/join", "{\"number\":12345678901,\"display_name\":\"" + topic + "\",\"user_type\":101}",
            m_client.AppHeaders());
        EXPECT_EQ(join.Code(), c.valid ? "403" : "400") << join.body; // 403: no such meeting, so the name passed
    }
    // Form fields and query values are text too.
    EXPECT_EQ(m_client.PostForm("/api/qzMeetings/user/get_user_qz", {{"email", "demo\xff@vtx.local"}}).Code(), "400");
    EXPECT_EQ(m_client.Get("/api/orvo/user/QueryListMetting?host_id=demo%FF%40vtx.local&id=1").Code(), "400");
    EXPECT_EQ(m_client.Get("/api/orvo/user/QueryListMetting?host_id=demo%40vtx.local&id=1").Code(), "200");
    // Nothing bad was stored: the whole list still parses.
    const Answer list = m_client.Get("/sdk/items", demo);
    ASSERT_TRUE(list.json) << list.body;
    EXPECT_EQ(cJSON_GetArraySize(cJSON_GetObjectItemCaseSensitive(list.Data(), "items")), 5); // PMI + 4 valid
}

TEST_F(RequestLimits, IdleKeptConnectionClosesBeforeTheNextPoll)
{
    // The SDK polls once a second; an idle connection must not hold a worker until then. A burst
    // of requests still shares one connection.
    TlsPeer peer(m_service.Port());
    ASSERT_TRUE(peer.Ok());
    const std::string lookUp = Head("GET", "/api/orvo/user/QueryListMetting?host_id=demo%40vtx.local&id=1", "");
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(peer.Send(lookUp)); // a TLS record each, waiting in the socket for their turn
    for (int i = 0; i < 3; ++i)
        ASSERT_NE(peer.ReadAnswer(20000).find("\"code\":\"200\""), std::string::npos) << i;
    std::string rest;
    EXPECT_TRUE(peer.ReadUntilClosed(rest, 4000)) << "still open after 4 s";
    EXPECT_EQ(rest, "");
}

TEST_F(RequestLimits, StalledRequestIsCutAtTheDeadline)
{
    TlsPeer slow(m_service.Port());
    ASSERT_TRUE(slow.Ok());
    const std::string head = Head("GET", "/sdk/me", "X-Padding: " + std::string(100, 'x') + "\r\n");
    const int64_t start = NowMs();
    bool cut = false;
    std::string got;
    for (size_t i = 0; i < head.size() - 2 && NowMs() - start < 30000 && !cut; ++i) {
        // One byte a second keeps every single read well inside a read time-out.
        cut = !slow.Send(head.substr(i, 1)) || slow.ReadUntilClosed(got, 1000);
    }
    EXPECT_TRUE(cut) << "a request dripping for 30 s was never cut";
    EXPECT_EQ(got, ""); // cut, not answered
    EXPECT_LT(NowMs() - start, 20000);
}

TEST_F(RequestLimits, PollingParticipantsAreServedBesideSlowClients)
{
    // A full meeting of 100 polling every second on kept connections, while 64 clients each send a
    // header byte a second: every participant gets every poll answered.
    constexpr int kParticipants = 100, kSlowClients = 64, kRounds = 3;
    const auto demo = m_client.SignInDemo();
    const Answer started = m_client.PostJson("/sdk/meetings/start", "{\"number\":0,\"kind\":1}", demo);
    ASSERT_EQ(started.Code(), "200") << started.body;
    const std::string number = std::to_string(static_cast<int64_t>(started.DataNum("number")));
    std::vector<std::string> tokens = {started.DataStr("participant_id")};
    while (tokens.size() < kParticipants) {
        const Answer a = m_client.PostJson("/sdk/meetings/join",
                                           "{\"number\":" + number + ",\"display_name\":\"P\",\"user_type\":101}",
                                           m_client.AppHeaders());
        ASSERT_EQ(a.Code(), "200") << a.body;
        tokens.push_back(a.DataStr("participant_id"));
    }

    std::vector<std::unique_ptr<TlsPeer>> slow;
    for (int i = 0; i < kSlowClients; ++i) {
        slow.push_back(std::make_unique<TlsPeer>(m_service.Port()));
        ASSERT_TRUE(slow.back()->Ok());
    }
    std::atomic<bool> done{false};
    std::thread drip([&] {
        const std::string head = Head("GET", "/sdk/me", "X-Padding: " + std::string(200, 'x') + "\r\n");
        for (size_t i = 0; !done && i < head.size() - 2; ++i) {
            for (auto& s : slow)
                s->Send(head.substr(i, 1));
            for (int t = 0; t < 10 && !done; ++t)
                std::this_thread::sleep_for(std::chrono::milliseconds(100)); // a byte a second
        }
    });

    constexpr int kThreads = 10;
    std::vector<int> served(kParticipants, 0);
    std::vector<std::thread> pollers;
    const std::string app = m_client.AppToken();
    for (int t = 0; t < kThreads; ++t) {
        pollers.emplace_back([&, t] {
            std::vector<std::unique_ptr<Client>> clients;
            for (int p = t; p < kParticipants; p += kThreads) {
                clients.push_back(std::make_unique<Client>(m_service));
                clients.back()->Raw().set_keep_alive(true);
            }
            for (int round = 0; round < kRounds; ++round) {
                const int64_t roundStart = NowMs();
                for (size_t i = 0; i < clients.size(); ++i) {
                    const size_t p = t + i * kThreads;
                    const Answer a = clients[i]->Get("/sdk/meetings/" + number + "/state?participant=" + tokens[p],
                                                     {{"X-App-Token", app}});
                    if (a.Code() == "200" && a.DataStr("state") == "running")
                        ++served[p];
                }
                const int64_t left = 1000 - (NowMs() - roundStart);
                if (left > 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(left));
            }
        });
    }
    for (auto& p : pollers)
        p.join();
    done = true;
    drip.join();
    for (int p = 0; p < kParticipants; ++p)
        EXPECT_EQ(served[p], kRounds) << "participant " << p;
}

TEST_F(RequestLimits, ListenBacklogTakesABurstOfConnections)
{
    // With the listener frozen nothing is accepted, so every connection waits in the backlog.
    const QString data = vtxtest::makeTempDir("backlog");
    ServiceProcess service(data.toStdString() + "/data");
    const int port = service.WaitListening(30000);
    ASSERT_GT(port, 0);
    ASSERT_EQ(kill(service.Pid(), SIGSTOP), 0);
    int connected = 0;
    std::vector<int> fds;
    for (int i = 0; i < 64; ++i) {
        const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(static_cast<uint16_t>(port));
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        fds.push_back(fd);
    }
    for (int fd : fds) {
        pollfd p{fd, POLLOUT, 0};
        int error = 0;
        socklen_t size = sizeof error;
        if (poll(&p, 1, 2000) == 1 && getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0)
            ++connected;
        close(fd);
    }
    kill(service.Pid(), SIGCONT);
    EXPECT_EQ(connected, 64);
}
