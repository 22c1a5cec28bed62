#pragma once
// The HTTPS server with the limits cpp-httplib 0.11 lacks: a deadline on the whole of a request, idle
// keep-alive shorter than a client's poll interval, workers that grow with demand, a full listen
// backlog, and a stop that works at any moment, even before the listener runs.

#include <atomic>
#include <cstdint>
#include <functional>
#include <httplib.h>
#include <memory>
#include <string>

namespace vtxsvc {

struct ServerLimits
{
    // From the TLS handshake or the first byte of a request until its answer is written.
    int64_t requestMillis = 10000;
    // A kept connection waiting for its next request; below the SDK's 1 s poll, so a polling
    // client does not hold a worker between polls.
    int64_t idleMillis = 500;
    // Most workers at a time; asked again for every connection, so it follows capacity changes.
    std::function<size_t()> maxWorkers;
};

class HttpsServer : public httplib::SSLServer
{
public:
    HttpsServer(const char* certFile, const char* keyFile, ServerLimits limits);
    ~HttpsServer() override;
    HttpsServer(const HttpsServer&) = delete;
    HttpsServer& operator=(const HttpsServer&) = delete;

    // Binds (port 0 picks one) with a full backlog; the bound port, or -1.
    int Bind(const std::string& host, int port);
    // Serves until Stop(); false when the listener failed.
    bool Run();
    // Safe from any thread at any time: before Run, during it, or twice.
    void Stop();

    // The request is under way (headers read); its answer comes next.
    void RequestStarted(const httplib::Request& req);
    // The answer went out; the connection waits for the next request.
    void AnswerWritten(const httplib::Request& req);

    struct Tracker;

private:
    std::unique_ptr<Tracker> m_tracker;
};

} // namespace vtxsvc
