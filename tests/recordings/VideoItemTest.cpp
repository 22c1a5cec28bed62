// The recording row and the recordings list, driven by object name.
#include "ui/VideoItem.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

#include "base/Localization.h"
#include "platform/Paths.h"
#include "recordings/VideoFolder.h"
#include "support/TestEnvironment.h"
#include "ui/MessageBox.h"
#include "ui/RecordingsList.h"
#include "ui/RecordingsView.h"

namespace {

// Stands in for the desktop: collects what would have been opened.
class OpenedUrls : public QObject
{
    Q_OBJECT
public:
    OpenedUrls() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~OpenedUrls() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QStringList files;
public slots:
    void open(const QUrl& url) { files << url.toLocalFile(); }
};

void flushDeletes()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class RecordingRow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Localization::Instance()->resetForTest();
        ASSERT_EQ(Localization::Instance()->Load(1, platform::programFolder() + "en_US.ini"), 0);
    }
    void TearDown() override { MessageBox::clearAutoAnswer(); }

    static QString text(const QWidget& w, const char* name)
    {
        auto* label = w.findChild<QLabel*>(QString::fromLatin1(name));
        EXPECT_NE(label, nullptr) << name;
        return label ? label->text() : QString();
    }
    static QPushButton* button(const QWidget& w, const char* name)
    {
        auto* b = w.findChild<QPushButton*>(QString::fromLatin1(name));
        EXPECT_NE(b, nullptr) << name;
        return b;
    }
    static bool barShown(const QWidget& w) { return !w.findChild<QWidget*>("ctrlWidget")->isHidden(); }

    // A finished recording folder owned by "me".
    static QString recording(const QString& root, const QString& name)
    {
        const QString folder = root + '/' + name;
        QDir().mkpath(folder + "/sub");
        for (const char* file : {"/account.ini", "/playback.m3u", "/audio_only.m4a", "/sub/part"}) {
            QFile f(folder + file);
            f.open(QIODevice::WriteOnly);
            if (QByteArray(file) == "/account.ini")
                f.write("me");
        }
        return folder;
    }
};

TEST_F(RecordingRow, CutsOnlyTheLongPathToItsWidth)
{
    VideoItem row;
    const std::string topic(200, 'T');
    const std::string path = "/home/someone/Documents/Veltrex/" + std::string(300, 'p');
    row.setData(topic, "2020-01-31 14:30:00", path);
    EXPECT_EQ(text(row, "label_Topic"), LangText("ui.video.label_Topic") + QString::fromStdString(topic));
    EXPECT_EQ(text(row, "label_Datetime"), LangText("ui.video.label_Datetime") + "2020-01-31 14:30:00");
    QFont font(LangText("ui.font"));
    font.setPointSize(8);
    const QString shown = text(row, "label_Filepath");
    EXPECT_TRUE(shown.startsWith(LangText("ui.video.label_Filepath") + "/home/someone/")) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QChar(0x2026)));
    EXPECT_LE(QFontMetrics(font).horizontalAdvance(shown), VideoItem::kPathWidth);
    EXPECT_GT(QFontMetrics(font).horizontalAdvance(shown), VideoItem::kPathWidth - 20);

    row.setData("t", "d", "/short/path");
    EXPECT_EQ(text(row, "label_Filepath"), LangText("ui.video.label_Filepath") + "/short/path");
    // Markup in a topic is shown as typed.
    row.setData("<b>x</b>", "d", "/p");
    EXPECT_EQ(row.findChild<QLabel*>("label_Topic")->textFormat(), Qt::PlainText);
    EXPECT_FALSE(barShown(row));
    EXPECT_EQ(button(row, "video")->text(), "Video");
    EXPECT_EQ(button(row, "remove")->text(), "Delete");
}

TEST_F(RecordingRow, PlaysAndOpensTheFilesOfItsOwnFolder)
{
    OpenedUrls desktop;
    VideoItem row;
    const std::string path = u8"/tmp/rec/2020-01-31 14.30.00 周会 #1? 123";
    row.setData("t", "d", path);
    button(row, "video")->click();
    button(row, "audio")->click();
    button(row, "open")->click();
    const QString folder = QString::fromStdString(path);
    EXPECT_EQ(desktop.files, QStringList({folder + "/playback.m3u", folder + "/audio_only.m4a", folder}));
}

TEST_F(RecordingRow, DeletesOnlyWhenTheFirstButtonIsChosen)
{
    const QString root = vtxtest::makeTempDir("rows");
    const QString folder = recording(root, "2020-01-31 14.30.00 Keep 1");
    VideoItem row;
    row.setData("Keep", "d", folder.toStdString());
    int asked = 0;
    QObject::connect(&row, &VideoItem::removeRequested, [&](VideoItem* r) {
        EXPECT_EQ(r, &row);
        ++asked;
    });
    for (int answer : {int(MessageBox::SecondButton), int(MessageBox::Closed)}) {
        MessageBox::setAutoAnswer(answer);
        button(row, "remove")->click();
        EXPECT_TRUE(QFileInfo::exists(folder + "/sub/part"));
        EXPECT_EQ(asked, 0);
    }
    EXPECT_EQ(MessageBox::answeredTexts().count(LangText("msg.remove_video_request")), 2);
    MessageBox::setAutoAnswer(MessageBox::FirstButton);
    button(row, "remove")->click();
    EXPECT_FALSE(QFileInfo::exists(folder));
    EXPECT_TRUE(QFileInfo::exists(root));
    EXPECT_EQ(asked, 1);

    // A row without a folder asks nothing.
    VideoItem empty;
    const int boxes = MessageBox::answeredTexts().size();
    button(empty, "remove")->click();
    EXPECT_EQ(MessageBox::answeredTexts().size(), boxes);
}

TEST_F(RecordingRow, ListShowsTheBarOfTheSelectedRowOnlyAndSurvivesDeletes)
{
    const QString root = vtxtest::makeTempDir("list");
    QStringList folders;
    for (const char* name : {"2020-01-01 10.00.00 One 1", "2020-01-01 10.00.01 Two 2", "2020-01-01 10.00.02 Three 3"})
        folders << recording(root, QString::fromLatin1(name));
    VideoFolder scanner;
    scanner.setOwner("me");
    scanner.setRootFolder(root.toStdString());
    QListWidget list;
    RecordingsList rows(&list, &scanner);
    QObject::connect(&scanner, &VideoFolder::notifyVideoFinished, &rows, &RecordingsList::onVideoFinished);
    QObject::connect(&scanner, &VideoFolder::notifyVideoGone, &rows, &RecordingsList::onVideoGone);
    scanner.rescan();
    scanner.rescan();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list.count() == 3; }, 2000));
    auto row = [&](int i) { return qobject_cast<VideoItem*>(list.itemWidget(list.item(i))); };
    std::set<std::string> paths;
    for (int i = 0; i < 3; ++i) {
        ASSERT_NE(row(i), nullptr);
        EXPECT_EQ(list.item(i)->sizeHint().height(), VideoItem::kRowHeight);
        paths.insert(row(i)->path());
        EXPECT_FALSE(barShown(*row(i)));
    }
    EXPECT_EQ(paths.size(), 3u);

    list.setCurrentRow(1);
    EXPECT_TRUE(barShown(*row(1)));
    list.setCurrentRow(2);
    EXPECT_FALSE(barShown(*row(1)));
    EXPECT_TRUE(barShown(*row(2)));

    // Deleting the selected row from its own button.
    MessageBox::setAutoAnswer(MessageBox::FirstButton);
    const std::string deleted = row(2)->path();
    button(*row(2), "remove")->click();
    flushDeletes();
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.findChildren<VideoItem*>().size(), 2);
    EXPECT_EQ(rows.rowOf(deleted), nullptr);
    for (int i = 0; i < list.count(); ++i)
        EXPECT_EQ(barShown(*row(i)), i == list.currentRow()) << i;
    list.setCurrentRow(0);
    EXPECT_TRUE(barShown(*row(0)));
    EXPECT_FALSE(barShown(*row(1)));

    // The deleted folder does not come back; one removed in the file manager leaves the list.
    scanner.rescan();
    QDir(folders[0]).removeRecursively();
    scanner.rescan();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list.count() == 1; }, 2000));
    flushDeletes();
    EXPECT_EQ(row(0)->path(), folders[1].toStdString());
    EXPECT_EQ(list.findChildren<VideoItem*>().size(), 1);

    rows.clear();
    flushDeletes();
    EXPECT_EQ(list.count(), 0);
    EXPECT_TRUE(list.findChildren<VideoItem*>().isEmpty());
    rows.removeRow(nullptr); // a caller in no entry changes nothing
}

TEST_F(RecordingRow, ManyRecordingsAreAddedInSlicesThatLeaveTheWindowResponsive)
{
    const QString root = vtxtest::makeTempDir("many");
    constexpr int kCount = 30;
    for (int i = 0; i < kCount; ++i) {
        const QString folder = root + QStringLiteral("/2020-01-01 10.00.00 Topic%1 1").arg(i);
        QDir().mkpath(folder);
        QFile owner(folder + "/account.ini");
        owner.open(QIODevice::WriteOnly);
        owner.write("me");
        QFile(folder + "/playback.m3u").open(QIODevice::WriteOnly);
    }
    VideoFolder scanner;
    scanner.setOwner("me");
    scanner.setRootFolder(root.toStdString());
    QListWidget list;
    RecordingsList rows(&list, &scanner);
    scanner.rescan();
    scanner.rescan();
    QElapsedTimer slice;
    slice.start();
    rows.onVideoFinished();
    // One slice, not all of them (a row takes far less than the whole list).
    EXPECT_LT(slice.elapsed(), 1000);
    EXPECT_GT(list.count(), 0);
    EXPECT_LT(list.count(), kCount); // the rest follows on later turns of the event loop
    EXPECT_TRUE(QTest::qWaitFor([&] { return list.count() == kCount; }, 60000));

    // The whole folder going away empties the list the same way.
    QDir(root).removeRecursively();
    scanner.rescan();
    rows.onVideoGone();
    EXPECT_TRUE(QTest::qWaitFor([&] { return list.count() == 0; }, 60000));
}

TEST_F(RecordingRow, WindowListGivesWidgetsOnlyToTheRowsInSight)
{
    const QString root = vtxtest::makeTempDir("sight");
    constexpr int kCount = 60;
    for (int i = 0; i < kCount; ++i)
        recording(root, QStringLiteral("2020-01-01 10.00.%1 Topic%2 1").arg(i % 60, 2, 10, QChar('0')).arg(i));
    VideoFolder scanner;
    scanner.setOwner("me");
    scanner.setRootFolder(root.toStdString());
    RecordingsView list;
    list.resize(360, 547);
    list.show();
    RecordingsList rows(&list, &scanner);
    QObject::connect(&scanner, &VideoFolder::notifyVideoFinished, &rows, &RecordingsList::onVideoFinished);
    scanner.rescan();
    scanner.rescan();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list.count() == kCount; }, 5000));
    auto row = [&](int i) { return qobject_cast<VideoItem*>(list.itemWidget(list.item(i))); };
    // Each widget shows its own entry's record (the entry keeps it while the row has none), and
    // every entry holds a different recording.
    std::set<std::string> listed;
    for (int i = 0; i < list.count(); ++i)
        listed.insert(RecordingsList::pathOf(list.item(i)));
    EXPECT_EQ(listed.size(), size_t(kCount));
    auto rowsMatchEntries = [&] {
        int withRow = 0;
        for (int i = 0; i < list.count(); ++i) {
            if (VideoItem* r = row(i)) {
                ++withRow;
                EXPECT_EQ(r->path(), RecordingsList::pathOf(list.item(i))) << i;
                EXPECT_EQ(r->parentWidget(), list.viewport());
            }
        }
        return withRow;
    };
    const int screenful = 547 / VideoItem::kRowHeight + 1;
    ASSERT_TRUE(QTest::qWaitFor([&] { return row(screenful - 1) != nullptr; }, 5000));
    flushDeletes();
    EXPECT_EQ(rowsMatchEntries(), screenful);
    EXPECT_EQ(row(screenful), nullptr);
    EXPECT_EQ(list.findChildren<VideoItem*>().size(), screenful);

    // Scrolling to the end makes the rows there and gives the ones at the top back.
    list.scrollToBottom();
    ASSERT_TRUE(QTest::qWaitFor([&] { return row(kCount - 1) != nullptr && row(kCount - screenful + 1); }, 5000));
    flushDeletes();
    EXPECT_EQ(row(0), nullptr);
    EXPECT_LE(rowsMatchEntries(), screenful);
    EXPECT_LE(list.findChildren<VideoItem*>().size(), screenful);

    // The selected entry keeps its button bar when its row is made again.
    list.setCurrentRow(kCount - 1);
    EXPECT_TRUE(barShown(*row(kCount - 1)));
    list.scrollToTop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return row(0) != nullptr && row(kCount - 1) == nullptr; }, 5000));
    EXPECT_FALSE(barShown(*row(0)));
    list.scrollToBottom();
    ASSERT_TRUE(QTest::qWaitFor([&] { return row(kCount - 1) != nullptr; }, 5000));
    EXPECT_TRUE(barShown(*row(kCount - 1)));

    // Deleting through a row made on the way works as with any other.
    MessageBox::setAutoAnswer(MessageBox::FirstButton);
    const std::string deleted = row(kCount - 1)->path();
    button(*row(kCount - 1), "remove")->click();
    flushDeletes();
    EXPECT_EQ(list.count(), kCount - 1);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(deleted)));
    EXPECT_EQ(rows.rowOf(deleted), nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return row(kCount - 2) != nullptr; }, 5000));
    flushDeletes();
    EXPECT_LE(rowsMatchEntries(), screenful);
}

TEST_F(RecordingRow, WindowListOutlivingItsFillerLaysOutWithoutIt)
{
    const QString root = vtxtest::makeTempDir("outlive");
    recording(root, QStringLiteral("2020-01-01 10.00.00 Kept 1"));
    VideoFolder scanner;
    scanner.setOwner("me");
    scanner.setRootFolder(root.toStdString());
    RecordingsView list;
    list.resize(360, 547);
    list.show();
    {
        RecordingsList rows(&list, &scanner);
        QObject::connect(&scanner, &VideoFolder::notifyVideoFinished, &rows, &RecordingsList::onVideoFinished);
        scanner.rescan();
        scanner.rescan();
        ASSERT_TRUE(QTest::qWaitFor([&] { return list.itemWidget(list.item(0)) != nullptr; }, 5000));
    }
    // The form's list stays after the filler is gone (teardown order); later layouts make no rows.
    list.addItem(QStringLiteral("late"));
    list.scrollToBottom();
    QTest::qWait(50);
    EXPECT_EQ(list.itemWidget(list.item(1)), nullptr);
    EXPECT_EQ(list.count(), 2);
}

} // namespace

#include "VideoItemTest.moc"
