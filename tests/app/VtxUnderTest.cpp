// VTX as the process tests start it: the same start-up, but every message box is written to the
// file named by VTX_TEST_MESSAGEBOX_LOG and answered with its first button instead of shown.

#include <QFile>
#include <QMetaType>
#include <QtGlobal>

#include "app/Startup.h"
#include "ui/MessageBox.h"

int main(int argc, char** argv)
{
    qRegisterMetaType<quint64>("UINT64");
    Q_INIT_RESOURCE(res);
    const QString logPath = qEnvironmentVariable("VTX_TEST_MESSAGEBOX_LOG");
    MessageBox::setTestHandler([logPath](MessageBox::Icon, const QString& title, const QString& text) {
        QFile log(logPath);
        if (log.open(QIODevice::Append))
            log.write((title + '\t' + text + '\n').toUtf8());
        return int(MessageBox::FirstButton);
    });
    return runVtx(argc, argv);
}
