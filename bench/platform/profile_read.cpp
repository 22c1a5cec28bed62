// One key read from a 300-line config.ini, the way the client reads settings: every read
// starts from the file. The baseline builds a QSettings on the same file for each read.
#include "platform/Profile.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

constexpr int kSections = 15;
constexpr int kKeysPerSection = 18; // + header + blank line = 20 lines per section

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

ConfigFile& config()
{
    static ConfigFile instance;
    return instance;
}

const QString kExpected = QStringLiteral("value of key 17 in 14");

void profileRead(benchmark::State& state)
{
    const QString& path = config().path;
    for (auto _ : state) {
        QString value = platform::readProfileString(QStringLiteral("Section14"), QStringLiteral("key17"), QString(),
                                                    256, path);
        benchmark::DoNotOptimize(value);
    }
    if (platform::readProfileString(QStringLiteral("Section14"), QStringLiteral("key17"), QString(), 256, path) !=
        kExpected)
        state.SkipWithError("profile reader returned the wrong value");
}

void qsettingsRead(benchmark::State& state)
{
    const QString& path = config().path;
    for (auto _ : state) {
        QSettings settings(path, QSettings::IniFormat);
        QString value = settings.value(QStringLiteral("Section14/key17")).toString();
        benchmark::DoNotOptimize(value);
    }
    QSettings settings(path, QSettings::IniFormat);
    if (settings.value(QStringLiteral("Section14/key17")).toString() != kExpected)
        state.SkipWithError("QSettings returned the wrong value");
}

} // namespace

BENCHMARK(profileRead)->Name("profile_read_one_key/measured");
BENCHMARK(qsettingsRead)->Name("profile_read_one_key/baseline");

BENCHMARK_MAIN();
