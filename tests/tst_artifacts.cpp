#include "ArtifactPairs.h"
#include "analysis/CurveArtifacts.h"

#include <QtTest>

// Steps and spikes as real chips give them must not make or unmake a call, nor move a Ct.
class TestArtifacts : public QObject
{
    Q_OBJECT
private slots:
    void pairsKeepTheirCalls_data();
    void pairsKeepTheirCalls();
    void shortExcursionsAreNoSteps();
    void curveEnds();
};

namespace {
// 900 + 0.5 per cycle with a fixed wobble of +-2, plus a logistic rise of `height` (none for 0)
// reaching its half at `half`, to a tenth.
Curve line(double height = 0, double half = 0, double efficiency = 1.9)
{
    Curve c;
    for (int x = 1; x <= 40; ++x) {
        const double n = std::pow(efficiency, x - half);
        const double y = 900 + 0.5 * x + 2 * std::sin(2.7 * x) + (height > 0 ? height * n / (n + 1) : 0);
        c.append(QPointF(x, std::round(y * 10) / 10));
    }
    return c;
}
}

void TestArtifacts::pairsKeepTheirCalls_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<double>("shiftedShare");
    // A threshold of ten times each curve's own baseline SD moves with the window a step or a
    // spike leaves it, and with the SD of the readings put back in place of a spike (two in a row
    // weigh more in a short window); the plate-wide one does not.
    QTest::newRow("per-curve threshold") << 1 << 0.2;
    QTest::newRow("plate-wide threshold") << 2 << 0.05;
}

void TestArtifacts::pairsKeepTheirCalls()
{
    QFETCH(int, mode);
    QFETCH(double, shiftedShare);
    // The shipped window: automatic from 3 to 15, border 100.
    const TargetInfo target{"T", mode, 100.0, 1, 3, 15, 100.0, 0.0};
    const ArtifactPairs::Figures f = ArtifactPairs::figures(20, target);
    qInfo("%d negatives, %d amplifications: clean wrong %d, false positives %d, lost %d, Ct shifted > 0.5 %d, flagged %d (clean %d)",
          f.negatives, f.amplifications, f.cleanWrong, f.falsePositives, f.lost, f.shifted, f.flagged, f.cleanFlagged);
    QCOMPARE(f.cleanWrong, 0);
    QCOMPARE(f.falsePositives, 0);
    QCOMPARE(f.lost, 0);
    QVERIFY(f.shifted < shiftedShare * f.amplifications);
    // Clean curves are hardly ever taken for disturbed ones; each disturbed one mostly is.
    QVERIFY(f.cleanFlagged < 0.01 * (f.negatives + f.amplifications));
    QVERIFY(f.flagged > 0.8 * (f.negatives + f.amplifications));
}

void TestArtifacts::shortExcursionsAreNoSteps()
{
    const TargetInfo target{"T", 2, 100.0, 1, 3, 15, 100.0, 0.0};
    OutData d = ArtifactPairs::chip(target);
    // Two low readings in a row late on a negative and early in an amplification's baseline are
    // put back, both of them, and nothing after them moves.
    Curve dip = line();
    dip[33].ry() -= 400;
    dip[34].ry() -= 350;
    const CurveArtifacts::Found found = CurveArtifacts::find(dip);
    QCOMPARE(found.spikes, QVector<int>({33, 34}));
    QVERIFY(found.jumps.isEmpty());
    for (int i = 0; i < 40; ++i)
        QVERIFY2(std::fabs(found.repaired[i].y() - line()[i].y()) < 10, qPrintable(QString::number(i)));
    d.pdLines[0] = dip;
    d.pdLines[2] = d.pdLines[4] = line(3000, 24);
    d.pdLines[4][9].ry() -= 750;
    d.pdLines[4][10].ry() -= 650;
    // A reading on the steep start of a very early rise lies between its neighbours, and a tenth
    // on a flat curve given to tenths is its last digit: neither is a spike.
    d.pdLines[6] = line(30000, 3, 1.6);
    Curve tenth;
    for (int x = 1; x <= 40; ++x)
        tenth.append(QPointF(x, x == 20 ? 500.1 : 500));
    d.pdLines[8] = tenth;
    const TempData r(d);
    QVERIFY(!r.positives[0]);
    QCOMPARE(r.ctValues[0], 0.0);
    QVERIFY(r.positives[4]);
    QVERIFY(std::fabs(r.ctValues[4] - r.ctValues[2]) < 0.1);
    QVERIFY(!r.flags[4].contains("jump"));
    QVERIFY(!r.flags[6].contains("spike"));
    QVERIFY(r.flags[8].isEmpty());
    // The dip is flagged as what it is, not also as drift, and its readings are the ones the
    // chart rings.
    QCOMPARE(r.flags[0], QStringList({"spike"}));
    QCOMPARE(r.artifacts[0], Curve({dip[33], dip[34]}));
}

void TestArtifacts::curveEnds()
{
    const TargetInfo target{"T", 0, 500.0, 1, 3, 15, 100.0, 0.0};
    OutData d = ArtifactPairs::chip(target);
    // A lone last reading far off is left alone, and so are the good readings before it; it makes
    // no crossing.
    Curve last = line();
    last[39].ry() += 1000;
    QCOMPARE(CurveArtifacts::find(last).repaired, last);
    d.pdLines[0] = last;
    // A late rise that speeds up into the last reading crosses with two readings above the
    // threshold; it and one whose rises still grow at the end have no plateau.
    d.pdLines[2] = line(4000, 43, 1.6);
    d.pdLines[4] = line(4000, 40, 1.6);
    const TempData r(d);
    QCOMPARE(r.ctValues[0], 0.0);
    QVERIFY2(r.ctValues[2] > 38 && r.ctValues[2] < 39, qPrintable(QString::number(r.ctValues[2])));
    QVERIFY(r.positives[2]);
    QVERIFY(r.ctValues[4] > 35 && r.ctValues[4] < 37);
    QVERIFY(r.flags[2].contains("no-plateau"));
    QVERIFY(r.flags[4].contains("no-plateau"));
}

QTEST_GUILESS_MAIN(TestArtifacts)
#include "tst_artifacts.moc"
