#include "support/VtxService.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/TestEnvironment.h"

namespace vtxtest {
namespace {

constexpr int kStartTimeoutMs = 15000;
constexpr int kStopTimeoutMs = 10000;

int64_t NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Waits for the child with a deadline; returns its wait status or -1 on time-out.
int WaitWithDeadline(pid_t pid, int timeoutMs)
{
    const int64_t deadline = NowMs() + timeoutMs;
    for (;;) {
        int status = 0;
        const pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid)
            return status;
        if (r < 0 && errno != EINTR)
            return -1;
        if (NowMs() >= deadline)
            return -1;
        usleep(10 * 1000); // polling a child's exit; no event to wait on
    }
}

} // namespace

VtxService::VtxService()
{
    Start(Options());
}

VtxService::VtxService(const Options& options)
{
    Start(options);
}

VtxService::~VtxService()
{
    Stop();
}

std::string VtxService::HostPort() const
{
    return Host() + ":" + std::to_string(m_port);
}

std::string VtxService::BaseUrl() const
{
    return "https://" + HostPort();
}

std::string VtxService::CaFile()
{
    return std::string(VTX_CERT_DIR) + "/ca.crt";
}

pid_t SpawnService(const std::string& dataDir,
                   const std::vector<std::string>& extraArgs,
                   const std::string& logFile,
                   int& stdoutFd)
{
    std::vector<std::string> args = {VTX_SERVICE_BINARY,
                                     "--listen",
                                     "127.0.0.1:0",
                                     "--data",
                                     dataDir,
                                     "--cert",
                                     std::string(VTX_CERT_DIR) + "/server.crt",
                                     "--key",
                                     std::string(VTX_CERT_DIR) + "/server.key"};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid < 0) {
        close(out[0]);
        close(out[1]);
        return -1;
    }
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        const int logFd = open(logFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        if (logFd >= 0)
            dup2(logFd, STDERR_FILENO);
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(out[1]);
    stdoutFd = out[0];
    return pid;
}

void VtxService::Start(const Options& options)
{
    m_dataDir = options.dataDir.empty() ? makeTempDir("vtx-service").toStdString() : options.dataDir;
    const std::string binary = VTX_SERVICE_BINARY;
    if (access(binary.c_str(), X_OK) != 0) {
        m_error = "vtx-service is not built: " + binary;
        return;
    }
    std::vector<std::string> args;
    if (options.capacity > 0) {
        args.push_back("--capacity");
        args.push_back(std::to_string(options.capacity));
    }
    if (!options.guideUrl.empty()) {
        args.push_back("--guide-url");
        args.push_back(options.guideUrl);
    }
    if (options.participantTimeout > 0) {
        args.push_back("--participant-timeout");
        args.push_back(std::to_string(options.participantTimeout));
    }
    int out = -1;
    const pid_t pid = SpawnService(m_dataDir, args, LogFile(), out);
    if (pid < 0) {
        m_error = "the service could not be started";
        return;
    }
    m_pid = pid;

    // The first line is "listening 127.0.0.1:PORT".
    std::string line;
    const int64_t deadline = NowMs() + kStartTimeoutMs;
    while (line.find('\n') == std::string::npos) {
        const int64_t left = deadline - NowMs();
        pollfd p{out, POLLIN, 0};
        if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0)
            break;
        char buf[256];
        const ssize_t n = read(out, buf, sizeof buf);
        if (n <= 0)
            break;
        line.append(buf, static_cast<size_t>(n));
    }
    close(out);
    const std::string prefix = "listening 127.0.0.1:";
    if (line.compare(0, prefix.size(), prefix) == 0)
        m_port = std::atoi(line.c_str() + prefix.size());
    if (m_port <= 0) {
        m_error = "vtx-service did not report its port (see " + LogFile() + ")";
        Stop();
    }
}

bool VtxService::Stop()
{
    if (m_pid <= 0)
        return false;
    kill(m_pid, SIGTERM);
    int status = WaitWithDeadline(m_pid, kStopTimeoutMs);
    if (status == -1) {
        kill(m_pid, SIGKILL);
        WaitWithDeadline(m_pid, kStopTimeoutMs);
    }
    m_pid = -1;
    m_port = 0;
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::vector<std::string> VtxService::OutboxFiles(const std::string& prefix) const
{
    std::vector<std::string> names;
    if (DIR* dir = opendir(OutboxDir().c_str())) {
        while (dirent* e = readdir(dir)) {
            const std::string name = e->d_name;
            if (name.compare(0, prefix.size(), prefix) == 0)
                names.push_back(name);
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string VtxService::LatestSmsCode(const std::string& phone) const
{
    // sms-<phone>-<time>-<sequence>.txt: the name order is the sending order for one phone.
    const auto files = OutboxFiles("sms-" + phone + "-");
    if (files.empty())
        return std::string();
    std::ifstream in(OutboxDir() + "/" + files.back());
    std::string line;
    while (std::getline(in, line))
        if (line.compare(0, 6, "code: ") == 0)
            return line.substr(6);
    return std::string();
}

} // namespace vtxtest
