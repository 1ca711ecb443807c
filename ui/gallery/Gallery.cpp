#include "ui/gallery/Gallery.h"

#include "app/UI.h"

#include "analysis/TempData.h"
#include "ui/charts/NewMeltChart.h"
#include "ui/charts/ZOneChart.h"
#include "ui/charts/ZTimeChart.h"
#include "ui/chip/PcrChip.h"
#include "ui/chip/PcrChipGraphicsView.h"
#include "ui/dialogs/ZInputDialog.h"
#include "ui/dialogs/ZMessageBox.h"
#include "ui/editor/Coordinate.h"
#include "ui/results/CharnelColor.h"
#include "ui/results/ZTableWidget.h"

#include <QDir>
#include <QEventLoop>
#include <QTimer>
#include <QVBoxLayout>

namespace {
template <typename Chart>
Chart* curveChart(SMethod& method, const QVector<Curve>& curves, bool withScatter)
{
    auto* chart = new Chart;
    chart->setInitChart(method);
    chart->setLines(curves, withScatter);
    return chart;
}
}

Gallery::Gallery(const OutData& experiment, QWidget* parent) : QTabWidget(parent), mData(experiment)
{
    const TempData results(mData);
    SMethod& method = mData.inData.method;

    auto* chip = new PcrChip;
    chip->setMethod(method, false);
    chip->setOutData(mData, results);
    addBlock("chip", chip, QSize(1100, 300));

    auto* raw = new ZOriginChart;
    raw->setInitChart(method);
    const int cycles = method.Flow.getCycle();
    for (int x = 1; x <= cycles; ++x) {
        QVector<double> values;
        for (const Curve& c : mData.pdLines)
            values << c.value(x - 1).y();
        raw->addCycleData(x, values);
    }
    addBlock("raw", raw, QSize(900, 520));
    addBlock("relative", curveChart<ZNewChart>(method, results.relativeLines, true), QSize(900, 520));
    addBlock("melt", curveChart<OriginMeltChart>(method, results.originMeltLines, false), QSize(900, 520));
    addBlock("meltpeak", curveChart<NewMeltChart>(method, results.newMeltLines, false), QSize(900, 520));

    auto* one = new ZOneChart;
    one->setLine(results.relativeLines.value(6), results.targets.value(6).Threshold, 1);
    addBlock("single", one, QSize(700, 420));

    auto* time = new ZTimeChart;
    time->setTimeLines(mData.tempLines.value(0), mData.tempLines.value(1));
    addBlock("temperature", time, QSize(1100, 420));

    auto* table = new ZTableWidget;
    table->setInData(mData.inData);
    table->setOutData(mData);
    auto* legend = new CharnelColor;
    legend->setChannelNames(method.ChannelNames);
    auto* resultsBlock = new QWidget;
    auto* layout = new QVBoxLayout(resultsBlock);
    layout->addWidget(legend);
    layout->addWidget(table);
    addBlock("table", resultsBlock, QSize(1100, 820));

    auto* editor = new Coordinate;
    editor->setMethodFlow(method.Flow);
    addBlock("editor", editor, QSize(1100, 480));

    auto* view = new PcrChipGraphicsView;
    view->setChipSampleCount(method.SampleNumber, method.sampleHoleMap.value(0).size());
    addBlock("layout", view, QSize(660, 280));

    addDialogBlocks();

    auto* message = new ZMessageBox;
    message->setMessageInfo(UI::ReactError.arg(UI::NoAnswer.arg(1)));
    addBlock("message", message, message->size());
    auto* input = new ZInputDialog(40);
    addBlock("input", input, input->size());
}

void Gallery::addBlock(const QString& name, QWidget* block, QSize size)
{
    block->setObjectName("gallery_" + name);
    block->resize(size);
    block->setMinimumSize(size);
    addTab(block, name);
    mBlocks << qMakePair(name, block);
}

int Gallery::grabAll(const QString& folder)
{
    QDir().mkpath(folder);
    // The data page's file list is gathered by a worker thread.
    QEventLoop settle;
    QTimer::singleShot(500, &settle, &QEventLoop::quit);
    settle.exec();
    int written = 0;
    for (const auto& block : mBlocks) {
        setCurrentWidget(block.second);
        block.second->adjustSize();
        block.second->resize(block.second->minimumSize());
        if (!block.second->grab().save(QDir(folder).filePath(block.first + ".png")))
            return -1;
        ++written;
    }
    return written;
}
