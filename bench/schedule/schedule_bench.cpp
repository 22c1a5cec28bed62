// recurrence_summary_10y: the count behind the live summary of a daily meeting over ten years,
// against walking the range a day at a time as the summary once did.
// plan_list_1000: the meetings list filled with 1000 ScheduleItem rows from meeting values, with the
// list's row delegate, against a bare QListWidget given rows of the same child widgets directly.
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <benchmark/benchmark.h>
#include <cstdio>

#include "base/Localization.h"
#include "platform/Paths.h"
#include "ui/schedule/Recurrence.h"
#include "ui/schedule/ScheduleItem.h"

namespace {

constexpr int kRows = 1000;
constexpr int kInterval = 1;
const QDateTime kStart(QDate(2031, 1, 1), QTime(10, 0), Qt::LocalTime);
const QDate kEnd(2040, 12, 31);

void summaryCount(benchmark::State& state)
{
    int count = 0;
    for (auto _ : state) {
        count = recurrence::occurrenceCount(recurrence::Cycle::Daily, kInterval, {}, kStart, kEnd);
        benchmark::DoNotOptimize(count);
    }
    if (count != int(kStart.date().daysTo(kEnd)) + 1)
        state.SkipWithError("wrong count");
}

void summaryDayByDay(benchmark::State& state)
{
    int count = 0;
    for (auto _ : state) {
        count = 0;
        const QDateTime end(kEnd, QTime(23, 59, 59), Qt::LocalTime);
        int day = 0;
        for (QDateTime t = kStart; t < end; t = t.addDays(1), ++day)
            if (day % kInterval == 0)
                ++count;
        benchmark::DoNotOptimize(count);
    }
    if (count != int(kStart.date().daysTo(kEnd)) + 1)
        state.SkipWithError("wrong count");
}

schedule::ItemInfo meeting(int i)
{
    schedule::ItemInfo item;
    item.uniqueId = quint64(5000 + i);
    item.number = 1000000000ull + quint64(i) * 7919;
    item.topic = QStringLiteral("Weekly planning meeting number %1").arg(i);
    item.startTime = kStart.addSecs(qint64(i) * 3600).toSecsSinceEpoch();
    item.durationMinutes = 90;
    return item;
}

void planList(benchmark::State& state)
{
    int rows = 0;
    for (auto _ : state) {
        auto* list = new QListWidget;
        list->setItemDelegate(new MuItemDelegate(95, list));
        for (int i = 0; i < kRows; ++i) {
            auto* row = new ScheduleItem(nullptr, list);
            auto* item = new QListWidgetItem(list);
            item->setSizeHint(QSize(item->sizeHint().width(), row->height()));
            list->setItemWidget(item, row);
            row->setMeeting(meeting(i), quint64(5000 + i));
        }
        rows = list->count();
        QCoreApplication::sendPostedEvents();
        state.PauseTiming();
        delete list;
        QCoreApplication::sendPostedEvents();
        state.ResumeTiming();
    }
    if (rows != kRows)
        state.SkipWithError("the list did not get one row per meeting");
}

void plainList(benchmark::State& state)
{
    int rows = 0;
    for (auto _ : state) {
        auto* list = new QListWidget;
        for (int i = 0; i < kRows; ++i) {
            const schedule::ItemInfo m = meeting(i);
            auto* row = new QWidget(list);
            row->resize(350, 95);
            const QDateTime start = QDateTime::fromSecsSinceEpoch(m.startTime, Qt::LocalTime);
            (new QLabel(start.date().toString(), row))->setGeometry(10, 8, 180, 32);
            (new QLabel(start.toString(QStringLiteral("HH:mm")), row))->setGeometry(190, 4, 158, 21);
            (new QLabel(m.topic, row))->setGeometry(10, 30, 341, 21);
            (new QLabel(QString::number(m.number), row))->setGeometry(10, 50, 341, 21);
            auto* ctrl = new QWidget(row);
            ctrl->setGeometry(8, 70, 335, 24);
            auto* layout = new QHBoxLayout(ctrl);
            for (const char* text : {"Start", "Edit", "Delete", "Copy", "Add to calendar"})
                layout->addWidget(new QPushButton(QString::fromLatin1(text), ctrl));
            ctrl->hide();
            auto* item = new QListWidgetItem(list);
            item->setSizeHint(QSize(item->sizeHint().width(), 95));
            list->setItemWidget(item, row);
        }
        rows = list->count();
        QCoreApplication::sendPostedEvents();
        state.PauseTiming();
        delete list;
        QCoreApplication::sendPostedEvents();
        state.ResumeTiming();
    }
    if (rows != kRows)
        state.SkipWithError("the list did not get one row per meeting");
}

} // namespace

BENCHMARK(summaryCount)->Name("recurrence_summary_10y/measured")->Unit(benchmark::kMicrosecond);
BENCHMARK(summaryDayByDay)->Name("recurrence_summary_10y/baseline")->Unit(benchmark::kMicrosecond);
BENCHMARK(planList)->Name("plan_list_1000/measured")->Unit(benchmark::kMillisecond);
BENCHMARK(plainList)->Name("plan_list_1000/baseline")->Unit(benchmark::kMillisecond);

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
