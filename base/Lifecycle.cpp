#include "base/Lifecycle.h"

#include <memory>

#include "platform/NamedMutex.h"
#include "platform/Process.h"
#include "platform/Shell.h"

namespace startup {
namespace {

std::unique_ptr<platform::NamedMutex> g_instanceLock;
bool g_restarting = false;
std::function<bool(const QStringList&)> g_relaunchHandler;

} // namespace

bool restarting()
{
    return g_restarting;
}
void setRestarting(bool on)
{
    g_restarting = on;
}

void takeInstanceLock()
{
    g_instanceLock = std::make_unique<platform::NamedMutex>(kInstanceLockName);
}

void releaseInstanceLock()
{
    if (g_instanceLock)
        g_instanceLock->release();
    g_instanceLock.reset();
}

void startExitWatchdog(bool& watchdogStarted)
{
    if (watchdogStarted)
        return;
    watchdogStarted = true;
    releaseInstanceLock();
    relaunch({QStringLiteral("cleanup"), QString::number(platform::currentProcessId())});
}

bool relaunch(const QStringList& arguments)
{
    return g_relaunchHandler ? g_relaunchHandler(arguments) : platform::relaunchSelf(arguments);
}

void setRelaunchHandler(std::function<bool(const QStringList&)> handler)
{
    g_relaunchHandler = std::move(handler);
}

} // namespace startup
