// The recordings scanner over a root of 10,000 finished recordings of the signed-in user.
//
// rescan_10000: one pass as it runs every 15 s once everything is listed; the baseline walks the
// same folders with QDirIterator and checks each for playback.m3u.
// rescan_10000_listing: the pass that lists all of them (reads every owner file, queues 10,000
// records); same baseline.
// gui_stall_10000: the longest stall of the GUI thread (its own work between two ticks of a 1 ms
// timer; the wall-clock gap is a counter) while the worker runs the listing pass and the GUI side
// takes the 10,000 records; gui_stall_10000_rows: the same while the recordings list builds its
// 10,000 rows in the window's list view; gui_stall_10000_rows_plain_list: the same rows in a plain
// QListWidget with a widget on every row, as the list was built before. Baselines: the same timer over an
// idle event loop for as long.
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <ctime>
#include <memory>

#include "base/Localization.h"
#include "platform/Paths.h"
#include "recordings/VideoFolder.h"
#include "ui/RecordingsList.h"
#include "ui/RecordingsView.h"
#include "ui/VideoItem.h"

namespace {

constexpr int kFolders = 10000;
const std::string kOwner = "demo@vtx.local";

QTemporaryDir* g_dir = nullptr;

std::string root()
{
    return g_dir->filePath(QStringLiteral("Veltrex")).toStdString();
}

void makeRoot()
{
    const QString base = QString::fromStdString(root());
    for (int i = 0; i < kFolders; ++i) {
        const QString folder = base + QStringLiteral("/2024-05-%1 10.%2.%3 Weekly planning %4 12345678901")
                                          .arg(1 + i % 28, 2, 10, QChar('0'))
                                          .arg(i / 60 % 60, 2, 10, QChar('0'))
                                          .arg(i % 60, 2, 10, QChar('0'))
                                          .arg(i);
        QDir().mkpath(folder);
        QFile owner(folder + QStringLiteral("/account.ini"));
        owner.open(QIODevice::WriteOnly);
        owner.write(kOwner.c_str());
        QFile(folder + QStringLiteral("/audio_only.m4a")).open(QIODevice::WriteOnly);
        QFile(folder + QStringLiteral("/playback.m3u")).open(QIODevice::WriteOnly);
    }
}

// A scanner that has seen every folder once (they are claimed, not yet listed).
std::unique_ptr<VideoFolder> claimedScanner()
{
    auto scanner = std::make_unique<VideoFolder>();
    scanner->setOwner(kOwner);
    scanner->setRootFolder(root());
    scanner->rescan();
    return scanner;
}

int drain(VideoFolder& scanner)
{
    int n = 0;
    while (scanner.takeNextRecord())
        ++n;
    return n;
}

void steadyPass(benchmark::State& state)
{
    auto scanner = claimedScanner();
    scanner->rescan();
    if (drain(*scanner) != kFolders)
        state.SkipWithError("not every recording was listed");
    for (auto _ : state)
        scanner->rescan();
    if (drain(*scanner) != 0)
        state.SkipWithError("a recording was listed twice");
}

void listingPass(benchmark::State& state)
{
    int listed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto scanner = claimedScanner();
        state.ResumeTiming();
        scanner->rescan();
        state.PauseTiming();
        listed = drain(*scanner);
        scanner.reset();
        state.ResumeTiming();
    }
    if (listed != kFolders)
        state.SkipWithError("not every recording was listed");
}

void plainWalk(benchmark::State& state)
{
    int finished = 0;
    for (auto _ : state) {
        finished = 0;
        QDirIterator it(QString::fromStdString(root()), QDir::Dirs | QDir::NoDotAndDotDot);
        while (it.hasNext()) {
            const QString folder = it.next();
            if (QFileInfo::exists(folder + QStringLiteral("/playback.m3u")))
                ++finished;
        }
        benchmark::DoNotOptimize(finished);
    }
    if (finished != kFolders)
        state.SkipWithError("the walk missed folders");
}

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1000.0 + double(t.tv_nsec) / 1e6;
}

struct Stall
{
    double cpuMs = 0;  // longest stretch of GUI-thread work between two ticks
    double wallMs = 0; // longest gap between two ticks, other processes' load included
};

// Ticks of a 1 ms timer on the GUI thread while the event loop runs until done() holds. The
// machine may be shared, so the work the GUI thread itself did between two ticks (its CPU time)
// is kept beside the wall-clock gap.
template <class Done> Stall longestStall(Done done, int minimumMs)
{
    QElapsedTimer clock;
    clock.start();
    double lastWall = 0;
    double lastCpu = threadCpuMs();
    Stall longest;
    QEventLoop loop;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const double wall = double(clock.nsecsElapsed()) / 1e6;
        const double cpu = threadCpuMs();
        longest.wallMs = qMax(longest.wallMs, wall - lastWall);
        longest.cpuMs = qMax(longest.cpuMs, cpu - lastCpu);
        lastWall = wall;
        lastCpu = cpu;
        if (done() && wall >= minimumMs)
            loop.quit();
    });
    ticker.start();
    loop.exec();
    return longest;
}

qint64 g_busyMs = 1000;

// The pass alone: the GUI side only takes the records, as the list does before it builds rows.
void guiStallWhilePassRuns(benchmark::State& state)
{
    for (auto _ : state) {
        auto scanner = claimedScanner();
        int taken = 0;
        QObject::connect(scanner.get(), &VideoFolder::notifyVideoFinished, [&] {
            while (scanner->takeNextRecord())
                ++taken;
        });
        QElapsedTimer busy;
        busy.start();
        scanner->start(kOwner, root());
        const Stall stall = longestStall([&] { return taken == kFolders; }, 0);
        g_busyMs = busy.elapsed();
        scanner->stop();
        state.SetIterationTime(stall.cpuMs / 1000.0);
        state.counters["wall_ms"] = stall.wallMs;
        state.counters["busy_ms"] = double(g_busyMs);
    }
}

template <class List, bool shown> void guiStallWhileListing(benchmark::State& state)
{
    for (auto _ : state) {
        auto scanner = claimedScanner();
        List list;
        list.resize(360, 547);
        // The window's view is measured shown, so its rows in sight are really made and placed.
        // The plain list stays hidden: shown, it lays itself out again for every row and takes
        // many minutes.
        if (shown)
            list.show();
        RecordingsList rows(&list, scanner.get());
        QObject::connect(scanner.get(), &VideoFolder::notifyVideoFinished, &rows, &RecordingsList::onVideoFinished);
        // The worker's first pass lists everything the claim pass above has seen.
        QElapsedTimer busy;
        busy.start();
        scanner->start(kOwner, root());
        const Stall stall = longestStall([&] { return list.count() == kFolders; }, 0);
        g_busyMs = busy.elapsed();
        scanner->stop();
        state.SetIterationTime(stall.cpuMs / 1000.0);
        state.counters["wall_ms"] = stall.wallMs;
        state.counters["rows"] = list.count();
        state.counters["busy_ms"] = double(g_busyMs);
    }
}

void guiStallIdle(benchmark::State& state)
{
    for (auto _ : state) {
        const Stall stall = longestStall([] { return true; }, int(g_busyMs));
        state.SetIterationTime(stall.cpuMs / 1000.0);
        state.counters["wall_ms"] = stall.wallMs;
    }
}

} // namespace

BENCHMARK(steadyPass)->Name("rescan_10000/measured")->Unit(benchmark::kMillisecond);
BENCHMARK(plainWalk)->Name("rescan_10000/baseline")->Unit(benchmark::kMillisecond);
BENCHMARK(listingPass)->Name("rescan_10000_listing/measured")->Unit(benchmark::kMillisecond);
BENCHMARK(plainWalk)->Name("rescan_10000_listing/baseline")->Unit(benchmark::kMillisecond);
BENCHMARK(guiStallWhilePassRuns)
    ->Name("gui_stall_10000/measured")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(guiStallIdle)
    ->Name("gui_stall_10000/baseline")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(guiStallWhileListing<RecordingsView, true>)
    ->Name("gui_stall_10000_rows/measured")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(guiStallIdle)
    ->Name("gui_stall_10000_rows/baseline")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

BENCHMARK(guiStallWhileListing<QListWidget, false>)
    ->Name("gui_stall_10000_rows_plain_list/measured")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(guiStallIdle)
    ->Name("gui_stall_10000_rows_plain_list/baseline")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(res);
    if (Localization::Instance()->Load(1, platform::programFolder() + QStringLiteral("en_US.ini")) != 0) {
        std::fprintf(stderr, "language pack not found beside the benchmark\n");
        return 1;
    }
    {
        // Fonts, style and pictures load once per process, on the first row shown; that is not
        // what the 10,000 rows cost.
        QListWidget warm;
        VideoItem* row = new VideoItem;
        row->setData("Warm-up", "2024-05-01 10:00:00", "/nowhere/2024-05-01 10.00.00 Warm-up 1");
        warm.setItemWidget(new QListWidgetItem(&warm), row);
        warm.show();
        QCoreApplication::processEvents();
    }
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/vtxbench-XXXXXX"));
    g_dir = &dir;
    makeRoot();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    g_dir = nullptr;
    return 0;
}
