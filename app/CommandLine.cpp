#include "CommandLine.h"

#include <cstdlib>

#include "base/MeetingNumber.h"

namespace {

const char kLaunchPrefix[] = "vtxlaunch://roomID:";

qint64 leadingPid(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    const long value = std::strtol(bytes.constData(), nullptr, 10);
    return value > 0 && value <= 0x7FFFFFFF ? value : 0;
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments)
{
    CommandLine cl;
    if (arguments.size() == 1) {
        const QString& arg = arguments.first();
        if (arg.startsWith(QLatin1String(kLaunchPrefix), Qt::CaseSensitive)) {
            QString rest = arg.mid(int(sizeof(kLaunchPrefix)) - 1);
            while (rest.startsWith('/'))
                rest.remove(0, 1);
            while (rest.endsWith('/'))
                rest.chop(1);
            cl.meetingId = qint64(parseMeetingNumber(rest));
        }
    } else if (arguments.size() == 2) {
        const qint64 pid = leadingPid(arguments.at(1));
        if (arguments.first() == QLatin1String("goto_login_ui")) {
            cl.role = CommandLine::SignIn;
            cl.pid = pid;
        } else if (arguments.first() == QLatin1String("cleanup") && pid != 0) {
            cl.role = CommandLine::Watchdog;
            cl.pid = pid;
        }
    }
    return cl;
}
