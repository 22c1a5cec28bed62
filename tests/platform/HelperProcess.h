#pragma once
// Starts platform_test_helper as a second process and reads its line-based answers.

#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>

namespace platformtest {

class HelperProcess
{
public:
    explicit HelperProcess(const QStringList& arguments)
    {
        m_process.setProgram(QStringLiteral(PLATFORM_TEST_HELPER));
        m_process.setArguments(arguments);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start();
    }
    ~HelperProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    bool started() { return m_process.waitForStarted(10000); }
    qint64 pid() const { return m_process.processId(); }

    // The next line of output, empty when none comes within the time-out.
    QString readLine(int timeoutMs = 10000)
    {
        QElapsedTimer timer;
        timer.start();
        while (!m_process.canReadLine()) {
            if (timer.elapsed() > timeoutMs || (m_process.state() == QProcess::NotRunning && !m_process.canReadLine()))
                return QString();
            m_process.waitForReadyRead(50);
        }
        return QString::fromUtf8(m_process.readLine()).trimmed();
    }

    // Reads lines until one starts with prefix; returns it, or empty on time-out.
    QString waitForLine(const QString& prefix, int timeoutMs = 10000)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < timeoutMs) {
            const QString line = readLine(static_cast<int>(timeoutMs - timer.elapsed()));
            if (line.startsWith(prefix))
                return line;
            if (line.isEmpty() && m_process.state() == QProcess::NotRunning)
                break;
        }
        return QString();
    }

    void closeInput() { m_process.closeWriteChannel(); }

    // Exit code, or -1 when it did not exit normally within the time-out.
    int waitForExit(int timeoutMs = 10000)
    {
        if (!m_process.waitForFinished(timeoutMs) || m_process.exitStatus() != QProcess::NormalExit)
            return -1;
        return m_process.exitCode();
    }

    bool waitForDeath(int timeoutMs = 10000)
    {
        return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(timeoutMs);
    }

    QProcess& process() { return m_process; }

private:
    QProcess m_process;
};

} // namespace platformtest
