#pragma once
// An HTTPS server on a free loopback port, running on its own thread for the life of the object.
// Its certificate is signed by the test CA in VTX_TEST_CERT_DIR.

#include <chrono>
#include <httplib.h>
#include <string>
#include <thread>

class HttpsTestServer
{
public:
    static std::string certDir() { return VTX_TEST_CERT_DIR; }
    static std::string caFile() { return certDir() + "/ca.crt"; }
    static std::string wrongCaFile() { return certDir() + "/wrong-ca.crt"; }

    HttpsTestServer()
        : m_server((certDir() + "/server.crt").c_str(), (certDir() + "/server.key").c_str())
    {
        // Clients keep connections open; a short idle limit keeps stop() from waiting on them.
        m_server.set_keep_alive_timeout(1);
        m_server.set_keep_alive_max_count(1000);
        // Headers and body go out in separate writes; without this Nagle adds 40 ms per answer.
        m_server.set_tcp_nodelay(true);
    }

    ~HttpsTestServer() { stop(); }

    httplib::SSLServer& server() { return m_server; }

    // Binds and starts serving; routes may be added before. False when the server could not start.
    bool start()
    {
        if (!m_server.is_valid())
            return false;
        // The socket listens once bound, so clients may connect before the thread accepts.
        m_port = m_server.bind_to_any_port("127.0.0.1");
        if (m_port <= 0)
            return false;
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        // stop() is a no-op until the loop runs, so wait for it (bounded).
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!m_server.is_running() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();
        return m_server.is_running();
    }

    void stop()
    {
        m_server.stop();
        if (m_thread.joinable())
            m_thread.join();
    }

    int port() const { return m_port; }
    std::string host() const { return "127.0.0.1:" + std::to_string(m_port); }
    std::string url(const std::string& path) const { return "https://" + host() + path; }

private:
    httplib::SSLServer m_server;
    std::thread m_thread;
    int m_port = 0;
};
