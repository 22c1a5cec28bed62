#pragma once
// The real VTX program in child processes of a test: pointed at the test's service, on the offscreen
// platform, its message boxes written to a log instead of shown. Children still running at the end
// are killed; the test never signals a process it did not start.

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

#include "base/Settings.h"
#include "platform/WindowMessage.h"
#include "support/TestEnvironment.h"
#include "support/VtxService.h"

namespace vtxtest {

class VtxChildren
{
public:
    VtxChildren(QString program, const VtxService& service)
        : m_program(std::move(program))
        , m_service(service)
        , m_boxLog(makeTempDir(QStringLiteral("boxes")) + QStringLiteral("/boxes.log"))
    {}
    ~VtxChildren() { killAll(); }

    QProcess* start(const QStringList& args)
    {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VTX_TEST_MESSAGEBOX_LOG"), m_boxLog);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("VTX_SERVICE_HOST"), QString::fromStdString(m_service.HostPort()));
        env.insert(QStringLiteral("VTX_SDK_DOMAIN"), QString::fromStdString(m_service.BaseUrl()));
        p->setProcessEnvironment(env);
        p->start(m_program, args);
        EXPECT_TRUE(p->waitForStarted(5000));
        m_processes.push_back(std::move(p));
        return m_processes.back().get();
    }
    void killAll()
    {
        for (auto& p : m_processes) {
            p->kill();
            p->waitForFinished(5000);
        }
    }

    // The texts of the boxes the children showed, one per line.
    QString boxes() const
    {
        QFile f(m_boxLog);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    void clearBoxes() const { QFile::remove(m_boxLog); }
    const std::vector<std::unique_ptr<QProcess>>& processes() const { return m_processes; }

    // The window a running copy registered in config.ini, once it exists; 0 after `ms`.
    static platform::WindowHandle waitForRegisteredWindow(int ms)
    {
        QDeadlineTimer deadline(ms);
        while (!deadline.hasExpired()) {
            const qint64 handle = settings::readWindowHandle();
            if (handle != 0 && platform::isWindow(handle))
                return handle;
            QThread::msleep(50);
        }
        return 0;
    }

private:
    const QString m_program;
    const VtxService& m_service;
    const QString m_boxLog;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

} // namespace vtxtest
