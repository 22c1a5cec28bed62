// One key read from a 300-line config.ini, the way the client reads settings: every read
// starts from the file. The baseline builds a QSettings on the same file for each read.
// Two figures: a file written a while ago (the usual case) and one just written, which the
// reader does not trust its cache for.
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>

#include "platform/Profile.h"

namespace {

constexpr int kSections = 15;
constexpr int kKeysPerSection = 18; // + header + blank line = 20 lines per section
constexpr int kTouchEvery = 1000;

const QString kSection = QStringLiteral("Section14");
const QString kKey = QStringLiteral("key17");
const QString kExpected = QStringLiteral("value of key 17 in 14");

struct ConfigFile
{
    QTemporaryDir dir;
    QString path;

    ConfigFile()
    {
        path = dir.filePath(QStringLiteral("config.ini"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return;
        for (int s = 0; s < kSections; ++s) {
            file.write(QByteArray("[Section") + QByteArray::number(s) + "]\n");
            for (int k = 0; k < kKeysPerSection; ++k)
                file.write("key" + QByteArray::number(k) + "=value of key " + QByteArray::number(k) + " in " +
                           QByteArray::number(s) + "\n");
            file.write("\n");
        }
    }
};

// Written once, then left alone for a few seconds, as config.ini is between two uses.
const QString& settledFile()
{
    static ConfigFile file;
    static const bool settled = [] {
        std::this_thread::sleep_for(std::chrono::seconds(3));
        return true;
    }();
    (void)settled;
    return file.path;
}

const QString& freshFile()
{
    static ConfigFile file;
    return file.path;
}

// Marks the file as just changed (new mtime and ctime), outside the timed part.
void touch(benchmark::State& state, const QString& path)
{
    state.PauseTiming();
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), nullptr, 0);
    state.ResumeTiming();
}

QString readOurs(const QString& path)
{
    return platform::readProfileString(kSection, kKey, QString(), 256, path);
}

QString readQSettings(const QString& path)
{
    QSettings settings(path, QSettings::IniFormat);
    return settings.value(kSection + QLatin1Char('/') + kKey).toString();
}

template <QString (*Read)(const QString&)> void settled(benchmark::State& state)
{
    const QString& path = settledFile();
    for (auto _ : state) {
        QString value = Read(path);
        benchmark::DoNotOptimize(value);
    }
    if (Read(path) != kExpected)
        state.SkipWithError("wrong value read");
}

template <QString (*Read)(const QString&)> void justWritten(benchmark::State& state)
{
    const QString& path = freshFile();
    int count = 0;
    for (auto _ : state) {
        if (++count % kTouchEvery == 1)
            touch(state, path);
        QString value = Read(path);
        benchmark::DoNotOptimize(value);
    }
    if (Read(path) != kExpected)
        state.SkipWithError("wrong value read");
}

} // namespace

BENCHMARK(settled<readOurs>)->Name("profile_read_one_key/measured");
BENCHMARK(settled<readQSettings>)->Name("profile_read_one_key/baseline");
BENCHMARK(justWritten<readOurs>)->Name("profile_read_one_key_just_written/measured");
BENCHMARK(justWritten<readQSettings>)->Name("profile_read_one_key_just_written/baseline");

BENCHMARK_MAIN();
