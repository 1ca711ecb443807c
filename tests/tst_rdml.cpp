#include "CliRunner.h"
#include "ScaledRdml.h"
#include "Synthetic.h"
#include "TestDir.h"
#include "analysis/Quantification.h"
#include "analysis/TempData.h"
#include "files/RdmlExport.h"
#include "files/RdmlFormat.h"
#include "files/RdmlImport.h"
#include "files/ZipArchive.h"
#include "files/ZipWriter.h"

#include <QXmlStreamReader>

namespace {

// The controlled plate with readings on the instrument's 0.1 grid, as a run stores them.
OutData plate()
{
    OutData d = Synthetic::controlledPlate();
    for (Curve& c : d.pdLines)
        for (QPointF& p : c)
            p.setY(std::round(p.y() * 10) / 10);
    d.inData.dateTime = QDateTime(QDate(2026, 12, 7), QTime(9, 30));
    d.inData.pcrNumber = 2;
    d.inData.sampleRemarks = {"", "复检", ""};
    return d;
}

// A second reader of the format, apart from the program's: per reaction and target its cq, its
// amplification fluorescence and its melt points, by local names whatever the prefixes.
struct Parsed
{
    QMap<QString, double> cq;                // "react/target"
    QMap<QString, QVector<double>> adp;      // fluorescence in cycle order
    QMap<QString, QVector<QPointF>> mdp;
};

Parsed parse(const QByteArray& xml)
{
    Parsed p;
    QXmlStreamReader x(xml);
    QString react, target, value;
    QPointF point;
    QStringList path;
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement()) {
            path << x.name().toString();
            if (x.name() == QLatin1String("react"))
                react = x.attributes().value("id").toString();
            if (x.name() == QLatin1String("tar"))
                target = react + '/' + x.attributes().value("id").toString();
        } else if (x.isCharacters()) {
            value = x.text().toString();
        } else if (x.isEndElement()) {
            const QString parent = path.value(path.size() - 2);
            if (x.name() == QLatin1String("cq"))
                p.cq[target] = value.toDouble();
            else if (x.name() == QLatin1String("fluor") && parent == "adp")
                p.adp[target] << value.toDouble();
            else if (x.name() == QLatin1String("tmp") && parent == "mdp")
                point.setX(value.toDouble());
            else if (x.name() == QLatin1String("fluor") && parent == "mdp")
                p.mdp[target] << QPointF(point.x(), value.toDouble());
            path.removeLast();
        }
    }
    return p;
}

QByteArray foreignRdml(int reacts, int dyes, bool raw)
{
    QByteArray x = "<?xml version='1.0'?>\n<r:rdml xmlns:r='http://www.rdml.org' version='1.2'>\n"
                   " <r:target id='GAPDH'><r:type>ref</r:type><r:dyeId id='SYBR'/></r:target>\n"
                   " <r:target id='HBV'><r:type>toi</r:type><r:dyeId id='HEX'/></r:target>\n"
                   " <r:target id='X'><r:type>toi</r:type><r:dyeId id='Cy5'/></r:target>\n"
                   " <r:experiment id='E'><r:run id='R1'><r:pcrFormat><r:rows>8</r:rows><r:columns>12</r:columns>"
                   "<r:rowLabel>ABC</r:rowLabel><r:columnLabel>123</r:columnLabel></r:pcrFormat>\n";
    const char* targets[] = {"GAPDH", "HBV", "X"};
    for (int i = reacts; i >= 1; --i) { // out of order, and numbered past the chip
        x += QString(" <r:react id='%1'><r:sample id='S%2'/>").arg(i * 7).arg((i + 1) / 2).toUtf8();
        for (int t = 0; t < dyes; ++t) {
            x += QString("<r:data><r:tar id='%1'/>").arg(targets[t]).toUtf8();
            for (int c = 1; raw && c <= 40; ++c) {
                const double y = 0.3 + 0.002 * c + (i % 2 ? 8.0 / (1 + std::exp(-(c - 24.0) / 1.6)) : 0.0)
                    + 0.004 * ((c * 37 + i * 11) % 7 - 3);
                x += QString("<r:adp><r:cyc>%1</r:cyc><r:fluor>%2</r:fluor></r:adp>").arg(c).arg(y).toUtf8();
            }
            x += "</r:data>";
        }
        x += "</r:react>\n";
    }
    return x + " </r:run><r:run id='R2'/></r:experiment>\n</r:rdml>\n";
}

bool validates(const QString& path)
{
    QFile xml("rdml_data.xml");
    if (!xml.open(QIODevice::WriteOnly) || xml.write(ZipArchive(path).read("rdml_data.xml", 1 << 26)) <= 0)
        return false;
    xml.close();
    QProcess lint;
    lint.start("xmllint", {"--noout", "--schema", TAMARIN_RDML_SCHEMA, xml.fileName()});
    lint.waitForFinished();
    if (lint.exitCode() != 0)
        qWarning() << lint.readAllStandardError().left(2000);
    return lint.exitStatus() == QProcess::NormalExit && lint.exitCode() == 0;
}

}

class TestRdml : public QObject
{
    Q_OBJECT
private slots:
    void exportValidatesAndReadsBack();
    void roundTrip();
    void importsAnotherToolsFile();
    void refusals_data();
    void refusals();
    void commandLine();
    void anotherInstrumentAtAnyScale_data();
    void anotherInstrumentAtAnyScale();
    void typesPerTarget();
};

void TestRdml::exportValidatesAndReadsBack()
{
    TestDir dir;
    OutData d = plate();
    d.inData.setup.sampleTypes = {{"std", 2500, "cop"}, {"ntc", 0, {}}};
    QVERIFY(RdmlExport::save(d, "run 1", "p.rdml"));
    QVERIFY2(!QStandardPaths::findExecutable("xmllint").isEmpty(), "xmllint (libxml2-utils) is needed");
    QVERIFY(validates("p.rdml"));
    // Sample types and a standard's quantity come back; a sample without a type is an unknown.
    RdmlReader file;
    QVERIFY(file.read("p.rdml"));
    QCOMPARE(file.sampleType(d.inData.sampleNames[0]), SampleType({"std", 2500, "cop"}));
    QCOMPARE(file.sampleType(d.inData.sampleNames[1]).type, QString("ntc"));
    QCOMPARE(file.sampleType(d.inData.sampleNames[2]), SampleType());
    const Parsed p = parse(ZipArchive("p.rdml").read("rdml_data.xml", 1 << 26));
    const TempData r(d);
    QCOMPARE(p.adp.size(), 18); // 9 used holes, 2 targets
    for (int hole = 3; hole <= 11; ++hole) {
        const QString fam = QString("%1/靶标").arg(hole), rox = QString("%1/内参").arg(hole);
        const int s = 2 * (hole - 1);
        QVector<double> readings;
        for (const QPointF& q : d.pdLines[s].mid(0, 40))
            readings << q.y();
        QCOMPARE(p.adp[fam], readings);
        QCOMPARE(p.mdp[fam].size(), 71);
        QCOMPARE(p.mdp[fam][0], QPointF(60, d.pdLines[s][40].y()));
        QCOMPARE(p.mdp[fam][70], QPointF(95, d.pdLines[s][110].y()));
        QCOMPARE(p.cq.value(fam), r.ctValues[s]); // exactly, 0 when absent
        QCOMPARE(p.cq.value(rox), r.ctValues[s + 1]);
    }
}

void TestRdml::roundTrip()
{
    TestDir dir;
    OutData d = plate();
    TargetInfo changed = Synthetic::target("靶标", 137.5);
    changed.AutoRange = 1;
    d.setTargetInfo(changed, 2 * 4, true); // one hole's own settings come back too
    d.inData.method.Flow.steps[0].NodeList = {{3, 95.0, false}, {12, 58.5, true}};
    d.inData.method.Flow.steps.prepend(Synthetic::stage(Step::STEP_CONSTANT, 1, {{120, 95.0, false}}));
    QVERIFY(RdmlExport::save(d, "run", "p.rdml"));
    RdmlReader file;
    QVERIFY2(file.read("p.rdml"), qPrintable(file.error()));
    QCOMPARE(file.runs().size(), 1);
    OutData back;
    QString why;
    QVERIFY2(RdmlImport::toOutData(file, 0, back, why), qPrintable(why));
    QCOMPARE(back.inData.method.sampleHoleMap, d.inData.method.sampleHoleMap);
    QCOMPARE(back.inData.sampleNames, d.inData.sampleNames);
    QCOMPARE(back.inData.sampleRemarks, d.inData.sampleRemarks);
    QCOMPARE(back.inData.dateTime, d.inData.dateTime);
    // The thermal programme comes back with its holds (the melt stage is laid out by the readings).
    auto holds = [](const SMethod& m) {
        QVector<Step> steps;
        for (const Step& step : m.Flow.steps)
            if (step.StepType != Step::STEP_MELT)
                steps << step;
        return steps;
    };
    QCOMPARE(holds(back.inData.method), holds(d.inData.method));
    const TempData a(d), b(back);
    for (int hole = 3; hole <= 11; ++hole)
        for (int c = 0; c < 2; ++c) {
            const int s = 2 * (hole - 1) + c;
            QCOMPARE(back.pdLines[s], d.pdLines[s]);
            QCOMPARE(back.targetOf(s), d.targetOf(s));
            QCOMPARE(b.ctValues[s], a.ctValues[s]);
            QCOMPARE(b.tmValues[s], a.tmValues[s]);
            QCOMPARE(b.positives[s], a.positives[s]);
            QCOMPARE(b.flags[s], a.flags[s]);
        }
    // Another tool's remark after our settings leaves them whole.
    TargetInfo read = Synthetic::target("x", 1);
    QVERIFY(RdmlFormat::readSettingsNote(RdmlFormat::settingsNote(changed) + ";indiv PCR eff is 1.687 < 1.7", read));
    QCOMPARE(read.Threshold, 137.5);
    QCOMPARE(read.CtThreshold, changed.CtThreshold);
    // An incomplete run stays incomplete.
    d.runComplete = false;
    QVERIFY(RdmlExport::save(d, "run", "p.rdml") && file.read("p.rdml") && RdmlImport::toOutData(file, 0, back, why));
    QVERIFY(!back.runComplete);

    // A typed efficiency goes out as RDML's amplification factor and comes back as the file's,
    // which gives way to a standard curve of the run's own.
    d.inData.setup.efficiencies.insert(d.targetOf(8).Name, 0.93);
    QVERIFY(RdmlExport::save(d, "run", "p.rdml") && file.read("p.rdml") && RdmlImport::toOutData(file, 0, back, why));
    QVERIFY(back.inData.setup.efficiencies.isEmpty());
    QCOMPARE(back.inData.setup.fileEfficiencies.keys(), d.inData.setup.efficiencies.keys());
    QCOMPARE(back.inData.setup.fileEfficiencies.first(), 0.93);

    // Readings sit at their own cycles: a reaction that misses its first two keeps the rest where
    // they were read, and the missing ones stay missing, out and back in.
    d.runComplete = true;
    const int gapped = 2 * 4;
    d.pdLines[gapped].remove(0, 2);
    QVERIFY(RdmlExport::save(d, "run", "p.rdml") && file.read("p.rdml") && RdmlImport::toOutData(file, 0, back, why));
    QCOMPARE(back.pdLines[gapped], d.pdLines[gapped]);
    QCOMPARE(back.pdLines[gapped].first().x(), 3.0);
    QCOMPARE(TempData(back).ctValues[gapped], TempData(d).ctValues[gapped]);
}

void TestRdml::importsAnotherToolsFile()
{
    // Ten reactions with data among a plate's empty wells.
    TestDir dir;
    QByteArray xml = foreignRdml(10, 2, true).replace("<r:pcrFormat>", "<r:instrument>LC480</r:instrument><r:pcrFormat>");
    QByteArray empty;
    for (int well = 80; well <= 96; ++well)
        empty += QString("<r:react id='%1'><r:sample id='empty'/><r:data><r:tar id='GAPDH'/></r:data></r:react>\n").arg(well).toUtf8();
    xml.replace(" </r:run>", empty + " </r:run>");
    RdmlReader file;
    QVERIFY2(file.readXml(xml), qPrintable(file.error()));
    QCOMPARE(file.runs().size(), 2);
    OutData d;
    QString why;
    QVERIFY(!RdmlImport::toOutData(file, 1, d, why)); // the empty run
    QVERIFY2(RdmlImport::toOutData(file, 0, d, why), qPrintable(why));
    const SMethod& m = d.inData.method;
    QCOMPARE(m.ChannelNames, QStringList({"SYBR", "HEX"}));
    // Exported again, the run keeps its id and its instrument, whatever the file is called.
    QVERIFY(RdmlExport::save(d, "renamed", "again.rdml"));
    QVERIFY(validates("again.rdml"));
    const QByteArray again = ZipArchive("again.rdml").read("rdml_data.xml", 1 << 26);
    QVERIFY(again.contains("<run id=\"R1\">") && again.contains("<instrument>LC480</instrument>"));
    // Numbered 70, 63, ..., 7 in the file: placed one after the other by number.
    QCOMPARE(m.sampleHoleMap.value(0), QVector<int>({10, 9}));
    QCOMPARE(d.inData.sampleNames.value(0), QString("S5"));
    QCOMPARE(d.inData.sampleNames.size(), 5);
    const TempData r(d);
    for (int hole = 1; hole <= 10; ++hole) {
        const bool amplifies = hole % 2 == 1; // react ids 7, 21, ... carry odd i
        QCOMPARE(r.targets[2 * (hole - 1)].Name, QString("GAPDH"));
        QCOMPARE(r.positives[2 * (hole - 1)], amplifies);
        if (amplifies)
            QVERIFY(std::fabs(r.ctValues[2 * (hole - 1)] - 21.0) < 1.5);
    }
}

void TestRdml::refusals_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("why");
    QTest::newRow("27 reactions") << foreignRdml(27, 1, true) << "27 个反应";
    QTest::newRow("three dyes") << foreignRdml(4, 3, true) << "3 种染料";
    QTest::newRow("no raw data") << foreignRdml(4, 1, false) << "没有原始扩增数据";
    QTest::newRow("cut short") << foreignRdml(4, 1, true).left(900) << "XML 格式错误";
    QTest::newRow("not rdml") << QByteArray("<html><body/></html>") << "不是 RDML";
    QTest::newRow("version 1.0") << QByteArray("<rdml version='1.0'/>") << "不支持的 RDML 版本";
    QTest::newRow("reading out of range") << foreignRdml(2, 1, true).replace("<r:fluor>0.3", "<r:fluor>1e300") << "超出范围";
    QTest::newRow("damaged archive") << QByteArray("PK\x03\x04 this is no archive") << "压缩包损坏";
    QTest::newRow("nested 20000 deep") << QByteArray("<rdml version='1.2'>") + QByteArray("<a>").repeated(20000) << "嵌套超过 64 层";
    const QByteArray file = foreignRdml(4, 1, true);
    QTest::newRow("target twice") << QByteArray(file).replace("<r:target id='HBV'>", "<r:target id='GAPDH'>") << "靶标 GAPDH 出现了两次";
    QTest::newRow("undefined target") << QByteArray(file).replace("<r:tar id='GAPDH'/>", "<r:tar id='NOPE'/>") << "未定义的靶标 NOPE";
    QTest::newRow("reaction twice") << QByteArray(file).replace("<r:react id='14'>", "<r:react id='21'>") << "反应 21 出现了两次";
    QTest::newRow("run twice") << QByteArray(file).replace("<r:run id='R2'/>", "<r:run id='R1'/>") << "运行 E/R1 出现了两次";
}

void TestRdml::refusals()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, why);
    TestDir dir;
    QFile f(bytes.startsWith("PK") ? "in.rdml" : "in.xml");
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    f.close();
    RdmlReader file;
    QString error;
    OutData d;
    const bool read = file.read(f.fileName());
    const bool imported = read && RdmlImport::toOutData(file, 0, d, error);
    QVERIFY(!imported);
    QVERIFY2((read ? error : file.error()).contains(why), qPrintable(read ? error : file.error()));
    const CliResult cli = runCli({"import", f.fileName(), "out.pcrd", "--run", "R1"});
    QCOMPARE(cli.code, 1);
    QVERIFY(cli.err.contains(why));
    QVERIFY(!QFile::exists("out.pcrd"));
}

void TestRdml::commandLine()
{
    TestDir dir;
    QVERIFY(plate().saveAsFilePath("p.pcrd"));
    QCOMPARE(runCli({"export", "p.pcrd", "p.rdml"}).code, 0);
    QCOMPARE(runCli({"export", "p.pcrd", "p.txt"}).code, 2);
    QCOMPARE(runCli({"import", "p.rdml", "back.pcrd"}).code, 0);
    QCOMPARE(runCli({"analyze", "back.pcrd"}).out, runCli({"analyze", "p.pcrd"}).out);
    QCOMPARE(runCli({"analyze", "--samples", "back.pcrd"}).out, runCli({"analyze", "--samples", "p.pcrd"}).out);
    QCOMPARE(runCli({"import", "p.rdml", "back.pcrd"}).code, 1); // never replaced
    QCOMPARE(runCli({"import", "p.rdml", "back2.pcrd", "--run", "nosuch"}).code, 1);
    QCOMPARE(runCli({"import", "p.rdml", "new.txt"}).code, 1);
    QVERIFY(!QFile::exists("back2.pcrd") && !QFile::exists("new.txt"));
    // The archive's entry carries a real date (DOS form: day, month, years since 1980).
    QFile zip("p.rdml");
    QVERIFY(zip.open(QIODevice::ReadOnly));
    const QByteArray head = zip.read(14);
    const int date = quint8(head[12]) | quint8(head[13]) << 8;
    QVERIFY((date & 31) >= 1 && (date >> 5 & 15) >= 1 && (date >> 5 & 15) <= 12 && (date >> 9) + 1980 >= 2026);

    QFile two("two.xml");
    QVERIFY(two.open(QIODevice::WriteOnly));
    two.write(foreignRdml(4, 1, true).replace("<r:run id='R2'/>", "<r:run id='R2'><r:react id='1'><r:sample id='a'/><r:data><r:tar id='GAPDH'/>"
                                                                   "<r:adp><r:cyc>1</r:cyc><r:fluor>1</r:fluor></r:adp></r:data></r:react></r:run>"));
    two.close();
    const CliResult ask = runCli({"import", "two.xml", "t.pcrd"});
    QCOMPARE(ask.code, 2);
    QVERIFY(ask.err.contains("E/R1, E/R2"));
    QCOMPARE(runCli({"import", "two.xml", "t.pcrd", "--run", "R2"}).code, 0);

    // The CSV: a header, a row per used hole and channel, the raw readings after the results.
    QCOMPARE(runCli({"export", "p.pcrd", "p.csv"}).code, 0);
    QFile csv("p.csv");
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QByteArray bytes = csv.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF")); // so that a spreadsheet reads UTF-8
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 1 + 18);
    QVERIFY(lines[0].startsWith("sample,name,type,hole,position,channel,target,ct,call,tm,quantity,unit,flags,edits,1,2,"));
    const QStringList first = lines[1].split(',');
    QCOMPARE(first.mid(0, 7), QStringList({"1", "甲", "unkn", "1", "3", "FAM", "靶标"}));
    QCOMPARE(first[8], QString("阳性"));
    QCOMPARE(first.size(), 14 + 40);
    QCOMPARE(first[14].toDouble(), plate().pdLines[4][0].y());
    QCOMPARE(runCli({"export", "p.pcrd", "m.csv", "--melt"}).code, 0);
}

void TestRdml::anotherInstrumentAtAnyScale_data()
{
    QTest::addColumn<double>("scale");
    QTest::newRow("x0.001") << 0.001;
    QTest::newRow("own scale") << 1.0;
    QTest::newRow("x1000") << 1000.0;
}

void TestRdml::anotherInstrumentAtAnyScale()
{
    // 22 amplifications of another instrument (RDML 1.4, readings up to 5e5), at that scale and
    // multiplied: every one is called positive, within two cycles of the peer tool's Cq (which
    // another method finds), and the scale moves no Ct by half a cycle.
    QFETCH(double, scale);
    QByteArray xml = ZipArchive(TAMARIN_PUBLIC_RDML "own_mix_a.rdml").read("rdml_data.xml", 1 << 26);
    QVERIFY(!xml.isEmpty());
    const QByteArray scaled = scaledRdml(xml, scale);
    RdmlReader file;
    QVERIFY2(file.readXml(scaled), qPrintable(file.error()));
    OutData d;
    QString why;
    QVERIFY2(RdmlImport::toOutData(file, 0, d, why), qPrintable(why));
    QFile peer(TAMARIN_PUBLIC_RDML "own_mix_a_results.tsv");
    QVERIFY(peer.open(QIODevice::ReadOnly));
    const QList<QByteArray> rows = peer.readAll().split('\n');
    const QList<QByteArray> header = rows.first().split('\t');
    QMap<QString, double> published; // well -> Cq
    for (const QByteArray& row : rows.mid(1))
        if (row.count('\t') + 1 == header.size())
            published[row.split('\t')[header.indexOf("well")]] = row.split('\t')[header.indexOf("TD0")].toDouble();
    const TempData r(d);
    static QVector<double> firstCts;
    QVector<double> cts;
    for (int hole = 1; hole <= 22; ++hole) {
        const int s = hole - 1;
        QVERIFY2(r.positives[s], qPrintable(QString("hole %1").arg(hole)));
        cts << r.ctValues[s];
    }
    // Placed in the order of their numbers; reaction k of a 24-column plate is well
    // row (k - 1) / 24, column (k - 1) % 24 + 1.
    QVector<int> ids;
    for (const RdmlReader::React& react : file.runs().first().reacts)
        ids << react.id;
    std::sort(ids.begin(), ids.end());
    QCOMPARE(ids.size(), 22);
    for (int i = 0; i < 22; ++i) {
        const QString well = QChar('A' + (ids[i] - 1) / 24) + QString::number((ids[i] - 1) % 24 + 1);
        QVERIFY2(published.contains(well) && std::fabs(cts[i] - published[well]) < 2, qPrintable(well + ": " + QString::number(cts[i])));
    }
    if (firstCts.isEmpty())
        firstCts = cts;
    for (int i = 0; i < 22; ++i)
        QVERIFY2(std::fabs(cts[i] - firstCts[i]) < 0.5, qPrintable(QString("%1 against %2").arg(cts[i]).arg(firstCts[i])));
}

void TestRdml::typesPerTarget()
{
    // S1 is a standard of A (10^6) and an unknown of B; S2 a standard of both at 10^5; S3 one of
    // both with its quantity per target; S4 one of both at 10^2. Every tenfold is 3.32 cycles.
    TestDir dir;
    const QMap<QString, QByteArray> parts = {
        {"S1", "<type targetId='A'>std</type><type targetId='B'>unkn</type><quantity targetId='A'><value>1e6</value><unit>cop</unit></quantity>"},
        {"S2", "<type>std</type><quantity><value>1e5</value><unit>cop</unit></quantity>"},
        {"S3", "<type>std</type><quantity targetId='A'><value>1e4</value><unit>cop</unit></quantity>"
               "<quantity targetId='B'><value>1e3</value><unit>cop</unit></quantity>"},
        {"S4", "<type>std</type><quantity><value>100</value><unit>cop</unit></quantity>"}};
    const QMap<QString, double> logs = {{"S1", 6}, {"S2", 5}, {"S3", 4}, {"S4", 2}};
    QByteArray xml = "<rdml xmlns='http://www.rdml.org' version='1.3'><target id='A'><type>toi</type><dyeId id='FAM'/></target>"
                     "<target id='B'><type>toi</type><dyeId id='HEX'/></target>";
    for (auto it = parts.cbegin(); it != parts.cend(); ++it)
        xml += "<sample id='" + it.key().toUtf8() + "'>" + it.value() + "</sample>";
    xml += "<experiment id='E'><run id='R'>";
    int react = 0;
    for (auto it = logs.cbegin(); it != logs.cend(); ++it) {
        xml += QString("<react id='%1'><sample id='%2'/>").arg(++react).arg(it.key()).toUtf8();
        // B's copies in S1 are 10^4; in S3 B has 10^3.
        const QMap<QString, double> targets = {{"A", it.value()}, {"B", it.key() == "S1" ? 4 : it.key() == "S3" ? 3 : it.value()}};
        for (auto t = targets.cbegin(); t != targets.cend(); ++t) {
            xml += "<data><tar id='" + t.key().toUtf8() + "'/>";
            for (int c = 1; c <= 45; ++c)
                xml += QString("<adp><cyc>%1</cyc><fluor>%2</fluor></adp>").arg(c).arg(1 + 8 / (1 + std::exp(-(c - 40 + 3.32 * t.value()) / 1.6))).toUtf8();
            xml += "</data>";
        }
        xml += "</react>";
    }
    xml += "</run></experiment></rdml>";

    RdmlReader file;
    QVERIFY2(file.readXml(xml), qPrintable(file.error()));
    QCOMPARE(file.sampleType("S1"), SampleType());
    QCOMPARE(file.sampleTargetTypes("S1"), (QMap<QString, SampleType>{{"A", {"std", 1e6, "cop"}}}));
    QCOMPARE(file.sampleType("S3"), SampleType({"std", 0, {}}));
    QCOMPARE(file.sampleTargetTypes("S3"), (QMap<QString, SampleType>{{"A", {"std", 1e4, "cop"}}, {"B", {"std", 1e3, "cop"}}}));
    QVERIFY(file.sampleTargetTypes("S2").isEmpty());
    OutData d;
    QString why;
    QVERIFY2(RdmlImport::toOutData(file, 0, d, why), qPrintable(why));

    // Each target has its curve from its own standards, and S1 is quantified as an unknown of B.
    const QuantResult q = Quantification::of(d, TempData(d));
    QCOMPARE(q.curves.size(), 2);
    QCOMPARE(q.curves[0].fit.levels, 4);
    QCOMPARE(q.curves[1].fit.levels, 3);
    QVERIFY2(std::fabs(q.curves[1].fit.slope + 3.32) < 0.1, qPrintable(QString::number(q.curves[1].fit.slope)));
    for (const QuantSample& s : q.samples)
        if (s.name == "S1") {
            QCOMPARE(s.type, QString(s.target == "A" ? "std" : "unkn"));
            QVERIFY2(std::fabs(std::log10(s.quantity) - (s.target == "A" ? 6 : 4)) < 0.05, qPrintable(QString::number(s.quantity)));
        }

    // Out and in again, and kept with the record, every target's type stays.
    QVERIFY(RdmlExport::save(d, "R", "t.rdml"));
    QVERIFY(validates("t.rdml"));
    OutData back;
    QVERIFY(file.read("t.rdml") && RdmlImport::toOutData(file, 0, back, why));
    QCOMPARE(back.inData.setup.targetTypes, d.inData.setup.targetTypes);
    QCOMPARE(back.inData.setup.sampleTypes, d.inData.setup.sampleTypes);
    QVERIFY(d.saveAsFilePath("t.pcrd") && back.openAs("t.pcrd") == 0);
    QCOMPARE(back.inData.setup, d.inData.setup);
    // Types set by hand hold for every target.
    QCOMPARE(runCli({"types", "t.pcrd", "std:1e5:cop"}).code, 0);
    QVERIFY(back.openAs("t.pcrd") == 0 && back.inData.setup.targetTypes.isEmpty());
    // Without types per target a record's run controls are written as before.
    d.inData.setup.targetTypes.clear();
    QVERIFY(!RunControls::setupToJson(d.inData.setup).contains("targetTypes"));
}

QTEST_GUILESS_MAIN(TestRdml)
#include "tst_rdml.moc"
