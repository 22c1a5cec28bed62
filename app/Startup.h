#pragma once
// Start-up: the roles a VTX process can play, the single running copy, and the relaunches.

#include <QString>
#include <QStringList>
#include <functional>

#include "base/Lifecycle.h"

struct CommandLine
{
    enum Role
    {
        Normal,   // the user, a browser link (meetingId set) or a language change started us
        SignIn,   // "goto_login_ui <pid>": relaunched after sign-out, opens the sign-in page
        Watchdog, // "cleanup <pid>": make sure the old client ends, then exit
    };
    Role role = Normal;
    qint64 meetingId = 0;
    qint64 pid = 0;
};

// Arguments without the program name.
CommandLine parseCommandLine(const QStringList& arguments);

// Waits up to rounds seconds for the process to end; terminates it after the last round when asked.
// True when the process ended by itself.
bool waitForProcessEnd(qint64 pid, int rounds, bool terminateAtEnd);

// The whole client: returns the process exit code.
int runVtx(int argc, char** argv);
