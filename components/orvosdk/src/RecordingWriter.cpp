// A finished local recording: its folder is written on a worker while the conversion window shows.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QSaveFile>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include "Services.h"

namespace orvo {

namespace {

// The conversion window stays up at least this long, so people see what happens.
constexpr int kConversionWindowMs = 1500;

// Folder names take the topic as typed, minus what a file name cannot hold.
QString SafeTopic(const QString& topic)
{
    QString out;
    for (const QChar c : topic) {
        if (c == '/' || c == '\\' || c.unicode() < 0x20 || c.unicode() == 0x7f)
            out += '_';
        else
            out += c;
    }
    out = out.simplified();
    if (out.toUtf8().size() > 150)
        out = QString::fromUtf8(out.toUtf8().left(150)).remove(QChar(0xFFFD)).trimmed();
    return out.isEmpty() ? QStringLiteral("Meeting") : out;
}

bool WriteFolder(const QString& root, const QString& name, const QString& topic)
{
    const QString folder = root + '/' + name;
    if (!QDir().mkpath(folder))
        return false;
    // Stand-in audio: an MP4 file-type box so players recognise the container.
    static const char kAudio[] = "\x00\x00\x00\x18"
                                 "ftypM4A \x00\x00\x00\x00"
                                 "M4A mp42";
    QFile audio(folder + QStringLiteral("/audio_only.m4a"));
    if (!audio.open(QIODevice::WriteOnly) || audio.write(kAudio, sizeof(kAudio) - 1) != qint64(sizeof(kAudio) - 1))
        return false;
    audio.close();
    // The playlist is written last: its presence means the recording is complete.
    QSaveFile playlist(folder + QStringLiteral("/playback.m3u"));
    if (!playlist.open(QIODevice::WriteOnly))
        return false;
    playlist.write("#EXTM3U\n#EXTINF:-1," + topic.toUtf8() + "\naudio_only.m4a\n");
    return playlist.commit();
}

} // namespace

void WriteRecording(const QString& topic, UINT64 number, const QDateTime& startedAt)
{
    const QString root = RecordingFolder();
    const QString name = QStringLiteral("%1 %2 %3")
                             .arg(startedAt.toString(QStringLiteral("yyyy-MM-dd HH.mm.ss")), SafeTopic(topic))
                             .arg(number);

    auto* window = new QWidget;
    window->setObjectName(QStringLiteral("OrvoConversionWindow"));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(QStringLiteral("Orvo - 转换录制文件"));
    auto* layout = new QVBoxLayout(window);
    auto* label = new QLabel(Tr("Converting the meeting recording...", "正在转换会议录制文件……"), window);
    auto* bar = new QProgressBar(window);
    bar->setRange(0, 0);
    layout->addWidget(label);
    layout->addWidget(bar);
    window->resize(360, 100);
    window->show();

    auto written = std::make_shared<std::atomic<bool>>(false);
    auto shownLongEnough = std::make_shared<bool>(false);
    QPointer<QWidget> guard(window);
    auto closeWhenDone = [guard, written, shownLongEnough] {
        if (guard && written->load() && *shownLongEnough)
            guard->close();
    };
    SdkCore::Get().RunInBackground([root, name, topic, written, closeWhenDone] {
        WriteFolder(root, name, topic);
        written->store(true);
        SdkCore::Get().Post(closeWhenDone);
    });
    QTimer::singleShot(kConversionWindowMs, window, [shownLongEnough, closeWhenDone] {
        *shownLongEnough = true;
        closeWhenDone();
    });
}

} // namespace orvo
