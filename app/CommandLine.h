#pragma once
// The command line of VTX: the role a process plays and what it was handed.

#include <QStringList>

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
