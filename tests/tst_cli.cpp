#include "CliRunner.h"
#include "Hex.h"
#include "Synthetic.h"
#include "TestDir.h"
#include "app/UI.h"
#include "app/ZGLOBAL.h"
#include "method/RecordEdits.h"

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
    void unsafeAndEmptyPrograms();
    void craftedExperiments();
};

namespace {
// An experiment file written down from its layout: a method with the given sample, hole and
// channel counts and sample-hole map, the given fluorescence curves, nothing else.
QByteArray craftedExperiment(const char* counts, const char* map, const char* curves)
{
    return hex("00000001 0000000000000000")                                                // version, reserved
        + hex("00000001 ffffffff 00000000 00000000 ffffffff 0000000000258ab3 01d2eb40 01") // module .. test time
        + hex("ffffffff ffffffff ffffffff ffffffff") + hex(counts) + hex("00000000")        // texts, counts, no channel names
        + hex("0000000000000000 0000000000000000") + hex(map)                              // ramps, sample-hole map
        + hex("00000000 00000000 ffffffff 00000000")                                       // no stages, no targets
        + hex("00000000 00000000 0000000000000000 0000000000000000")                       // pre-run
        + hex("00000000") + hex(curves) + hex("01");                                       // no temperatures
}
}

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
    // Holes by running number as the hole table shows them, their positions on the chip beside.
    QCOMPARE(lines[1].split('\t').mid(0, 6), QStringList({"1", "病人甲", "1", "3", "FAM", "T3"}));
    const QStringList positive = lines[3].split('\t');
    QCOMPARE(positive.mid(0, 5), QStringList({"1", "病人甲", "2", "4", "FAM"}));
    QVERIFY2(std::fabs(positive[6].toDouble() - ct) < 0.3, qPrintable(positive[6]));
    QCOMPARE(positive[7], QString("阳性"));
    QVERIFY(std::fabs(positive[8].toDouble() - 81.3) < 0.05);
    const QStringList negative = lines[4].split('\t');
    QCOMPARE(negative.mid(4, 4), QStringList({"ROX", "IC", "-", "阴性"}));
    QCOMPARE(lines.last().split('\t').mid(0, 5), QStringList({"2", "病人乙", "24", "26", "ROX"}));

    const CliResult json = runCli({"analyze", "--json", "exp.pcrd"});
    QCOMPARE(json.code, 0);
    const QJsonArray curves = QJsonDocument::fromJson(json.out.toUtf8()).object().value("curves").toArray();
    QCOMPARE(curves.size(), 52);
    const QJsonObject c6 = curves[6].toObject();
    QVERIFY(c6.value("positive").toBool());
    QCOMPARE(c6.value("hole").toInt(), 2);
    QCOMPARE(c6.value("position").toInt(), 4);
    QVERIFY(curves[0].toObject().value("hole").isNull()); // position 1 holds no sample
    QCOMPARE(c6.value("Threshold").toDouble(), 200.0);
    QCOMPARE(c6.value("Start").toInt(), 3);
    QCOMPARE(c6.value("End").toInt(), 15);
    QCOMPARE(c6.value("window").toString(), QString("fixed"));
    QVERIFY(std::fabs(c6.value("ct").toDouble() - ct) < 0.3);
    QCOMPARE(c6.value("relativeLength").toInt(), 40);
    QVERIFY(c6.value("meltPeakLength").toInt() >= 3499);
    QCOMPARE(c6.value("flags").toArray(), QJsonArray());
    QCOMPARE(c6.value("peaks").toArray().size(), 1);

    // Per sample: every target but the internal control, with its replicates and call.
    QVERIFY(Synthetic::controlledPlate().saveAsFilePath("plate.pcrd"));
    const QJsonArray samples =
        QJsonDocument::fromJson(runCli({"analyze", "--samples", "--json", "plate.pcrd"}).out.toUtf8()).object().value("samples").toArray();
    QCOMPARE(samples.size(), 3);
    const QJsonObject first = samples[0].toObject();
    QCOMPARE(first.keys(), QStringList({"call", "channel", "flags", "holes", "meanCt", "n", "name", "positions", "positive", "sample", "sdCt", "target"}));
    QCOMPARE(first.value("holes").toArray(), QJsonArray({1, 2, 3}));
    QCOMPARE(first.value("positions").toArray(), QJsonArray({3, 4, 5}));
    QCOMPARE(first.value("channel").toString(), QString("FAM"));
    QCOMPARE(samples[2].toObject().value("call").toString(), QString("无效"));
    QCOMPARE(runCli({"analyze", "--samples", "plate.pcrd"}).out.split('\n', Qt::SkipEmptyParts).size(), 1 + 3);

    // Readings replaced after the run: said before the results, in the JSON, and kept through an
    // RDML export and import.
    OutData edited = Synthetic::controlledPlate();
    const QString mark = RecordEdits::readingsReplaced(QDateTime(QDate(2026, 12, 8), QTime(9, 30)), "a.xlsx");
    edited.inData.appendRemark(mark);
    QVERIFY(edited.saveAsFilePath("edited.pcrd"));
    QVERIFY(runCli({"analyze", "edited.pcrd"}).out.startsWith(mark + "\n样本号"));
    QCOMPARE(QJsonDocument::fromJson(runCli({"analyze", "--json", "edited.pcrd"}).out.toUtf8()).object().value("edits").toArray(),
             QJsonArray({mark}));
    QCOMPARE(runCli({"export", "edited.pcrd", "edited.rdml"}).code, 0);
    QCOMPARE(runCli({"import", "edited.rdml", "back.pcrd"}).code, 0);
    OutData back;
    QCOMPARE(back.openAs("back.pcrd"), 0);
    QCOMPARE(RecordEdits::of(back.inData.remark), QStringList({mark}));
    QVERIFY(back.runComplete);

    // Quantification as scripts read it: another instrument's dilution series.
    QCOMPARE(runCli({"import", TAMARIN_SOURCE_DIR "/tests/data/public-rdml/dilutions_f109.rdml", "dil.pcrd"}).code, 0);
    const QJsonObject quant = QJsonDocument::fromJson(runCli({"analyze", "--quant", "--json", "dil.pcrd"}).out.toUtf8()).object();
    QCOMPARE(quant.keys(), QStringList({"relative", "relativeNote", "run", "samples", "standardCurves"}));
    const QJsonObject curve = quant.value("standardCurves").toArray().first().toObject();
    QCOMPARE(curve.keys(), QStringList({"channel", "efficiency", "efficiencyHigh", "efficiencyLow", "excluded", "fault", "intercept",
                                        "levels", "noCt", "points", "r2", "slope", "standards", "target", "warnings"}));
    QCOMPARE(curve.value("points").toInt(), 12);
    const QJsonObject unknown = quant.value("samples").toArray().first().toObject();
    QCOMPARE(unknown.value("unit").toString(), QString("cop"));
    QCOMPARE(unknown.value("holes").toArray(), QJsonArray({1, 2, 3}));
    QCOMPARE(unknown.value("replicatesUsed").toInt() * 10 + unknown.value("replicates").toInt(), 33);
    QVERIFY(curve.value("noCt").toArray().isEmpty());
    // The extrapolated quantity of Buccal Swap 2 is said in its holes' rows of the CSV too.
    QCOMPARE(runCli({"export", "dil.pcrd", "dil.csv"}).code, 0);
    QCOMPARE(QString::fromUtf8(ZGLOBAL::readFile("dil.csv")).count("outside-standards"), 3);
    // Its efficiency, 85.6 %, lies outside what a lab accepts: the curve says so, and so does the run.
    QCOMPARE(curve.value("warnings").toArray().first().toString(), QString("效率85.6%超出90–110%"));
    QCOMPARE(quant.value("run").toObject().value("reasons").toArray().first().toString(),
             QString("标准曲线FSTL_1_F_109：效率85.6%超出90–110%"));
    // A choice that names nothing, or an amplification factor typed as an efficiency, is refused
    // and said; a percent is an efficiency.
    for (const QStringList& wrong : {QStringList{"--efficiency", "x=0.9"}, QStringList{"--efficiency", "FSTL_1_F_109=1.98"},
                                     QStringList{"--reference", "FSTL_1_F_10"}, QStringList{"--calibrator", "nobody"}}) {
        const CliResult refused = runCli(QStringList{"analyze", "--quant", "dil.pcrd"} + wrong);
        QCOMPARE(refused.code, 2);
        QVERIFY2(refused.err.contains(wrong.last().section('=', 0, 0)), qPrintable(refused.err));
    }
    QCOMPARE(runCli({"analyze", "--quant", "dil.pcrd", "--efficiency", "FSTL_1_F_109=98%"}).code, 0);
    // An imported run gets its controls' types afterwards, in the trail like any change.
    QCOMPARE(runCli({"types", "dil.pcrd", "unkn,bogus"}).code, 2);
    QCOMPARE(runCli({"types", "dil.pcrd", "unkn,ntc"}).code, 0);
    QVERIFY(runCli({"analyze", "--quant", "dil.pcrd"}).out.startsWith("运行无效：阴性对照扩增"));
    QVERIFY(runCli({"audit", "list"}).out.contains("修改样本"));
    QCOMPARE(runCli({"--help"}).code, 0);
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

void TestCli::unsafeAndEmptyPrograms()
{
    TestDir dir;
    QJsonObject method = QJsonDocument::fromJson(ZGLOBAL::readFile(TAMARIN_SOURCE_DIR "/methods/short-demo.json")).object();
    const auto planOf = [&method](std::initializer_list<QJsonArray> list) {
        QJsonArray stages;
        for (const QJsonArray& stage : list)
            stages.append(stage);
        method["流程"] = stages;
        ZGLOBAL::writeFile("m.json", QJsonDocument(method).toJson());
        return runCli({"plan", "m.json"});
    };
    const QJsonArray melt{2, 0, QJsonArray{1, 72.5, false}, QJsonArray{1, 84, false}};
    // A slip of the decimal point, a sign, a melt bound: refused, naming the stage and hold.
    const CliResult hot = planOf({QJsonArray{0, 1, QJsonArray{10, 950, false}}, melt});
    QCOMPARE(hot.code, 1);
    QVERIFY2(hot.err.contains(UI::HoldTempError.arg(1).arg(1).arg(950)), qPrintable(hot.err));
    const CliResult cold = planOf({QJsonArray{1, 30, QJsonArray{3, 95, false}, QJsonArray{10, -5, true}}});
    QCOMPARE(cold.code, 1);
    QVERIFY(cold.err.contains(UI::HoldTempError.arg(1).arg(2).arg(-5)));
    const CliResult bound = planOf({QJsonArray{0, 1, QJsonArray{0, 95, false}}, QJsonArray{2, 0, QJsonArray{1, 60, false}, QJsonArray{1, 120.5, false}}});
    QCOMPARE(bound.code, 1);
    QVERIFY(bound.err.contains(UI::HoldTempError.arg(2).arg(2).arg(120.5)));
    // More readings per curve than an experiment file may hold.
    QCOMPARE(planOf({QJsonArray{1, 20000, QJsonArray{1, 60, true}}}).code, 1);

    // Stages without holds repeated two billion times play nothing and cost nothing (this used
    // to turn for minutes per stage).
    QJsonArray empty;
    for (int i = 0; i < 1000; ++i)
        empty.append(QJsonArray{i % 2, 2147483647});
    method["流程"] = empty;
    ZGLOBAL::writeFile("m.json", QJsonDocument(method).toJson());
    const CliResult nothing = runCli({"plan", "m.json"});
    QCOMPARE(nothing.code, 0);
    QVERIFY(nothing.out.contains("steps: 50\n"));
}

void TestCli::craftedExperiments()
{
    TestDir dir;
    // Counts far beyond any chip: reported as damaged at once, nothing allocated for them.
    for (const char* counts : {"00000001 0000001a 7fffffff", "00000001 7fffffff 00000002", "7fffffff 0000001a 00000002"}) {
        QVERIFY(ZGLOBAL::writeFile("huge.pcrd", craftedExperiment(counts, "00000000", "00000000")));
        QCOMPARE(runCli({"analyze", "huge.pcrd"}).code, 1);
        QCOMPARE(runCli({"export", "huge.pcrd", "huge.xlsx"}).code, 1);
        QVERIFY(!QFile::exists("huge.xlsx"));
    }
    // Sample 1 lists holes 1 and 1073741825 of a two-hole, two-channel chip: the second would
    // index curve 2^31 + c, which wraps to a negative index.
    QVERIFY(ZGLOBAL::writeFile("hole.pcrd", craftedExperiment("00000001 00000002 00000002",
                                                              "00000001 00000000 00000002 00000001 40000001",
                                                              "00000004 00000000 00000000 00000000 00000000")));
    const CliResult table = runCli({"analyze", "hole.pcrd"});
    QCOMPARE(table.code, 0);
    QCOMPARE(table.out.count('\n'), 1 + 2); // header, hole 1 in both channels
    QCOMPARE(runCli({"export", "hole.pcrd", "hole.xlsx"}).code, 0);
    QVERIFY(QFileInfo("hole.xlsx").size() > 0);
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
