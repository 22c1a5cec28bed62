// The command line: up to four arguments separated by NUL bytes, as a browser or a user may pass.
#include <climits>

#include "FuzzInput.h"
#include "app/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<std::string> parts = fuzz::split(data, size, 4);
    size_t used = 0;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (!parts[i].empty())
            used = i + 1;
    }
    QStringList arguments;
    for (size_t i = 0; i < used; ++i)
        arguments << QString::fromLocal8Bit(parts[i].data(), int(parts[i].size()));

    const CommandLine cl = parseCommandLine(arguments);
    // A process ID that reaches the watchdog or the sign-in wait is a plain positive one: 0 and
    // negative values would address process groups.
    if (cl.role == CommandLine::Watchdog)
        FUZZ_CHECK(cl.pid > 0 && cl.pid <= INT_MAX);
    if (cl.role == CommandLine::SignIn)
        FUZZ_CHECK(cl.pid >= 0 && cl.pid <= INT_MAX);
    if (cl.role == CommandLine::Normal)
        FUZZ_CHECK(cl.pid == 0);
    if (cl.meetingId != 0)
        FUZZ_CHECK(cl.role == CommandLine::Normal && arguments.size() == 1);
    return 0;
}
