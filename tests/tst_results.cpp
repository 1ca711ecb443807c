#include "Synthetic.h"
#include "analysis/TempData.h"

#include <QtTest>

namespace {

// A corrected curve of 40 flat points with the given values spliced in.
Curve flatWith(QMap<int, double> values, double level = 0)
{
    Curve c;
    for (int x = 1; x <= 40; ++x)
        c.append(QPointF(x, values.value(x, level)));
    return c;
}

}

class TestResults : public QObject
{
    Q_OBJECT
private slots:
    void ctMatchesTheBuiltInCrossing();
    void negativesAndShortCurves();
    void borderIsStrict();
    void ctInterpolation();
    void ctCutOff();
    void withdrawnPositive();
    void automaticThreshold();
    void settingsGoBackIntoTheMethod();
    void damagedRecordsAnalyseWithoutCrash();
};

void TestResults::ctMatchesTheBuiltInCrossing()
{
    OutData d = Synthetic::experiment(40, false);
    const double threshold = 200;
    const QVector<double> halves = {22.0, 25.5, 28.6, 31.1};
    for (int i = 0; i < halves.size(); ++i)
        d.pdLines[2 * (i + 2)] = Synthetic::amplification(40, 2500, halves[i], 1.6, quint32(10 + i));
    for (int h = 0; h < 26; ++h)
        d.pdLines[2 * h + 1] = Synthetic::amplification(40, 0, 0, 1, quint32(100 + h));
    // Half of the holes use the automatic window.
    for (int h = 4; h < 6; ++h)
        d.inData.method.holeTargets[h].AutoRange[0] = 1;
    const TempData r(d);
    QCOMPARE(r.ctValues.size(), 52);
    for (int i = 0; i < halves.size(); ++i) {
        const int s = 2 * (i + 2);
        const double expected = Synthetic::crossing(2500, halves[i], 1.6, threshold);
        QVERIFY2(r.positives[s], qPrintable(QString("curve %1").arg(s)));
        QVERIFY2(std::fabs(r.ctValues[s] - expected) < 0.3,
                 qPrintable(QString("curve %1: Ct %2, built in %3").arg(s).arg(r.ctValues[s]).arg(expected)));
        QCOMPARE(r.targets[s].Threshold, threshold);
        // The corrected curve starts near zero: baseline and drift are gone.
        QVERIFY(std::fabs(r.relativeLines[s][5].y()) < 10);
    }
    for (int h = 0; h < 26; ++h) {
        QVERIFY(!r.positives[2 * h + 1]);
        QCOMPARE(r.ctValues[2 * h + 1], 0.0);
    }
    QVERIFY(r.originMeltLines[4].isEmpty() && r.tmValues[4] == 0);
}

void TestResults::negativesAndShortCurves()
{
    OutData d = Synthetic::experiment(40, false);
    d.pdLines[0] = {QPointF(1, 300), QPointF(2, 500)};
    d.pdLines[1] = Synthetic::amplification(40, 3000, 20, 1.5, 1);
    d.inData.method.holeTargets[0].End[1] = 41; // manual window past the readings
    d.pdLines[2] = Synthetic::amplification(15, 3000, 8, 1, 2);
    d.inData.method.holeTargets[1].AutoRange[0] = 1;
    const TempData r(d);
    QVERIFY(!r.positives[0]);
    QCOMPARE(r.ctValues[0], 0.0);
    QCOMPARE(r.relativeLines[0], Curve({QPointF(1, 3), QPointF(2, 5)}));
    QVERIFY(!r.positives[1]);
    QCOMPARE(r.ctValues[1], 0.0);
    QCOMPARE(r.relativeLines[1][10].y(), d.pdLines[1][10].y() / 100);
    QVERIFY(!r.positives[2]);
    QCOMPARE(r.ctValues[2], 0.0);
    QCOMPARE(r.targets[2].Start, 3); // 15 readings: the automatic window is not applied
    // No raw series at all for a curve index: negative, empty display line.
    d.pdLines.resize(10);
    const TempData partial(d);
    QVERIFY(!partial.positives[40]);
    QVERIFY(partial.relativeLines[40].isEmpty());
}

void TestResults::borderIsStrict()
{
    OutData d = Synthetic::experiment(20, false);
    Curve c;
    // Window 3..14 at 500; the last six rise (a step on the line would be taken out) to a mean of 600.
    const double rise[] = {25, 50, 75, 100, 150, 200};
    for (int x = 1; x <= 20; ++x)
        c.append(QPointF(x, x > 14 ? 500 + rise[x - 15] : 500));
    d.pdLines[0] = c;
    TargetInfo t = Synthetic::target("x", 50);
    t.End = 14; // window: readings 4 to 14, all at 500
    QVERIFY(!d.getPositive(0, t)); // rise 100 is not above border 100
    t.BorderThreshold = 99.9;
    QVERIFY(d.getPositive(0, t));
    t.End = 20; // the window must end before the last reading
    QVERIFY(!d.getPositive(0, t));
}

void TestResults::ctInterpolation()
{
    const OutData d;
    TargetInfo t = Synthetic::target("x", 100);
    t.BorderThreshold = 100;
    const Curve crossing = flatWith({{19, 80}, {20, 120}, {21, 400}, {22, 400}});
    QCOMPARE(d.getCtValue(0, true, crossing, t), 19.5);
    QCOMPARE(d.getCtValue(0, false, crossing, t), 0.0);
    // A crossing holds for three readings: a lone reading or two above the threshold is none.
    QCOMPARE(d.getCtValue(0, true, flatWith({{19, 80}, {20, 120}, {21, 400}, {30, 150}, {31, 150}, {32, 150}}), t),
             29 + 100.0 / 150);
    // The first point above the threshold sits at index e - 2 (second point searched): no Ct.
    QCOMPARE(d.getCtValue(0, true, flatWith({{14, 150}, {15, 150}, {16, 150}, {30, 400}}), t), 0.0);
    // The curve never rises above the border.
    t.BorderThreshold = 500;
    QCOMPARE(d.getCtValue(0, true, crossing, t), 0.0);
    // Too short a curve.
    t.BorderThreshold = 100;
    QCOMPARE(d.getCtValue(0, true, flatWith({{10, 400}}).mid(0, 15), t), 0.0);
}

void TestResults::ctCutOff()
{
    OutData d = Synthetic::experiment(40, false);
    d.pdLines[0] = Synthetic::amplification(40, 2500, 31.5, 1.6, 5);
    const TempData open(d);
    const double ct = open.ctValues[0];
    QVERIFY(open.positives[0] && ct > 26.5 && ct < 29);
    d.inData.method.holeTargets[0].CtThreshold[0] = 27.0;
    // The Ct cut-off field is also the floor the corrected curve must keep after the Ct; a curve
    // that has risen to thousands keeps it easily.
    const TempData capped(d);
    QVERIFY(!capped.positives[0]);
    QCOMPARE(capped.ctValues[0], ct);
}

void TestResults::withdrawnPositive()
{
    OutData d = Synthetic::experiment(40, false);
    Curve c = Synthetic::amplification(40, 2500, 20, 1.5, 9);
    // Collapses over four readings after rising (a one-reading step would be taken out): the
    // corrected curve falls below the cut-off.
    for (int i = 30; i < 40; ++i)
        c[i].ry() -= 2400 * qMin(1.0, (i - 29) / 4.0);
    d.pdLines[0] = c;
    d.inData.method.holeTargets[0].CtThreshold[0] = 500;
    const TempData r(d);
    QVERIFY(!r.positives[0]);
    QCOMPARE(r.ctValues[0], 0.0);
    QCOMPARE(r.relativeLines[0].size(), 40);
    QCOMPARE(r.relativeLines[0], d.getRelativeLine(0, false, r.targets[0]));
    // That display form: raw / 1000 with a running median of three; the last two points keep
    // their own value.
    d.pdLines[0].clear();
    for (double y : {1000, 3000, 2000, 5000, 4000, 500, 7000})
        d.pdLines[0].append(QPointF(d.pdLines[0].size() + 1, y));
    QVector<double> display;
    for (const QPointF& p : d.getRelativeLine(0, false, r.targets[0]))
        display << p.y();
    QCOMPARE(display, QVector<double>({2, 3, 4, 4, 4, 0.5, 7}));
}

void TestResults::automaticThreshold()
{
    OutData d = Synthetic::experiment(40, false);
    d.pdLines[0] = Synthetic::amplification(40, 0, 0, 1, 1, 500, 0, 0);
    d.pdLines[1] = Synthetic::amplification(40, 0, 0, 1, 2, 500, 0, 2.0);
    TargetInfo t = Synthetic::target("x", 100);
    t.AutoThreshold = 1;
    QCOMPARE(d.getThresholdValue(0, t), 4.0); // equal values: 10 x 0.4
    const double noisy = d.getThresholdValue(1, t);
    QVERIFY(noisy > 5 && noisy < 20);
    t.End = 41;
    QCOMPARE(d.getThresholdValue(0, t), 4.0);
    t.AutoThreshold = 0;
    QCOMPARE(d.getThresholdValue(0, t), 100.0);
}

void TestResults::settingsGoBackIntoTheMethod()
{
    OutData d = Synthetic::experiment(40, false);
    TargetInfo t = Synthetic::target("new", 321);
    d.setTargetInfo(t, 7, false);
    QCOMPARE(d.inData.method.holeTargets[3].Threshold[1], 321.0);
    QCOMPARE(d.inData.method.holeTargets[3].names[1], QString("IC"));
    d.setTargetInfo(t, 7, true);
    QCOMPARE(d.targetOf(7), t);
    d.setTargetInfo(t, 9999, true); // beyond the chip: ignored
    QCOMPARE(d.inData.method.holeTargets.size(), 26);
}

void TestResults::damagedRecordsAnalyseWithoutCrash()
{
    OutData d = Synthetic::experiment(40, true);
    for (int i = 0; i < d.pdLines.size(); ++i)
        d.pdLines[i] = Synthetic::amplification(111, 2000, 25, 1.5, quint32(i));
    // Under AddressSanitizer this loop is first a crash and overflow detector; beyond that, a
    // record within the limits keeps one result per curve and one beyond them yields none.
    QRandomGenerator rng(3);
    for (int round = 0; round < 200; ++round) {
        OutData bad = d;
        SMethod& m = bad.inData.method;
        int curves = 52;
        switch (round % 6) {
        case 0:
            m.Hole = int(rng.bounded(2000));
            curves = m.Hole <= 1000 ? 2 * m.Hole : 0;
            break;
        case 1:
            m.ChannelColor = -int(rng.bounded(5));
            curves = 0;
            break;
        case 2: m.Flow.steps[0].CycleCount = int(rng.bounded(300)) - 150; break;
        case 3: m.holeTargets[int(rng.bounded(26))].Start[0] = int(rng.bounded(200)) - 100; break;
        case 4: m.Flow.steps[1].NodeList[0].Temp = rng.generateDouble() * 1e12; break;
        case 5: bad.pdLines[int(rng.bounded(52))][int(rng.bounded(111))].setX(qQNaN()); break;
        }
        const TempData r(bad);
        QCOMPARE(r.ctValues.size(), curves);
        QCOMPARE(r.positives.size(), curves);
    }
}

QTEST_GUILESS_MAIN(TestResults)
#include "tst_results.moc"
