#include "RawPeer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/VtxService.h"

namespace servicetest {

int64_t NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

TlsPeer::TlsPeer(int port)
{
    // Writing to a peer the service has cut is part of these tests; it must not end the test program.
    std::signal(SIGPIPE, SIG_IGN);
    m_fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (m_fd < 0 || connect(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
        return;
    const int one = 1;
    setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one); // a dripped byte leaves at once
    m_ctx = SSL_CTX_new(TLS_client_method());
    SSL_CTX_load_verify_locations(m_ctx, vtxtest::VtxService::CaFile().c_str(), nullptr);
    SSL_CTX_set_verify(m_ctx, SSL_VERIFY_PEER, nullptr);
    SSL* ssl = SSL_new(m_ctx);
    SSL_set_fd(ssl, m_fd);
    SSL_set1_host(ssl, "127.0.0.1");
    if (SSL_connect(ssl) != 1) {
        SSL_free(ssl);
        return;
    }
    m_ssl = ssl;
    // Reads wait in poll() with a deadline, never inside OpenSSL.
    fcntl(m_fd, F_SETFL, fcntl(m_fd, F_GETFL) | O_NONBLOCK);
}

TlsPeer::~TlsPeer()
{
    if (m_ssl)
        SSL_free(m_ssl);
    if (m_ctx)
        SSL_CTX_free(m_ctx);
    if (m_fd >= 0)
        close(m_fd);
}

bool TlsPeer::Send(const std::string& bytes)
{
    size_t done = 0;
    while (m_ssl && done < bytes.size()) {
        const int n = SSL_write(m_ssl, bytes.data() + done, static_cast<int>(bytes.size() - done));
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        const int err = SSL_get_error(m_ssl, n);
        pollfd p{m_fd, static_cast<short>(err == SSL_ERROR_WANT_READ ? POLLIN : POLLOUT), 0};
        if ((err != SSL_ERROR_WANT_WRITE && err != SSL_ERROR_WANT_READ) || poll(&p, 1, 10000) <= 0)
            return false;
    }
    return m_ssl != nullptr;
}

bool TlsPeer::ReadUntilClosed(std::string& received, int timeoutMs)
{
    if (!m_ssl)
        return true;
    const int64_t deadline = NowMs() + timeoutMs;
    for (;;) {
        if (SSL_pending(m_ssl) == 0) {
            const int64_t left = deadline - NowMs();
            pollfd p{m_fd, POLLIN, 0};
            if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0)
                return false;
        }
        char buf[4096];
        const int n = SSL_read(m_ssl, buf, sizeof buf);
        if (n > 0) {
            received.append(buf, static_cast<size_t>(n));
            continue;
        }
        const int err = SSL_get_error(m_ssl, n);
        if (err == SSL_ERROR_WANT_READ)
            continue;
        return true; // closed, cleanly or not
    }
}

std::string TlsPeer::ReadAnswer(int timeoutMs)
{
    std::string got;
    got.swap(m_unread);
    const int64_t deadline = NowMs() + timeoutMs;
    while (m_ssl) {
        const size_t head = got.find("\r\n\r\n");
        if (head != std::string::npos) {
            const size_t cl = got.find("Content-Length: ");
            const size_t length = cl == std::string::npos || cl > head ? 0 : std::stoul(got.substr(cl + 16));
            if (got.size() >= head + 4 + length) {
                m_unread = got.substr(head + 4 + length);
                got.resize(head + 4 + length);
                return got;
            }
        }
        if (SSL_pending(m_ssl) == 0) {
            const int64_t left = deadline - NowMs();
            pollfd p{m_fd, POLLIN, 0};
            if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0)
                return std::string();
        }
        char buf[4096];
        const int n = SSL_read(m_ssl, buf, sizeof buf);
        if (n <= 0 && SSL_get_error(m_ssl, n) != SSL_ERROR_WANT_READ)
            return std::string();
        if (n > 0)
            got.append(buf, static_cast<size_t>(n));
    }
    return std::string();
}

ServiceProcess::ServiceProcess(const std::string& dataDir, const std::vector<std::string>& extraArgs)
{
    int out = -1;
    const pid_t pid = vtxtest::SpawnService(dataDir, extraArgs, dataDir + ".log", out);
    if (pid < 0)
        return;
    m_pid = pid;
    m_out = out;
}

ServiceProcess::~ServiceProcess()
{
    if (m_pid > 0) {
        kill(m_pid, SIGCONT);
        kill(m_pid, SIGTERM);
        if (WaitExit(10000) == -1)
            WaitExit(10000);
    }
    if (m_out >= 0)
        close(m_out);
}

int ServiceProcess::WaitListening(int timeoutMs)
{
    const int64_t deadline = NowMs() + timeoutMs;
    while (m_line.find('\n') == std::string::npos) {
        const int64_t left = deadline - NowMs();
        pollfd p{m_out, POLLIN, 0};
        if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0)
            return 0;
        char buf[256];
        const ssize_t n = read(m_out, buf, sizeof buf);
        if (n <= 0)
            return 0;
        m_line.append(buf, static_cast<size_t>(n));
    }
    const std::string prefix = "listening 127.0.0.1:";
    return m_line.compare(0, prefix.size(), prefix) == 0 ? std::atoi(m_line.c_str() + prefix.size()) : 0;
}

int ServiceProcess::WaitExit(int timeoutMs)
{
    if (m_pid <= 0)
        return -1;
    const int64_t deadline = NowMs() + timeoutMs;
    for (;;) {
        int status = 0;
        const pid_t r = waitpid(m_pid, &status, WNOHANG);
        if (r == m_pid) {
            m_pid = -1;
            return status;
        }
        if ((r < 0 && errno != EINTR) || NowMs() >= deadline) {
            kill(m_pid, SIGKILL); // our own child, hung
            waitpid(m_pid, &status, 0);
            m_pid = -1;
            return -1;
        }
        usleep(10 * 1000); // a child's exit has no descriptor to wait on
    }
}

} // namespace servicetest
