#include "Synthetic.h"
#include "analysis/TempData.h"

#include <QtTest>

namespace {
// A peak curve every 0.01 degC from 60, with Gaussian peaks of given centre and height.
Curve peaks(QVector<QPair<double, double>> list, int points = 3500)
{
    Curve c;
    for (int i = 0; i < points; ++i) {
        const double t = 60 + 0.01 * i;
        double y = 0;
        for (const auto& p : list)
            y += p.second * std::exp(-(t - p.first) * (t - p.first) / 2);
        c.append(QPointF(t, y));
    }
    return c;
}
}

class TestMelt : public QObject
{
    Q_OBJECT
private slots:
    void meltAndPeakCurves();
    void tmOfRealisticMelts_data();
    void tmOfRealisticMelts();
    void peakRules();
    void meltFromAHalfDegree();
};

void TestMelt::meltAndPeakCurves()
{
    OutData d = Synthetic::experiment(40, true);
    d.pdLines[0] = Synthetic::amplification(40, 0, 0, 1, 1);
    d.pdLines[1] = Synthetic::amplification(40, 0, 0, 1, 1) + Synthetic::melt(60, 71, 80, 2000, 1, 41);
    QVERIFY(d.getOriginMeltLine(0).isEmpty());
    QVERIFY(d.getNewMeltLine(0).isEmpty());
    QCOMPARE(d.getTmPointF(0, d.getNewMeltLine(0)), QPointF(0, 0));
    const Curve melt = d.getOriginMeltLine(1);
    QCOMPARE(melt.size(), 71);
    QCOMPARE(melt.first().x(), 60.0);
    QCOMPARE(melt.last().x(), 95.0);
    QCOMPARE(melt[3].y(), d.pdLines[1][43].y());
    const Curve peak = d.getNewMeltLine(1);
    QVERIFY(peak.size() == 3499 || peak.size() == 3500);
    QCOMPARE(peak.first().x(), 60.0);
    // A melt stage written from the warm end starts at the cooler temperature too.
    d.inData.method.Flow.steps[1].NodeList = {{5, 95.0, false}, {5, 60.0, false}};
    QCOMPARE(d.getOriginMeltLine(1).first().x(), 60.0);
}

void TestMelt::tmOfRealisticMelts_data()
{
    QTest::addColumn<double>("tm");
    QTest::addColumn<double>("width");
    QTest::newRow("80.0") << 80.0 << 1.0;
    QTest::newRow("72.3") << 72.3 << 0.8;
    QTest::newRow("86.75") << 86.75 << 1.2;
    QTest::newRow("65.1") << 65.1 << 1.0;
}

void TestMelt::tmOfRealisticMelts()
{
    QFETCH(double, tm);
    QFETCH(double, width);
    OutData d = Synthetic::experiment(40, true);
    for (int s = 0; s < 52; ++s)
        d.pdLines[s] = Synthetic::amplification(40, 0, 0, 1, quint32(s)) + Synthetic::melt(60, 71, tm, 2000, width, 41);
    const TempData r(d);
    QVERIFY2(std::fabs(r.tmValues[0] - tm) < 0.05, qPrintable(QString("Tm %1 for %2").arg(r.tmValues[0]).arg(tm)));
    QCOMPARE(r.tmValues[51], r.tmValues[0]);
    QCOMPARE(r.originMeltLines[0].size(), 71);
    // The same melt too weak to reach 100 units per degree: no Tm. Height = 2000 / (4 width) + 4.
    const double scale = 99.9 / (2000 / (4 * width) + 4);
    for (int s = 0; s < 2; ++s)
        for (int i = 40; i < 111; ++i)
            d.pdLines[s][i].ry() *= scale;
    const TempData weak(d);
    QCOMPARE(weak.tmValues[0], 0.0);
}

void TestMelt::peakRules()
{
    const OutData d;
    QCOMPARE(d.getTmPointF(0, peaks({{80, 500}})).x(), 80.0);
    QCOMPARE(d.getTmPointF(0, peaks({{80, 500}}, 239)), QPointF(0, 0));
    // Two peaks of equal height: the cooler one.
    QCOMPARE(d.getTmPointF(0, peaks({{70, 500}, {85, 500}})).x(), 70.0);
    // Below 100 units per degree.
    QCOMPARE(d.getTmPointF(0, peaks({{80, 99.9}})), QPointF(0, 0));
    QCOMPARE(d.getTmPointF(0, peaks({{80, 100}})).x(), 80.0);
    // One dip in the half degree before the top.
    Curve dip = peaks({{80, 500}});
    dip[1980 - 20].ry() -= 5;
    QCOMPARE(d.getTmPointF(0, dip), QPointF(0, 0));
    // The highest point within 0.8 degC of the start is passed over; the curve still rises toward
    // the margin there, so the point tested fails its flank.
    QCOMPARE(d.getTmPointF(0, peaks({{60.3, 800}})), QPointF(0, 0));
    // A real peak inside beats a higher one in the margin.
    Curve margin = peaks({{75, 400}});
    for (QPointF& p : margin)
        p.ry() += 900 * std::exp(-(p.x() - 60.2) * (p.x() - 60.2) / 0.02);
    QCOMPARE(d.getTmPointF(0, margin).x(), 75.0);
}

void TestMelt::meltFromAHalfDegree()
{
    // Bounds 72.5 and 84: the run list plays 72.0, 72.5, ..., 84.0 (25 readings), and the melt
    // curve carries those temperatures, not half a degree more.
    OutData d = Synthetic::experiment(40, true, 72.5, 84.0);
    for (int s = 0; s < 52; ++s)
        d.pdLines[s] = Synthetic::amplification(40, 0, 0, 1, quint32(s)) + Synthetic::melt(72.0, 25, 81.5, 2000, 0.8, 41);
    const TempData r(d);
    QCOMPARE(r.originMeltLines[0].first().x(), 72.0);
    QCOMPARE(r.originMeltLines[0].last().x(), 84.0);
    QVERIFY2(std::fabs(r.tmValues[0] - 81.5) < 0.05, qPrintable(QString::number(r.tmValues[0])));
}

QTEST_GUILESS_MAIN(TestMelt)
#include "tst_melt.moc"
