// Opening the join-history popup with 1000 entries: the popup built and filled, and the events its
// widgets posted handled as the event loop would. The baseline fills a bare QListWidget with the
// same number of rows of two plain labels. Tearing down is not opening, so neither side counts it.
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <benchmark/benchmark.h>
#include <cstdio>

#include "base/Localization.h"
#include "base/Settings.h"
#include "platform/Paths.h"
#include "ui/HistoryMeetings.h"

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
        auto* popup = new HistoryMeetings(kEntries, nullptr);
        popup->fill(history(), QStringLiteral("10000007919"));
        rows = popup->findChild<QListWidget*>(QStringLiteral("listWidget"))->count();
        // No event loop runs here; events posted by the widgets are handled as the loop would.
        QCoreApplication::sendPostedEvents();
        state.PauseTiming();
        delete popup;
        QCoreApplication::sendPostedEvents();
        state.ResumeTiming();
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
        QCoreApplication::sendPostedEvents();
        state.PauseTiming();
        delete list;
        QCoreApplication::sendPostedEvents();
        state.ResumeTiming();
    }
    if (rows != kEntries)
        state.SkipWithError("the list did not get one row per entry");
}

} // namespace

BENCHMARK(openHistoryPopup)->Name("history_popup_1000/measured")->Unit(benchmark::kMillisecond);
BENCHMARK(fillPlainList)->Name("history_popup_1000/baseline")->Unit(benchmark::kMillisecond);

// No main window: it would start the meeting SDK, and the popup only calls it back when it closes.
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(res);
    if (Localization::Instance()->Load(1, platform::programFolder() + QStringLiteral("en_US.ini")) != 0) {
        std::fprintf(stderr, "language pack not found beside the benchmark\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
