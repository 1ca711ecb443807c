// The run page at the size of a full chip (26 holes, 2 channels, 40 cycle and 71 melt readings):
// opening a saved experiment into a review page, feeding a running page its reports, and the
// memory of a session with four running and four review pages, and of a day of reviews. Offscreen.
#include "bench/OffscreenMain.h"
#include "tests/Synthetic.h"
#include "ui/data/ZDataList.h"
#include "ui/run/ZRunWidget.h"

#include <QApplication>
#include <QFile>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QLineEdit>
#include <QTreeView>

#include <unistd.h>

#include <memory>

namespace {

OutData fullChip()
{
    OutData d = Synthetic::experiment(40, true);
    for (int s = 0; s < 52; ++s)
        d.pdLines[s] = Synthetic::amplification(40, s % 3 == 0 ? 2500 : 0, 20 + s % 10, 1.6, quint32(s))
            + Synthetic::melt(60, 71, 75 + s % 10, 2000, 1, 41);
    for (int t = 0; t < 4313; ++t) {
        d.tempLines.resize(2);
        d.tempLines[0].append(QPointF(t, 60 + (t % 60) * 0.5));
        d.tempLines[1].append(QPointF(t, 60 + (t % 60) * 0.5));
    }
    d.inData.sampleNames = {"a", "b"};
    d.inData.sampleRemarks = {"", ""};
    return d;
}

std::unique_ptr<ZRunWidget> reviewPage(const QString& path)
{
    OutData data;
    data.openAs(path);
    auto page = std::make_unique<ZRunWidget>();
    page->setMFilePath(path);
    page->setInData(data.inData);
    page->setOutData(data);
    return page;
}

void BM_OpenReviewPage(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("full.pcrd");
    fullChip().saveAsFilePath(path);
    for (auto _ : state) {
        auto page = reviewPage(path);
        benchmark::DoNotOptimize(page.get());
        state.PauseTiming(); // closing the page is not part of opening it
        page.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenReviewPage)->Unit(benchmark::kMillisecond);

// A whole run of the full method as its page sees it: 4313 temperature reports and 111 readings.
void BM_RunPageReports(benchmark::State& state)
{
    const OutData d = fullChip();
    ConnectData temperature;
    temperature.pcrIndex = d.inData.pcrNumber;
    temperature.upTemp = temperature.downTemp = 60;
    temperature.totalCount = 4313;
    ConnectData reading = temperature;
    reading.dataType = ConnectData::HOLE_READING;
    reading.pdValues = QVector<double>(52, 600);
    for (auto _ : state) {
        ZRunWidget page;
        page.setInData(d.inData);
        for (int step = 0; step < 4313; ++step) {
            temperature.residueCount = 4313 - step;
            page.slotConnectData(temperature);
            if (step % 39 == 0 && reading.cycle + reading.meltStep < 111) {
                ++reading.cycle;
                page.slotConnectData(reading);
            }
        }
        reading.cycle = 0;
    }
    state.SetItemsProcessed(state.iterations() * (4313 + 111));
}
BENCHMARK(BM_RunPageReports)->Unit(benchmark::kMillisecond)->Iterations(3);

long residentKb()
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

void BM_EightPagesMemory(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("full.pcrd");
    const OutData d = fullChip();
    d.saveAsFilePath(path);
    for (auto _ : state) {
        std::vector<std::unique_ptr<ZRunWidget>> pages;
        for (int i = 0; i < 4; ++i) {
            pages.push_back(reviewPage(path));
            auto running = std::make_unique<ZRunWidget>();
            running->setInData(d.inData);
            pages.push_back(std::move(running));
        }
        state.counters["resident_MB"] = residentKb() / 1024.0;
    }
}
BENCHMARK(BM_EightPagesMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

// A day of reviews: a full-chip review page opened and closed 200 times, and 200 previews on the
// data page. The resident memory must stay flat (growth_MB within 10).
void BM_ReviewsAndPreviewsGrowth(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("full.pcrd");
    fullChip().saveAsFilePath(path);
    ZDataList dataPage;
    auto settle = [] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    };
    // Two rounds first, so that caches filled once (fonts, styles) and the allocator's high-water
    // mark (the first preview that replaces another holds both for a moment) do not count as growth.
    for (int i = 0; i < 2; ++i) {
        reviewPage(path).reset();
        dataPage.slotPressFile(path);
        settle();
    }
    for (auto _ : state) {
        const long before = residentKb();
        for (int i = 0; i < 200; ++i) {
            reviewPage(path).reset();
            dataPage.slotPressFile(path);
            settle();
        }
        state.counters["growth_MB"] = (residentKb() - before) / 1024.0;
    }
}
BENCHMARK(BM_ReviewsAndPreviewsGrowth)->Iterations(1)->Unit(benchmark::kMillisecond);

// A lab's year on the data page: 10,000 experiment files (links to one record), from opening the
// page to its list filled, sorted newest first and drawn; and to the states of its first screenful
// read, which fill in after the list is on show.
void BM_DataPageTenThousand(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("usr_data/");
    QDir().mkpath(folder);
    fullChip().saveAsFilePath(folder + "run-00000.pcrd");
    for (int i = 1; i < 10000; ++i)
        if (::link(QFile::encodeName(folder + "run-00000.pcrd").constData(), QFile::encodeName(folder + QString("run-%1.pcrd").arg(i, 5, 10, QChar('0'))).constData()) != 0)
            return state.SkipWithError("cannot make the files");
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.path());
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        ZDataList page;
        page.resize(1366, 768);
        page.show();
        auto* view = page.findChild<QTreeView*>("treeView");
        while (view->model()->rowCount(view->rootIndex()) < 10000 && clock.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        page.repaint();
        state.SetIterationTime(clock.elapsed() / 1000.0);
        const auto stateShown = [view](int row) { return view->model()->index(row, 2, view->rootIndex()).data().toString() != QStringLiteral("…"); };
        while (!(stateShown(0) && stateShown(29)) && clock.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        state.counters["first_states_ms"] = clock.elapsed();
        state.counters["rows"] = view->model()->rowCount(view->rootIndex());
        // A name typed into the filter hides all but ten rows, and taking it away brings them back.
        auto* filter = page.findChild<QLineEdit*>("lineEditTextFilter");
        QElapsedTimer typed;
        typed.start();
        filter->setText("run-0001");
        page.repaint();
        state.counters["filter_ms"] = typed.elapsed();
        typed.restart();
        filter->clear();
        page.repaint();
        state.counters["unfilter_ms"] = typed.elapsed();
    }
    QDir::setCurrent(before);
}
BENCHMARK(BM_DataPageTenThousand)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}

TAMARIN_OFFSCREEN_BENCHMARK_MAIN()
