#include "Synthetic.h"
#include "instrument/RunRecorder.h"
#include "instrument/StatusLine.h"

#include <QtTest>

namespace {
ConnectData report(unsigned int type, int cycle, int melt, int residue, double up = -1, double down = -1,
                   QVector<double> values = {})
{
    ConnectData d;
    d.dataType = type;
    d.pcrIndex = 1;
    d.cycle = cycle;
    d.meltStep = melt;
    d.residueCount = residue;
    d.totalCount = 100;
    d.upTemp = up;
    d.downTemp = down;
    d.pdValues = values;
    return d;
}
}

class TestReports : public QObject
{
    Q_OBJECT
private slots:
    void statusLines();
    void recording();
};

void TestReports::statusLines()
{
    SMethod m = Synthetic::experiment(40, true).inData.method; // 40 cycles, melt 60-95: 71 readings
    QCOMPARE(statusLine(m, report(1, 12, 0, 75, 95.004, 59.996)),
             QString("温度(红)：95.00℃  温度(绿)：60.00℃  循环：12/40 溶解步骤：0/71  剩余时间：00:01:15  进度：25.00%  "));
    m.Flow.steps.removeLast();
    QCOMPARE(statusLine(m, report(1, 3, 0, 50, 60, 60)),
             QString("温度(红)：60.00℃  温度(绿)：60.00℃  循环：3/40  剩余时间：00:00:50  进度：50.00%  "));
    m.Flow.steps = {Synthetic::stage(Step::STEP_MELT, 0, {{5, 70.0, false}, {5, 80.0, false}})};
    QCOMPARE(statusLine(m, report(1, 0, 4, 0, 72, 72)),
             QString("温度(红)：72.00℃  温度(绿)：72.00℃  溶解步骤：4/21  剩余时间：00:00:00  进度：100.00%  "));
    m.Flow.steps = {Synthetic::stage(Step::STEP_CONSTANT, 1, {{30, 50.0, false}})};
    QCOMPARE(statusLine(m, report(1, 0, 0, 100, 25, 25)),
             QString("温度(红)：25.00℃  温度(绿)：25.00℃  剩余时间：00:01:40  进度：0.00%  "));
    // At a demo pace of 100 ms a step the same 100 steps take 10 s.
    QVERIFY(statusLine(m, report(1, 0, 0, 100, 25, 25), 100).contains("剩余时间：00:00:10"));
    // Before the first report: nothing done, the whole run ahead; nothing for a plain program.
    QCOMPARE(initialStatusLine(m), QString());
    m.Flow.steps.append(Synthetic::stage(Step::STEP_CYCLE, 2, {{5, 60.0, true}}));
    // A heater not read yet shows a dash, never a temperature.
    QVERIFY(initialStatusLine(m).startsWith("温度(红)：-  温度(绿)：-  循环：0/2  剩余时间："));
}

void TestReports::recording()
{
    RunRecorder recorder(4);
    recorder.addReport(report(0, 0, 0, 99, -1, -1, {1, 2, 3, 4}));    // initial reading: not a point
    recorder.addReport(report(1, 0, 0, 98, 25.5, 24.5));             // 2 s into the run
    recorder.addReport(report(1, 0, 0, 97, -1.0, 30));               // a failed reading: skipped
    recorder.addReport(report(1, 0, 0, 96, 121, 30));                // out of range: skipped
    recorder.addReport(report(2, 1, 0, 90, -1, -1, {10, 11, 12, 13})); // cycle 1
    recorder.addReport(report(2, 2, 0, 80, -1, -1, {20, 21, 22}));      // a short reading: what came
    recorder.addReport(report(2, 2, 1, 70, -1, -1, {30, 31, 32, 33, 34})); // first melt reading: x 3
    OutData data;
    data.reserved = 7;
    recorder.fill(data);
    QCOMPARE(data.reserved, 0.0);
    QCOMPARE(data.tempLines, QVector<Curve>({{QPointF(2, 25.5)}, {QPointF(2, 24.5)}}));
    QCOMPARE(data.pdLines.size(), 4);
    QCOMPARE(data.pdLines[0], Curve({QPointF(1, 10), QPointF(2, 20), QPointF(3, 30)}));
    QCOMPARE(data.pdLines[3], Curve({QPointF(1, 13), QPointF(3, 33)}));
}

QTEST_GUILESS_MAIN(TestReports)
#include "tst_reports.moc"
