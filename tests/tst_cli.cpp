#include "CliRunner.h"
#include "Synthetic.h"
#include "TestDir.h"
#include "app/ZGLOBAL.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

class TestCli : public QObject
{
    Q_OBJECT
private slots:
    void plan();
    void analyzeShowsTheBuiltInResults();
    void errors();
};

void TestCli::plan()
{
    const CliResult r = runCli({"plan", TAMARIN_SOURCE_DIR "/methods/full-40-cycles-melt.json"});
    QCOMPARE(r.code, 0);
    QVERIFY(r.out.contains("steps: 4313\n"));
    QVERIFY(r.out.contains("time: 01:11:53\n"));
    const CliResult steps = runCli({"plan", "--steps", TAMARIN_SOURCE_DIR "/methods/full-40-cycles-melt.json"});
    const QStringList lines = steps.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3 + 4313);
    QCOMPARE(lines[3], QString("UD_ROTOR_UPRESET"));
    QVERIFY(lines.contains("SET_TEMP_All 95.00 95.00"));
    QCOMPARE(lines.last(), QString("STOP_TEMP"));
}

void TestCli::analyzeShowsTheBuiltInResults()
{
    TestDir dir;
    OutData d = Synthetic::experiment(40, true);
    d.inData.sampleNames = {"病人甲", "病人乙"};
    for (int s = 0; s < 52; ++s) {
        const bool positive = s == 6; // hole 4, FAM
        d.pdLines[s] = Synthetic::amplification(40, positive ? 2500 : 0, 24.0, 1.6, quint32(s))
            + Synthetic::melt(60, 71, 81.3, 2000, 1, 41);
    }
    QVERIFY(d.saveAsFilePath("exp.pcrd"));
    const double ct = Synthetic::crossing(2500, 24.0, 1.6, 200);

    const CliResult table = runCli({"analyze", "exp.pcrd"});
    QCOMPARE(table.code, 0);
    const QStringList lines = table.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 1 + 24 * 2); // header, then 24 used holes x 2 channels
    QCOMPARE(lines[1].split('\t').mid(0, 5), QStringList({"1", "病人甲", "3", "FAM", "T3"}));
    const QStringList positive = lines[3].split('\t');
    QCOMPARE(positive.mid(0, 4), QStringList({"1", "病人甲", "4", "FAM"}));
    QVERIFY2(std::fabs(positive[5].toDouble() - ct) < 0.3, qPrintable(positive[5]));
    QCOMPARE(positive[6], QString("阳性"));
    QVERIFY(std::fabs(positive[7].toDouble() - 81.3) < 0.05);
    const QStringList negative = lines[4].split('\t');
    QCOMPARE(negative.mid(3, 4), QStringList({"ROX", "IC", "-", "阴性"}));
    QCOMPARE(lines.last().split('\t').mid(0, 4), QStringList({"2", "病人乙", "26", "ROX"}));

    const CliResult json = runCli({"analyze", "--json", "exp.pcrd"});
    QCOMPARE(json.code, 0);
    const QJsonArray curves = QJsonDocument::fromJson(json.out.toUtf8()).object().value("curves").toArray();
    QCOMPARE(curves.size(), 52);
    const QJsonObject c6 = curves[6].toObject();
    QVERIFY(c6.value("positive").toBool());
    QCOMPARE(c6.value("Threshold").toDouble(), 200.0);
    QCOMPARE(c6.value("Start").toInt(), 3);
    QCOMPARE(c6.value("End").toInt(), 15);
    QVERIFY(std::fabs(c6.value("ct").toDouble() - ct) < 0.3);
    QCOMPARE(c6.value("relativeLength").toInt(), 40);
    QVERIFY(c6.value("meltPeakLength").toInt() >= 3499);
}

void TestCli::errors()
{
    TestDir dir;
    const CliResult missing = runCli({"analyze", "missing.pcrd"});
    QCOMPARE(missing.code, 1);
    QCOMPARE(missing.err.count('\n'), 1);
    QVERIFY(missing.err.contains("missing.pcrd"));
    QCOMPARE(runCli({"plan", "missing.json"}).code, 1);
    QVERIFY(ZGLOBAL::writeFile("bad.json", "{"));
    QCOMPARE(runCli({"plan", "bad.json"}).code, 1);
    QCOMPARE(runCli({"frobnicate"}).code, 2);
    QCOMPARE(runCli({"analyze"}).code, 2);
    // Garbage is not an error: it opens, with nothing to analyse.
    QVERIFY(ZGLOBAL::writeFile("garbage.pcrd", QByteArray(3000, '\xff')));
    QCOMPARE(runCli({"analyze", "garbage.pcrd"}).code, 0);
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
