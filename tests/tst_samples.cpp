#include "Synthetic.h"
#include "analysis/PlateThreshold.h"
#include "analysis/SampleResults.h"
#include "analysis/TempData.h"

#include <QtTest>

namespace {

int fam(int hole)
{
    return 2 * (hole - 1);
}

QVector<double> famCrossings(const QVector<double>& halves, double threshold)
{
    QVector<double> cts;
    for (double h : halves)
        cts << Synthetic::crossing(2500, h, 1.6, threshold);
    return cts;
}

}

class TestSamples : public QObject
{
    Q_OBJECT
private slots:
    void callsWithTheInternalControl();
    void flagsMarkWhatTheyName();
    void plateThreshold();
};

void TestSamples::callsWithTheInternalControl()
{
    OutData d = Synthetic::controlledPlate();
    QVector<SampleResult> r = SampleResults::of(d, TempData(d));
    QCOMPARE(r.size(), 3); // the internal control is no result of its own
    QCOMPARE(r[0].name, QString("甲"));
    QCOMPARE(r[0].positions, QVector<int>({3, 4, 5}));
    QCOMPARE(r[0].holes, QVector<int>({1, 2, 3})); // as every table numbers them
    QCOMPARE(r[0].positive, 3);
    QCOMPARE(r[0].n, 3);
    const QVector<double> cts = famCrossings({24.0, 24.3, 26.0}, 200);
    const double mean = (cts[0] + cts[1] + cts[2]) / 3;
    double squares = 0;
    for (double ct : cts)
        squares += (ct - mean) * (ct - mean);
    QVERIFY(std::fabs(r[0].meanCt - mean) < 0.1);
    QVERIFY(std::fabs(r[0].sdCt - std::sqrt(squares / 2)) < 0.1);
    QCOMPARE(r[0].call, QString("阳性"));
    QCOMPARE(r[1].call, QString("阴性"));
    QCOMPARE(r[1].positive, 0);
    QCOMPARE(r[1].meanCt, 0.0);
    QCOMPARE(r[2].call, QString("无效")); // its control failed in hole 10
    // ... and its remarks say so first, with the hole as the hole table numbers it.
    QCOMPARE(r[2].flags.value(0), QString("control-failed"));
    const QStringList cells = SampleResults::cells(r[2], {"FAM", "ROX"});
    const QString remark = cells.value(SampleResults::headers().indexOf("质控标记"));
    QVERIFY2(remark.startsWith(QString("内参失败（孔位 %1）").arg(d.inData.method.runningNumbers().value(10))), qPrintable(remark));
    QVERIFY(cells.last().split(',').contains("10") || cells.last().contains("-")); // its positions last

    d.runComplete = false;
    r = SampleResults::of(d, TempData(d));
    QCOMPARE(r[0].call, QString("阳性"));
    QCOMPARE(r[1].call, QString("未完成"));
    QCOMPARE(r[2].call, QString("未完成"));

    // Without a target named as the internal control, ROX is a target like any other.
    d = Synthetic::controlledPlate();
    for (TargetInfos& t : d.inData.method.holeTargets)
        t.set(1, Synthetic::target("RNase P", 200), true);
    r = SampleResults::of(d, TempData(d));
    QCOMPARE(r.size(), 6);
    QCOMPARE(r[4].target, QString("靶标"));
    QCOMPARE(r[4].call, QString("阴性"));
    QCOMPARE(r[5].target, QString("RNase P"));
    QCOMPARE(r[5].positive, 2);
    QCOMPARE(r[5].call, QString("阳性"));
}

void TestSamples::flagsMarkWhatTheyName()
{
    OutData d = Synthetic::controlledPlate();
    // Hole 4 holds a second product melting at 87; hole 5 melts at 83.5 and crosses two cycles late.
    for (int k = 0; k < 71; ++k)
        d.pdLines[fam(4)][40 + k].ry() += 800 / (1 + std::exp((60 + 0.5 * k - 87) / 0.5));
    d.pdLines[fam(5)] = Synthetic::amplification(40, 2500, 26.0, 1.6, 5) + Synthetic::melt(60, 71, 83.5, 2000, 0.5, 41);
    // Hole 6 still rises at the end, hole 7 crosses beyond its target's cut-off, hole 8 is noisy
    // and hole 9 drifts.
    const Curve noMelt = Synthetic::melt(60, 71, 81, 0, 0.5, 41);
    // (in its exponential phase: a curve past the middle of its rise is bending into its plateau)
    d.pdLines[fam(6)] = Synthetic::amplification(40, 20000, 42.0, 1.6, 6) + noMelt;
    d.pdLines[fam(7)] = Synthetic::amplification(40, 2500, 30.0, 1.6, 7) + noMelt;
    TargetInfo cutOff = Synthetic::target("靶标", 200);
    cutOff.CtThreshold = 25;
    d.setTargetInfo(cutOff, fam(7), true);
    d.pdLines[fam(8)] = Synthetic::amplification(40, 0, 0, 1.6, 8, 500, 1.5, 60) + noMelt;
    d.pdLines[fam(9)] = Synthetic::amplification(40, 0, 0, 1.6, 9, 500, 8, 3) + noMelt;
    const TempData r(d);
    QCOMPARE(r.flags[fam(3)], QStringList());
    QCOMPARE(r.meltPeaks[fam(3)].size(), 1);
    QCOMPARE(r.flags[fam(4)], QStringList({"second-peak"}));
    QCOMPARE(r.meltPeaks[fam(4)].size(), 2);
    QVERIFY(std::fabs(r.meltPeaks[fam(4)][0] - 81) < 0.3 && std::fabs(r.meltPeaks[fam(4)][1] - 87) < 0.3);
    QCOMPARE(r.flags[fam(5)], QStringList({"replicate-outlier", "tm-shift"}));
    QCOMPARE(r.flags[fam(6)], QStringList({"no-plateau"}));
    QCOMPARE(r.flags[fam(7)], QStringList({"late-ct"}));
    QVERIFY(!r.positives[fam(7)]);
    QCOMPARE(r.flags[fam(8)], QStringList({"noisy-baseline"}));
    QCOMPARE(r.flags[fam(9)], QStringList({"drift"}));
    QCOMPARE(r.flags[fam(11)], QStringList());
    // A sample carries its replicates' flags.
    QCOMPARE(SampleResults::of(d, r)[0].flags, QStringList({"second-peak", "replicate-outlier", "tm-shift"}));
}

// Ten holes with a plate-wide FAM threshold, baseline noise uniform in +-6 (SD 3.46).
void TestSamples::plateThreshold()
{
    auto record = [](const QMap<int, double>& amplitudes) {
        OutData d = Synthetic::experiment(40, false);
        TargetInfo plateWide = Synthetic::target("靶标", 200);
        plateWide.AutoThreshold = 2;
        plateWide.End = 12; // ends before the rise's foot, so the plateaus come out whole
        for (int h = 3; h <= 12; ++h) {
            d.setTargetInfo(plateWide, fam(h), true);
            d.pdLines[fam(h)] = Synthetic::amplification(40, amplitudes.value(h, 0), 22, 1.6, quint32(h), 500, 1.5, 6);
        }
        return d;
    };
    auto plate = [&record](const QMap<int, double>& amplitudes) { return TempData(record(amplitudes)); };
    // A fifth of the median plateau (2000).
    TempData r = plate({{3, 1000}, {4, 2000}, {5, 3000}});
    QVERIFY(std::fabs(r.targets[fam(3)].Threshold - 400) < 8);
    QCOMPARE(r.targets[fam(12)].Threshold, r.targets[fam(3)].Threshold);
    QCOMPARE(r.targets[fam(3) + 1].Threshold, 200.0); // ROX keeps its own
    // Half the weakest clear positive, so that it keeps its Ct.
    r = plate({{3, 300}, {4, 2000}, {5, 2500}});
    QVERIFY(std::fabs(r.targets[fam(3)].Threshold - 150) < 5);
    QVERIFY(r.positives[fam(3)] && r.ctValues[fam(3)] > 0);
    // Without positives: ten times the pooled noise.
    r = plate({});
    QVERIFY2(std::fabs(r.targets[fam(3)].Threshold - 34.6) < 5, qPrintable(QString::number(r.targets[fam(3)].Threshold)));
    QVERIFY(!r.positives.contains(true));

    // Readings that are no number in one curve: that curve is called nothing and flagged, and
    // the channel keeps the threshold and the positives it had.
    const TempData clean = plate({{3, 1000}, {4, 2000}, {5, 3000}});
    OutData d = record({{3, 1000}, {4, 2000}, {5, 3000}});
    d.pdLines[fam(6)][5].setY(qQNaN());
    d.pdLines[fam(6)][25].setY(qInf());
    r = TempData(d);
    QCOMPARE(r.flags[fam(6)], QStringList({"bad-reading"}));
    QVERIFY(!r.positives[fam(6)] && r.ctValues[fam(6)] == 0);
    QCOMPARE(r.targets[fam(3)].Threshold, clean.targets[fam(3)].Threshold);
    for (int h : {3, 4, 5})
        QCOMPARE(r.ctValues[fam(h)], clean.ctValues[fam(h)]);
    for (const QPointF& p : r.relativeLines[fam(6)])
        QVERIFY(std::isfinite(p.y()));
}

QTEST_GUILESS_MAIN(TestSamples)
#include "tst_samples.moc"
