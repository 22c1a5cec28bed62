// Opening the join-history popup with 1000 entries: the popup built, filled and deleted. The
// baseline fills a bare QListWidget with the same number of rows of two plain labels.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>

#include "app/Localization.h"
#include "app/Settings.h"
#include "platform/Paths.h"
#include "ui/HistoryItem.h"
#include "ui/HistoryMeetings.h"
#include "ui/MainWindow.h"

namespace {

constexpr int kEntries = 1000;

MainWindow* g_window = nullptr;

const settings::History& history()
{
    static const settings::History entries = [] {
        settings::History h;
        for (int i = 0; i < kEntries; ++i)
            h.emplace(1700000000 + i, settings::HistoryEntry{std::to_string(10000000000LL + i * 7919LL),
                                                             "Weekly planning meeting number " + std::to_string(i)});
        return h;
    }();
    return entries;
}

void openHistoryPopup(benchmark::State& state)
{
    int rows = 0;
    for (auto _ : state) {
        auto* popup = new HistoryMeetings(kEntries, g_window);
        popup->fill(history(), QStringLiteral("10000007919"));
        rows = popup->findChild<QListWidget*>(QStringLiteral("listWidget"))->count();
        delete popup;
    }
    if (rows != kEntries)
        state.SkipWithError("the popup did not get one row per entry");
}

void fillPlainList(benchmark::State& state)
{
    int rows = 0;
    for (auto _ : state) {
        auto* list = new QListWidget;
        for (auto it = history().rbegin(); it != history().rend(); ++it) {
            auto* row = new QWidget;
            row->resize(318, 27);
            auto* id = new QLabel(QString::fromStdString(it->second.id), row);
            id->setGeometry(12, 0, 110, 27);
            auto* name = new QLabel(QString::fromStdString(it->second.name), row);
            name->setGeometry(122, 0, 194, 27);
            auto* item = new QListWidgetItem(list);
            item->setSizeHint(QSize(-1, 27));
            list->setItemWidget(item, row);
        }
        rows = list->count();
        delete list;
    }
    if (rows != kEntries)
        state.SkipWithError("the list did not get one row per entry");
}

} // namespace

BENCHMARK(openHistoryPopup)->Name("history_popup_1000/measured")->Unit(benchmark::kMillisecond);
BENCHMARK(fillPlainList)->Name("history_popup_1000/baseline")->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    // The main window writes its settings; they go to a throw-away folder, never the user's.
    QTemporaryDir scratch(QDir::tempPath() + QStringLiteral("/vtxbench-XXXXXX"));
    if (!scratch.isValid() || !QDir().mkpath(scratch.filePath("config")) ||
        !QDir().mkpath(scratch.filePath("runtime"))) {
        std::fprintf(stderr, "cannot create a temporary folder\n");
        return 1;
    }
    QFile::setPermissions(scratch.filePath("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_CONFIG_HOME", scratch.filePath("config").toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", scratch.filePath("runtime").toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    Q_INIT_RESOURCE(res);
    if (Localization::Instance()->Load(1, platform::programFolder() + QStringLiteral("en_US.ini")) != 0) {
        std::fprintf(stderr, "language pack not found beside the benchmark\n");
        return 1;
    }
    int rc = 0;
    {
        MainWindow window;
        g_window = &window;
        benchmark::Initialize(&argc, argv);
        if (benchmark::ReportUnrecognizedArguments(argc, argv))
            return 1;
        benchmark::RunSpecifiedBenchmarks();
        g_window = nullptr;
    }
    return rc;
}
