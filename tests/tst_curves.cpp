#include "Synthetic.h"

#include <QtTest>

namespace {
Curve line(int n, double slope, double intercept)
{
    Curve c;
    for (int x = 1; x <= n; ++x)
        c.append(QPointF(x, slope * x + intercept));
    return c;
}
}

class TestCurves : public QObject
{
    Q_OBJECT
private slots:
    void cycleLineCut();
    void differences();
    void extremes();
    void smoothRemovesSteps();
    void automaticWindow();
    void baseLineAndLinearFit();
    void standardDeviation();
    void spline();
};

void TestCurves::cycleLineCut()
{
    OutData d = Synthetic::experiment(40, true);
    d.pdLines[0] = line(111, 1, 0);
    d.pdLines[1] = line(30, 1, 0);
    QCOMPARE(d.getCycleLine(0).size(), 40);
    QCOMPARE(d.getCycleLine(0).last(), QPointF(40, 40));
    QCOMPARE(d.getCycleLine(1).size(), 30);
    QVERIFY(d.getCycleLine(999).isEmpty());
    d.inData.method.Flow.steps.clear(); // no cycle stage: 40
    QCOMPARE(d.getCycleLine(0).size(), 40);
}

void TestCurves::differences()
{
    const OutData d;
    QCOMPARE(d.firstDerivative({QPointF(1, 5)}), Curve({QPointF(1, 5)}));
    QVERIFY(d.firstDerivative({}).isEmpty());
    const Curve c = {QPointF(1, 1), QPointF(2, 4), QPointF(3, 9), QPointF(4, 16), QPointF(5, 25)};
    QCOMPARE(d.firstDerivative(c), Curve({QPointF(1, 3), QPointF(2, 5), QPointF(3, 7), QPointF(4, 9)}));
    QCOMPARE(d.secondDerivative(c), Curve({QPointF(1, 2), QPointF(2, 2), QPointF(3, 2)}));
    QCOMPARE(d.thirdDerivative(c), Curve({QPointF(1, 0), QPointF(2, 0)}));
    const Curve cubic = {QPointF(1, 1), QPointF(2, 8), QPointF(3, 27), QPointF(4, 64), QPointF(5, 125)};
    QCOMPARE(d.thirdDerivative(cubic), Curve({QPointF(1, 6), QPointF(2, 6)}));
    QCOMPARE(d.absPointF({QPointF(1, -2), QPointF(2, 3)}), Curve({QPointF(1, 2), QPointF(2, 3)}));
    QCOMPARE(d.negativeLine({QPointF(3, 250)}), Curve({QPointF(3, 2.5)}));
}

void TestCurves::extremes()
{
    const OutData d;
    const Curve c = {QPointF(1, 5), QPointF(2, 9), QPointF(3, 1), QPointF(4, 9), QPointF(5, 1)};
    QCOMPARE(d.maxPointF(c, 0), QPointF(2, 9));
    QCOMPARE(d.minPointF(c, 0), QPointF(3, 1));
    QCOMPARE(d.maxPointF(c, 3), QPointF(4, 9));
    QCOMPARE(d.maxPointF(c, 5), QPointF(0, 0));
    QCOMPARE(d.minPointF(c, 99), QPointF(0, 0));
}

void TestCurves::smoothRemovesSteps()
{
    const OutData d;
    const Curve straight = line(30, 2.5, 100);
    QCOMPARE(d.smooth(straight, 20), straight);
    for (int j : {1, 5, 20, 24}) {
        for (double h : {300.0, -150.0}) {
            Curve c;
            for (int x = 1; x <= 30; ++x)
                c.append(QPointF(x, 500 + (x - 1 > j ? h : 0)));
            const Curve s = d.smooth(c, 20);
            for (int i = 0; i < s.size(); ++i)
                QVERIFY2(qFuzzyCompare(s[i].y(), 500.0), qPrintable(QString("j %1 h %2 i %3").arg(j).arg(h).arg(i)));
        }
    }
    // A jump at or below the limit stays.
    Curve small = line(30, 0, 500);
    for (int i = 10; i < 30; ++i)
        small[i].ry() += 10;
    QCOMPARE(d.smooth(small, 20), small);
    // Jumps close together build on each other's shifts; no jump is judged within the last six
    // points, so the tail keeps the shifts it has (worked out by hand, jump by jump).
    Curve close;
    for (double y : {10, 12, 15, 40, 18, 22, 25, 90, 30, 33, 36, 40})
        close.append(QPointF(close.size() + 1, y));
    QVector<double> smoothed;
    for (const QPointF& p : d.smooth(close, 20))
        smoothed << p.y();
    QCOMPARE(smoothed, QVector<double>({10, 12, 14, 16, 18, 20, 22, 24, -36, -33, -30, -26}));
    // Readings on the instrument's 0.1 grid with jumps: each offset taken from the points as
    // already corrected and added to every later point, in that order, to the last bit, since
    // the window search breaks ties between equal derivatives by it.
    Curve quantised;
    for (int x = 1; x <= 40; ++x)
        quantised.append(QPointF(x, std::round(10 * (503.7 + 0.3 * x + (x % 7 == 0 ? 61.9 : 0) + (x > 25 ? 118.3 : 0))) / 10));
    Curve stepwise = quantised;
    const Curve d3 = d.thirdDerivative(quantised);
    int jumps = 0;
    for (int q = 0; q + 3 < d3.size(); ++q)
        if (std::fabs(d3[q].y()) > 20) {
            ++jumps;
            const double offset = 2 * stepwise[q + 1].y() - (stepwise[q].y() + stepwise[q + 2].y());
            for (int i = q + 2; i < stepwise.size(); ++i)
                stepwise[i].ry() += offset;
        }
    QVERIFY(jumps > 5);
    const Curve restored = d.smooth(quantised, 20);
    for (int i = 0; i < restored.size(); ++i)
        QVERIFY2(restored[i].y() == stepwise[i].y(), qPrintable(QString::number(i)));
    // Two million readings that jump at every point: one pass, where shifting the rest after
    // each jump took hours.
    Curve noisy;
    noisy.reserve(2'000'000);
    for (int x = 1; x <= 2'000'000; ++x)
        noisy.append(QPointF(x, x % 2 ? 500 : 600));
    const Curve flat = d.smooth(noisy, 20);
    QCOMPARE(flat.size(), noisy.size());
    QCOMPARE(flat[1].y(), 600.0);
}

void TestCurves::automaticWindow()
{
    OutData d = Synthetic::experiment(40, false);
    d.pdLines[0] = Synthetic::amplification(40, 3000, 25, 1.5, 1);
    d.pdLines[1] = Synthetic::amplification(40, 0, 0, 1, 2, 500, 0.2, 0.2);
    d.pdLines[2] = Synthetic::amplification(15, 3000, 8, 1.5, 3);
    TargetInfo manual = Synthetic::target("x", 100);
    manual.Start = 2;
    manual.End = 9;
    QCOMPARE(d.getStartEndValue(0, manual), QPoint(2, 9));
    TargetInfo automatic = manual;
    automatic.AutoRange = 1;
    QCOMPARE(d.getStartEndValue(2, automatic), QPoint(2, 9)); // 15 readings: manual window kept
    // Flat: the window reaches to n - 2.
    QCOMPARE(d.getStartEndValue(1, automatic).y(), 38);
    // Amplified: the window ends before the rise (the curve is flat to about cycle 18).
    const QPoint w = d.getStartEndValue(0, automatic);
    QVERIFY2(w.y() >= 10 && w.y() <= 21, qPrintable(QString::number(w.y())));
    QVERIFY(w.x() >= 4 && w.x() < w.y() - 3);
}

void TestCurves::baseLineAndLinearFit()
{
    const OutData d;
    const Curve c = {QPointF(1, 10), QPointF(2, 12), QPointF(3, 20), QPointF(4, 18)};
    QCOMPARE(d.baseLine(c, 0, 4), c);
    // Through index 0 (y 10) and index 2 (y 20), the indices serving as abscissae.
    QCOMPARE(d.baseLine(c, 0, 2), Curve({QPointF(1, 15), QPointF(2, 20), QPointF(3, 25), QPointF(4, 30)}));

    double k = -1, b = -1;
    QVERIFY(d.linear(line(12, 2.5, -4), k, b));
    QVERIFY(qFuzzyCompare(k, 2.5));
    QVERIFY(qFuzzyCompare(b, -4));
    QVERIFY(d.linear({QPointF(7, 42)}, k, b));
    QCOMPARE(k, 0.0);
    QCOMPARE(b, 42.0);
    // Weights 100, 99, 98: W = 297, weighted means 592/297 and 591/297; the sums carry x itself,
    // giving (in exact fractions, by hand) slope 148215/118412 and intercept -14951/29603.
    QVERIFY(d.linear({QPointF(1, 0), QPointF(2, 3), QPointF(3, 3)}, k, b));
    QVERIFY(qFuzzyCompare(k, 1.251689018004932));
    QVERIFY(qFuzzyCompare(b, -0.5050501638347464));
    // A long window keeps positive weights and still fits a line exactly.
    QVERIFY(d.linear(line(150, -1, 7), k, b));
    QVERIFY(qFuzzyCompare(k, -1));
}

void TestCurves::standardDeviation()
{
    const OutData d;
    QCOMPARE(d.getStdValue({}), -1.0);
    QCOMPARE(d.getStdValue({5, 5, 5}), 0.4);
    QVERIFY(qFuzzyCompare(d.getStdValue({2, 4, 4, 4, 5, 5, 7, 9}), std::sqrt(32.0 / 7)));
    QCOMPARE(d.getStdValue({3}), 0.4); // a one-reading window: no spread, never NaN
}

void TestCurves::spline()
{
    const OutData d;
    const Curve c = {QPointF(60.0, 100), QPointF(60.5, 140), QPointF(61.0, 120)};
    const Curve s = d.cubicInterpolation(c);
    QVERIFY(s.size() == 100 || s.size() == 101);
    QCOMPARE(s.first().x(), 60.0);
    QCOMPARE(s.first().y(), 100.0);
    QVERIFY(std::fabs(s[50].y() - 140) < 1e-6);
    QVERIFY(std::fabs(s[50].x() - 60.5) < 1e-9);
    const Curve two = {QPointF(1, 1), QPointF(2, 2)};
    QCOMPARE(d.cubicInterpolation(two), two);
    QVERIFY(d.cubicInterpolation({}).isEmpty());
    // Abscissae a damaged file might hold: not increasing, not finite, absurdly wide.
    const Curve unordered = {QPointF(3, 1), QPointF(2, 2), QPointF(4, 3)};
    QCOMPARE(d.cubicInterpolation(unordered), unordered);
    const Curve nan = {QPointF(1, 1), QPointF(qQNaN(), 2), QPointF(4, 3)};
    QCOMPARE(d.cubicInterpolation(nan).size(), 3);
    const Curve wide = {QPointF(0, 1), QPointF(1e9, 2), QPointF(2e9, 3)};
    QCOMPARE(d.cubicInterpolation(wide), wide);
}

QTEST_GUILESS_MAIN(TestCurves)
#include "tst_curves.moc"
