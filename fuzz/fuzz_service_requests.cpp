// vtx-service's request handlers, reached in process through the HTTP server's own request reader:
// the input is one raw HTTP request. "@APP@" and "@SESSION@" in it become a valid application token
// and the demo account's session token, so that the fuzzer gets past the checks in front of most routes.
#include <httplib.h>
#include <memory>

#include "FuzzInput.h"
#include "service/Service.h"

namespace {

// The request comes from memory and the answer goes nowhere.
class MemoryStream : public httplib::Stream
{
public:
    explicit MemoryStream(std::string input)
        : m_input(std::move(input))
    {}
    bool is_readable() const override { return true; }
    bool is_writable() const override { return true; }
    ssize_t read(char* ptr, size_t size) override
    {
        const size_t n = std::min(size, m_input.size() - m_position);
        std::memcpy(ptr, m_input.data() + m_position, n);
        m_position += n;
        return ssize_t(n);
    }
    ssize_t write(const char*, size_t size) override { return ssize_t(size); }
    void get_remote_ip_and_port(std::string& ip, int& port) const override
    {
        ip = "127.0.0.1";
        port = 40000;
    }
    void get_local_ip_and_port(std::string& ip, int& port) const override
    {
        ip = "127.0.0.1";
        port = 18443;
    }
    socket_t socket() const override { return INVALID_SOCKET; }

private:
    std::string m_input;
    size_t m_position = 0;
};

class InProcessServer : public httplib::Server
{
public:
    using httplib::Server::process_request;
};

struct Service
{
    vtxsvc::ServiceContext ctx;
    InProcessServer server;
    std::string appToken;
    std::string session;

    Service()
    {
        const std::string folder = fuzz::scratchFolder().toStdString() + "/service";
        mkdir(folder.c_str(), 0700);
        ctx.dataDir = folder;
        ctx.listenAddress = "127.0.0.1:18443";
        std::string error;
        if (!ctx.store.Open(folder + "/vtx.sqlite", error) || !ctx.outbox.Open(folder + "/outbox", error)) {
            std::fprintf(stderr, "cannot open the service data: %s\n", error.c_str());
            std::abort();
        }
        vtxsvc::Account demo;
        demo.email = "demo@vtx.local";
        demo.displayName = "Demo";
        if (!ctx.store.CreateAccount(demo, "demo1234"))
            std::abort();
        ctx.meetings.SetCapacity(100);
        server.set_payload_max_length(256 * 1024);
        vtxsvc::InstallErrorHandlers(server);
        vtxsvc::RegisterWebApi(server, ctx);
        vtxsvc::RegisterSdkApi(server, ctx);
        vtxsvc::RegisterAdmin(server, ctx);
        appToken = ctx.tokens.NewAppToken();
        session = ctx.tokens.NewSession(demo.id);
    }
};

void replaceAll(std::string& text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Service* service = new Service; // lives to the end: handlers may keep references
    std::string request(reinterpret_cast<const char*>(data), size);
    replaceAll(request, "@APP@", service->appToken);
    replaceAll(request, "@SESSION@", service->session);
    MemoryStream stream(std::move(request));
    bool closed = false;
    service->server.process_request(stream, true, closed, [](httplib::Request&) {});
    return 0;
}
