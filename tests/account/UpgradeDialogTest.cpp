// The upgrade dialog: release notes, the package name, and the download with its progress bar
// through the real download component, including a connection lost halfway.

#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <atomic>

#include "AccountTestSupport.h"
#include "net/CHTTPUtil.h"
#include "ui/UpgradeDlg.h"

namespace {

TEST(ReleaseNotes, SplitOnlyAtEscapedLineBreaks)
{
    using Lines = QStringList;
    EXPECT_EQ(UpgradeDlg::splitReleaseNotes("1. A\\nB"), (Lines{"1. A", "B"}));
    EXPECT_EQ(UpgradeDlg::splitReleaseNotes("new notes name nothing"), (Lines{"new notes name nothing"}));
    EXPECT_EQ(UpgradeDlg::splitReleaseNotes(""), Lines{});
    EXPECT_EQ(UpgradeDlg::splitReleaseNotes("\\n\\n a \\n\\n"), (Lines{" a "}));
    EXPECT_EQ(UpgradeDlg::splitReleaseNotes("C:\\new\\nD"), (Lines{"C:", "ew", "D"}));
    EXPECT_EQ(UpgradeDlg::splitReleaseNotes("修复\\n改进"), (Lines{"修复", "改进"}));
}

TEST(ReleaseNotes, MarkupIsShownAsWrittenAndHugeNotesFit)
{
    ASSERT_TRUE(accounttest::loadLanguage(1));
    const std::string markup = "<b>bold</b><img src=\"https://example.invalid/x.png\">\\n<script>x()</script>";
    UpgradeDlg dlg("https://h/v.deb", markup);
    auto* notes = dlg.findChild<QTextEdit*>(QStringLiteral("textEdit"));
    ASSERT_NE(notes, nullptr);
    EXPECT_TRUE(notes->isReadOnly());
    EXPECT_EQ(notes->toPlainText(),
              QStringLiteral("<b>bold</b><img src=\"https://example.invalid/x.png\">\n<script>x()</script>"));
    EXPECT_EQ(dlg.windowTitle(), LangText("ui.window"));
    EXPECT_EQ(dlg.findChild<QLabel*>(QStringLiteral("label_title"))->text(), LangText("ui.label_title"));
    EXPECT_EQ(dlg.findChild<QPushButton*>(QStringLiteral("downloadNow"))->text(), LangText("ui.downloadNow"));
    EXPECT_EQ(dlg.size(), QSize(530, 334));

    std::string huge;
    for (int i = 0; huge.size() < 1024 * 1024; ++i)
        huge += "line " + std::to_string(i) + "\\n";
    UpgradeDlg big("", huge);
    const QString shown = big.findChild<QTextEdit*>(QStringLiteral("textEdit"))->toPlainText();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("line 0\nline 1\n")));
    EXPECT_GT(shown.size(), 900 * 1024);
}

TEST(PackageName, StaysInsideTheDownloadFolder)
{
    EXPECT_EQ(UpgradeDlg::packageFileName("https://h/pkg/vtx_1.6.0-1_amd64.deb"), "vtx_1.6.0-1_amd64.deb");
    EXPECT_EQ(UpgradeDlg::packageFileName("https://h/pkg/vtx.deb?token=a/b#frag"), "vtx.deb");
    EXPECT_EQ(UpgradeDlg::packageFileName("https://h/"), "VTX-update");
    EXPECT_EQ(UpgradeDlg::packageFileName("https://h/a/.."), "VTX-update");
    EXPECT_EQ(UpgradeDlg::packageFileName("https://h/.hidden"), "VTX-update");
    EXPECT_EQ(UpgradeDlg::packageFileName("https://h/a%2F..%2F..%2Fb"), "b");
    EXPECT_EQ(UpgradeDlg::packageFileName("https://h/" + std::string(200, 'a')), "VTX-update");
    EXPECT_EQ(UpgradeDlg::packageFileName(""), "VTX-update");
    EXPECT_TRUE(UpgradeDlg::defaultDownloadFolder().endsWith('/'));
}

class PackageDownload : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(accounttest::loadLanguage(1));
        for (int i = 0; i < 300 * 1024; ++i)
            m_package.push_back(char('a' + i % 26));
        m_https.server().Get("/pkg/vtx_1.6.0.deb", [this](const httplib::Request&, httplib::Response& res) {
            ++m_requests;
            const bool breakHalfway = m_breakHalfway;
            res.set_content_provider(m_package.size(), "application/octet-stream",
                                     [this, breakHalfway](size_t offset, size_t length, httplib::DataSink& sink) {
                                         if (breakHalfway && offset >= m_package.size() / 2)
                                             return false;
                                         return sink.write(m_package.data() + offset,
                                                           std::min<size_t>(length, 8 * 1024));
                                     });
        });
        ASSERT_TRUE(m_https.start());
        m_folder = vtxtest::makeTempDir(QStringLiteral("downloads"));
    }
    void TearDown() override { accounttest::bindComponents(); }

    std::unique_ptr<UpgradeDlg> dialog(const std::string& url)
    {
        auto dlg = std::make_unique<UpgradeDlg>(url, "1. faster\\n2. safer");
        dlg->setDownloadFolder(m_folder);
        dlg->setOpener([this](const QString& target) {
            m_opened << target;
            return true;
        });
        dlg->show();
        return dlg;
    }
    QStringList files() const { return QDir(m_folder).entryList(QDir::Files | QDir::Hidden); }
    QByteArray fileBytes(const QString& path) const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static QPushButton* button(UpgradeDlg& dlg) { return dlg.findChild<QPushButton*>(QStringLiteral("downloadNow")); }
    static QProgressBar* bar(UpgradeDlg& dlg) { return dlg.findChild<QProgressBar*>(QStringLiteral("progressBar")); }
    static QString status(UpgradeDlg& dlg) { return dlg.findChild<QLabel*>(QStringLiteral("label_status"))->text(); }

    HttpsTestServer m_https;
    std::string m_package;
    std::atomic<bool> m_breakHalfway{false};
    std::atomic<int> m_requests{0};
    QString m_folder;
    QStringList m_opened;
};

TEST_F(PackageDownload, ProgressRisesToACompletePackageThenTheFolderOpens)
{
    auto dlg = dialog(m_https.url("/pkg/vtx_1.6.0.deb"));
    std::vector<int> seen;
    QObject::connect(bar(*dlg), &QProgressBar::valueChanged, [&](int value) { seen.push_back(value); });
    button(*dlg)->click();
    EXPECT_EQ(dlg->state(), UpgradeDlg::State::Downloading);
    EXPECT_TRUE(bar(*dlg)->isVisible());
    EXPECT_FALSE(button(*dlg)->isEnabled()); // a second click cannot start a second download
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg->state() != UpgradeDlg::State::Downloading; }, 20000));

    EXPECT_EQ(dlg->state(), UpgradeDlg::State::Done) << status(*dlg).toStdString();
    EXPECT_EQ(dlg->packagePath(), m_folder + "/vtx_1.6.0.deb");
    EXPECT_EQ(fileBytes(dlg->packagePath()), QByteArray::fromStdString(m_package));
    EXPECT_EQ(files(), QStringList{"vtx_1.6.0.deb"});
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(bar(*dlg)->value(), 100);
    EXPECT_EQ(status(*dlg), LangText("msg.download_done"));
    EXPECT_EQ(button(*dlg)->text(), LangText("ui.download_open"));
    EXPECT_TRUE(m_opened.isEmpty());

    button(*dlg)->click();
    EXPECT_EQ(m_opened, QStringList{m_folder + "/"});
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(m_requests, 1);
}

TEST_F(PackageDownload, ConnectionLostHalfwayLeavesNoPackageAndCanBeRetried)
{
    m_breakHalfway = true;
    auto dlg = dialog(m_https.url("/pkg/vtx_1.6.0.deb"));
    button(*dlg)->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg->state() != UpgradeDlg::State::Downloading; }, 20000));
    EXPECT_EQ(dlg->state(), UpgradeDlg::State::Failed);
    EXPECT_TRUE(files().isEmpty()) << files().join(',').toStdString();
    EXPECT_EQ(status(*dlg), LangText("msg.download_failed"));
    EXPECT_TRUE(button(*dlg)->isEnabled());
    EXPECT_EQ(button(*dlg)->text(), LangText("ui.downloadNow"));

    m_breakHalfway = false;
    button(*dlg)->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg->state() != UpgradeDlg::State::Downloading; }, 20000));
    EXPECT_EQ(dlg->state(), UpgradeDlg::State::Done);
    EXPECT_EQ(fileBytes(dlg->packagePath()), QByteArray::fromStdString(m_package));
    EXPECT_EQ(m_requests, 2);
}

TEST_F(PackageDownload, ClosingDuringTheDownloadAbandonsIt)
{
    m_package.assign(64u * 1024 * 1024, 'z'); // long enough to be running when closed
    auto dlg = dialog(m_https.url("/pkg/vtx_1.6.0.deb"));
    button(*dlg)->click();
    ASSERT_EQ(dlg->state(), UpgradeDlg::State::Downloading);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !files().isEmpty(); }, 10000)); // the partial file
    dlg->close();
    EXPECT_EQ(dlg->state(), UpgradeDlg::State::Idle);
    EXPECT_TRUE(files().isEmpty()) << files().join(',').toStdString();
}

TEST_F(PackageDownload, WithoutTheComponentOrAnAddressTheButtonFallsBack)
{
    auto empty = dialog("");
    button(*empty)->click();
    EXPECT_FALSE(empty->isVisible());
    EXPECT_TRUE(m_opened.isEmpty());

    auto notWeb = dialog("file:///etc/passwd");
    button(*notWeb)->click();
    EXPECT_EQ(m_opened, QStringList{"file:///etc/passwd"});
    EXPECT_TRUE(files().isEmpty());

    // A program folder without libHttpDL.so: the browser gets the address.
    const QString bare = vtxtest::makeTempDir(QStringLiteral("bare")) + '/';
    CHTTPUtil::Instance()->Rebind(bare);
    m_opened.clear();
    auto noComponent = dialog(m_https.url("/pkg/vtx_1.6.0.deb"));
    button(*noComponent)->click();
    EXPECT_EQ(m_opened, QStringList{QString::fromStdString(m_https.url("/pkg/vtx_1.6.0.deb"))});
    EXPECT_EQ(m_requests, 0);
}

} // namespace
