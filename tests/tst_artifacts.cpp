#include "ArtifactPairs.h"

#include <QtTest>

// Steps and spikes as real chips give them must not make or unmake a call, nor move a Ct.
class TestArtifacts : public QObject
{
    Q_OBJECT
private slots:
    void pairsKeepTheirCalls_data();
    void pairsKeepTheirCalls();
};

void TestArtifacts::pairsKeepTheirCalls_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<double>("shiftedShare");
    // A threshold of ten times each curve's own baseline SD moves with the window a step or a
    // spike leaves it; the plate-wide one does not.
    QTest::newRow("per-curve threshold") << 1 << 0.15;
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

QTEST_GUILESS_MAIN(TestArtifacts)
#include "tst_artifacts.moc"
