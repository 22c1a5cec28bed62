#pragma once
// Peers that misbehave on purpose, and a service process the test controls itself (its signals,
// its arguments, its umask): what the ordinary client and VtxService cannot do.

#include <openssl/ssl.h>
#include <string>
#include <sys/types.h>
#include <vector>

namespace servicetest {

// One TLS connection verified against the development CA, written and read byte by byte.
class TlsPeer
{
public:
    explicit TlsPeer(int port);
    ~TlsPeer();
    TlsPeer(const TlsPeer&) = delete;
    TlsPeer& operator=(const TlsPeer&) = delete;

    bool Ok() const { return m_ssl != nullptr; }
    bool Send(const std::string& bytes);
    // Reads what arrives until the server closes (true) or |timeoutMs| passes (false).
    bool ReadUntilClosed(std::string& received, int timeoutMs);
    // Reads one answer with a Content-Length body; "" on time-out or close.
    std::string ReadAnswer(int timeoutMs);

private:
    int m_fd = -1;
    SSL_CTX* m_ctx = nullptr;
    SSL* m_ssl = nullptr;
};

// vtx-service started with extra arguments; not waited for unless asked.
class ServiceProcess
{
public:
    ServiceProcess(const std::string& dataDir, const std::vector<std::string>& extraArgs = {});
    ~ServiceProcess();
    ServiceProcess(const ServiceProcess&) = delete;
    ServiceProcess& operator=(const ServiceProcess&) = delete;

    pid_t Pid() const { return m_pid; }
    // Waits for "listening 127.0.0.1:PORT"; the port, or 0.
    int WaitListening(int timeoutMs);
    // Waits for the exit; the wait status, or -1 on time-out (the process is killed then).
    int WaitExit(int timeoutMs);

private:
    pid_t m_pid = -1;
    int m_out = -1;
    std::string m_line;
};

int64_t NowMs();

} // namespace servicetest
