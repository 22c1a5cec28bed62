// vtx-service --listen HOST:PORT --data DIR --cert FILE --key FILE [--capacity N] [--participant-timeout S]
//             [--guide-url URL]

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <pthread.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "service/HttpsServer.h"
#include "service/Service.h"
#include "service/Util.h"

namespace {

const char* const kDemoAccount = "demo@vtx.local";
const char* const kDemoPassword = "demo1234";

struct Options
{
    std::string host = "127.0.0.1";
    int port = 0;
    std::string dataDir;
    std::string cert;
    std::string key;
    int capacity = 100;
    int participantTimeout = 60;
    std::string guideUrl;
    bool verbose = false;
};

int Usage(const char* message)
{
    if (message)
        std::fprintf(stderr, "vtx-service: %s\n", message);
    std::fprintf(stderr, "usage: vtx-service --listen HOST:PORT --data DIR --cert FILE --key FILE "
                         "[--capacity N] [--participant-timeout SECONDS] [--guide-url URL] [--verbose]\n");
    return 2;
}

bool ParseListen(const std::string& text, Options& o)
{
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0)
        return false;
    uint64_t port = 0;
    if (!vtxsvc::ParseUInt64(text.substr(colon + 1), port) || port > 65535)
        return false;
    o.host = text.substr(0, colon);
    if (o.host.size() > 2 && o.host.front() == '[' && o.host.back() == ']')
        o.host = o.host.substr(1, o.host.size() - 2);
    o.port = static_cast<int>(port);
    return true;
}

bool ParseArgs(int argc, char** argv, Options& o, const char*& error)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc)
                return false;
            out = argv[++i];
            return true;
        };
        std::string v;
        if (arg == "--listen") {
            if (!value(v) || !ParseListen(v, o)) {
                error = "--listen needs HOST:PORT";
                return false;
            }
        } else if (arg == "--data") {
            if (!value(o.dataDir)) {
                error = "--data needs a folder";
                return false;
            }
        } else if (arg == "--cert") {
            if (!value(o.cert)) {
                error = "--cert needs a file";
                return false;
            }
        } else if (arg == "--key") {
            if (!value(o.key)) {
                error = "--key needs a file";
                return false;
            }
        } else if (arg == "--capacity") {
            uint64_t n = 0;
            if (!value(v) || !vtxsvc::ParseUInt64(v, n) || n < 1 || n > 100000) {
                error = "--capacity needs a number from 1 to 100000";
                return false;
            }
            o.capacity = static_cast<int>(n);
        } else if (arg == "--participant-timeout") {
            uint64_t n = 0;
            if (!value(v) || !vtxsvc::ParseUInt64(v, n) || n < 1 || n > 86400) {
                error = "--participant-timeout needs seconds from 1 to 86400";
                return false;
            }
            o.participantTimeout = static_cast<int>(n);
        } else if (arg == "--guide-url") {
            // Sent as a redirect: anything but a plain web address could be a header injection.
            if (!value(v) || (v.rfind("https://", 0) != 0 && v.rfind("http://", 0) != 0) ||
                v.find_first_of(" \r\n\t") != std::string::npos) {
                error = "--guide-url needs an http:// or https:// address";
                return false;
            }
            o.guideUrl = v;
        } else if (arg == "--verbose") {
            o.verbose = true;
        } else {
            error = "unknown option";
            return false;
        }
    }
    if (o.dataDir.empty() || o.cert.empty() || o.key.empty()) {
        error = "--data, --cert and --key are required";
        return false;
    }
    return true;
}

bool EnsureDemoAccount(vtxsvc::ServiceContext& ctx)
{
    if (!ctx.store.IsEmpty())
        return true;
    vtxsvc::Account demo;
    demo.email = kDemoAccount;
    demo.lastName = "王";
    demo.firstName = "小明";
    demo.displayName = "王小明";
    if (!ctx.store.CreateAccount(demo, kDemoPassword))
        return false;
    std::fprintf(stderr,
                 "vtx-service: created the demo account. Sign in with account %s and password %s "
                 "(personal meeting ID %lld).\n",
                 kDemoAccount, kDemoPassword, static_cast<long long>(demo.pmi));
    return true;
}

// Files of an earlier run may have been made world-readable; the data folder is the service's own.
void Tighten(const std::string& path, mode_t mode)
{
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && st.st_uid == geteuid() && (st.st_mode & 077) != 0)
        chmod(path.c_str(), mode);
}

// Many clients each hold a connection; the default soft limit of 1024 descriptors is low for that.
void RaiseDescriptorLimit()
{
    rlimit limit;
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = std::min<rlim_t>(limit.rlim_max, 65536);
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

// Workers for the participants admitted: a polling client holds one for less than half of each
// poll interval, and slow or stalled clients hold theirs until the request deadline.
size_t WorkerLimit(const vtxsvc::ServiceContext& ctx)
{
    const size_t capacity = static_cast<size_t>(ctx.meetings.Capacity());
    return std::clamp<size_t>(2 * capacity + 64, 128, 1024);
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    const char* error = nullptr;
    if (!ParseArgs(argc, argv, options, error))
        return Usage(error);

    // Signals are taken by sigwait below; every thread started later inherits the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    // Accounts, codes and tokens live here: nothing the service creates is for other users,
    // whatever umask it was started with.
    umask(077);
    RaiseDescriptorLimit();

    if (mkdir(options.dataDir.c_str(), 0700) != 0 && errno != EEXIST) {
        std::fprintf(stderr, "vtx-service: cannot create %s: %s\n", options.dataDir.c_str(), std::strerror(errno));
        return 1;
    }
    Tighten(options.dataDir, 0700);
    for (const char* name : {"/vtx.sqlite", "/vtx.sqlite-wal", "/vtx.sqlite-shm", "/version.json"})
        Tighten(options.dataDir + name, 0600);
    Tighten(options.dataDir + "/outbox", 0700);
    vtxsvc::ServiceContext ctx;
    ctx.dataDir = options.dataDir;
    ctx.guideUrl = options.guideUrl;
    std::string message;
    if (!ctx.store.Open(options.dataDir + "/vtx.sqlite", message) ||
        !ctx.outbox.Open(options.dataDir + "/outbox", message)) {
        std::fprintf(stderr, "vtx-service: %s\n", message.c_str());
        return 1;
    }
    if (!EnsureDemoAccount(ctx)) {
        std::fprintf(stderr, "vtx-service: cannot create the demo account\n");
        return 1;
    }
    ctx.LoadVersion();
    ctx.meetings.SetCapacity(options.capacity);
    ctx.meetings.SetIdleLimitMillis(int64_t(options.participantTimeout) * 1000);

    vtxsvc::ServerLimits limits;
    limits.maxWorkers = [&ctx] { return WorkerLimit(ctx); };
    vtxsvc::HttpsServer server(options.cert.c_str(), options.key.c_str(), limits);
    if (!server.is_valid()) {
        std::fprintf(stderr, "vtx-service: cannot load certificate %s or key %s\n", options.cert.c_str(),
                     options.key.c_str());
        return 1;
    }
    server.set_keep_alive_max_count(10000);
    // Whole seconds only; the server closes idle connections much sooner itself.
    server.set_keep_alive_timeout(1);
    server.set_payload_max_length(vtxsvc::kMaxBodyBytes);
    // Headers and body go out in separate writes; without this Nagle holds the body ~40 ms.
    server.set_tcp_nodelay(true);
    const bool verbose = options.verbose;
    server.set_logger([&server, verbose](const httplib::Request& req, const httplib::Response& res) {
        server.AnswerWritten(req);
        if (verbose)
            std::fprintf(stderr, "vtx-service: %s %s -> %d\n", req.method.c_str(), req.path.c_str(), res.status);
    });
    server.set_pre_routing_handler([&server](const httplib::Request& req, httplib::Response& res) {
        server.RequestStarted(req);
        return vtxsvc::GuardRequest(req, res);
    });
    vtxsvc::InstallErrorHandlers(server);
    vtxsvc::RegisterWebApi(server, ctx);
    vtxsvc::RegisterSdkApi(server, ctx);
    vtxsvc::RegisterAdmin(server, ctx);

    const int port = server.Bind(options.host, options.port);
    if (port <= 0) {
        std::fprintf(stderr, "vtx-service: cannot listen on %s:%d\n", options.host.c_str(), options.port);
        return 1;
    }
    const bool v6 = options.host.find(':') != std::string::npos;
    ctx.listenAddress = (v6 ? "[" + options.host + "]" : options.host) + ":" + std::to_string(port);

    std::atomic<bool> stopping{false};
    std::atomic<bool> listenerDone{false};
    std::atomic<bool> listenerFailed{false};
    std::thread listener([&server, &stopping, &listenerDone, &listenerFailed] {
        if (!server.Run()) {
            std::fprintf(stderr, "vtx-service: the listener stopped unexpectedly\n");
            listenerFailed = true;
        }
        listenerDone = true;
        if (!stopping)
            kill(getpid(), SIGTERM); // wakes the main thread when the listener ends on its own
    });
    // "listening" promises a server that answers; a stop signal that came meanwhile waits in sigwait.
    while (!server.is_running() && !listenerDone)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (server.is_running()) {
        std::printf("listening %s\n", ctx.listenAddress.c_str());
        std::fflush(stdout);
        std::fprintf(stderr, "vtx-service: serving https://%s (data in %s)\n", ctx.listenAddress.c_str(),
                     options.dataDir.c_str());
    }
    int signal = 0;
    sigwait(&stopSignals, &signal);
    std::fprintf(stderr, "vtx-service: stopping (signal %d)\n", signal);
    stopping = true;
    server.Stop();
    listener.join();
    return listenerFailed ? 1 : 0;
}
