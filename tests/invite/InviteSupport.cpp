#include "InviteSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <algorithm>

#include "base/Localization.h"
#include "platform/Paths.h"
#include "support/TestEnvironment.h"

std::optional<QByteArray> decodeQr(const QImage& image)
{
    // A plain PPM, which zbarimg reads without any image plugin on either side.
    const QString file = vtxtest::makeTempDir(QStringLiteral("qr")) + QStringLiteral("/code.ppm");
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    QFile out(file);
    if (rgb.isNull() || !out.open(QIODevice::WriteOnly))
        return std::nullopt;
    out.write(QByteArray("P6\n") + QByteArray::number(rgb.width()) + ' ' + QByteArray::number(rgb.height()) +
              "\n255\n");
    for (int y = 0; y < rgb.height(); ++y)
        out.write(reinterpret_cast<const char*>(rgb.constScanLine(y)), rgb.width() * 3);
    out.close();
    QProcess zbar;
    zbar.start(QStringLiteral("zbarimg"),
               {QStringLiteral("--quiet"), QStringLiteral("--raw"), QStringLiteral("-Sbinary"), file});
    if (!zbar.waitForFinished(30000) || zbar.exitStatus() != QProcess::NormalExit || zbar.exitCode() != 0)
        return std::nullopt;
    QByteArray text = zbar.readAllStandardOutput();
    // --raw ends each symbol with a line break of its own.
    if (text.endsWith('\n'))
        text.chop(1);
    return text;
}

std::vector<std::string> outboxMails(const vtxtest::VtxService& service)
{
    std::vector<std::string> mails;
    for (const std::string& name : service.OutboxFiles("email-")) {
        QFile file(QString::fromStdString(service.OutboxDir() + "/" + name));
        if (file.open(QIODevice::ReadOnly))
            mails.push_back(file.readAll().toStdString());
    }
    return mails;
}

void InviteFixture::SetUp()
{
    Localization::Instance()->resetForTest();
    ASSERT_EQ(Localization::Instance()->Load(1, platform::programFolder() + "en_US.ini"), 0);
    if (!m_withService) {
        // Port 0 is never a server: every request fails without waiting.
        qputenv("VTX_SERVICE_HOST", "127.0.0.1:0");
        return;
    }
    m_service = std::make_unique<vtxtest::VtxService>();
    ASSERT_TRUE(m_service->Ok()) << m_service->Error();
    qputenv("VTX_SERVICE_HOST", QByteArray::fromStdString(m_service->HostPort()));
    m_peer = std::make_unique<CloudPeer>(*m_service);
}

void InviteFixture::TearDown()
{
    m_peer.reset();
    m_service.reset();
}

quint64 InviteFixture::runningMeeting()
{
    if (!m_peer) {
        ADD_FAILURE() << "this test has no service";
        return 0;
    }
    m_peer->signInAsDemo();
    const quint64 number = m_peer->startMeeting();
    EXPECT_NE(number, 0u);
    return number;
}
