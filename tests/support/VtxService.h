#pragma once
// A vtx-service process for one test: started on 127.0.0.1 with a free port and its own data
// folder, stopped (SIGTERM, then SIGKILL after a deadline) when the object goes away.

#include <string>
#include <sys/types.h>
#include <vector>

namespace vtxtest {

// vtx-service of this build with `extraArgs` after the listen, data and certificate options, its
// standard output on a pipe (returned in `stdoutFd`) and its standard error appended to `logFile`.
// The child's pid, or -1.
pid_t SpawnService(const std::string& dataDir,
                   const std::vector<std::string>& extraArgs,
                   const std::string& logFile,
                   int& stdoutFd);

class VtxService
{
public:
    struct Options
    {
        std::string dataDir;        // empty: a fresh temporary folder
        int capacity = 0;           // participants per meeting; 0 keeps the service default
        int participantTimeout = 0; // seconds without polling before a participant is dropped; 0: default
        std::string guideUrl;       // where the user guide page redirects; empty: served by the service
    };

    VtxService();
    explicit VtxService(const Options& options);
    ~VtxService();
    VtxService(const VtxService&) = delete;
    VtxService& operator=(const VtxService&) = delete;

    bool Ok() const { return m_pid > 0 && m_port > 0; }
    const std::string& Error() const { return m_error; } // why it did not start

    std::string Host() const { return "127.0.0.1"; }
    int Port() const { return m_port; }
    std::string HostPort() const; // "127.0.0.1:43123"
    std::string BaseUrl() const;  // "https://127.0.0.1:43123"
    const std::string& DataDir() const { return m_dataDir; }
    std::string OutboxDir() const { return m_dataDir + "/outbox"; }
    std::string LogFile() const { return m_dataDir + "/service.log"; }
    static std::string CaFile(); // the development CA that signed the service's certificate

    // The code of the newest SMS sent to |phone|, or "" when none was sent.
    std::string LatestSmsCode(const std::string& phone) const;
    // Outbox file names starting with |prefix| ("sms-", "email-"), sorted by name.
    std::vector<std::string> OutboxFiles(const std::string& prefix) const;

    // SIGTERM and wait up to 10 s; true when the process exited with code 0.
    bool Stop();

    static const char* DemoAccount() { return "demo@vtx.local"; }
    static const char* DemoPassword() { return "demo1234"; }

private:
    void Start(const Options& options);
    pid_t m_pid = -1;
    int m_port = 0;
    std::string m_dataDir;
    std::string m_error;
};

} // namespace vtxtest
