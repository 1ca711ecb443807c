#include "CliRunner.h"
#include "Synthetic.h"
#include "TestDir.h"
#include "XlsxInspect.h"
#include "analysis/SampleResults.h"
#include "analysis/TempData.h"
#include "app/UI.h"
#include "app/ZGLOBAL.h"
#include "files/ExcelControl.h"
#include "files/XlsxReader.h"
#include "files/ZipWriter.h"

#include <QCryptographicHash>

namespace {

// Two samples of twelve holes (3-14, 15-26); hole 4 FAM amplifies and melts at 81.3.
OutData knownExperiment(int readings = 40)
{
    OutData d = Synthetic::experiment(40, readings > 40);
    d.inData.serialNumber = "20261207_101500";
    d.inData.remark = "=SUM(A1:A2)";
    d.inData.sampleNames = {"+病人甲", "@乙"};
    d.inData.dateTime = QDateTime(QDate(2026, 12, 7), QTime(10, 15, 0));
    for (int s = 0; s < 52; ++s) {
        d.pdLines[s] = Synthetic::amplification(40, s == 6 ? 2500 : 0, 24.0, 1.6, quint32(s));
        if (readings > 40)
            d.pdLines[s] += Synthetic::melt(60, readings - 40, 61.3, 2000, 0.5, 41);
    }
    return d;
}

bool writeZip(const QString& path, const QMap<QString, QByteArray>& parts)
{
    ZipWriter::Parts list;
    for (auto it = parts.cbegin(); it != parts.cend(); ++it)
        list << qMakePair(it.key(), it.value());
    return ZipWriter::write(path, list);
}

}

class TestExcel : public QObject
{
    Q_OBJECT
private slots:
    void infoSheet();
    void outSheet();
    void fourSamplesOfSix();
    void originSheet_data();
    void originSheet();
    void curvesComeBack();
    void readsOtherWritersWorkbooks();
    void failuresAreReported();
    void independentReader();
    void samplesSheet();
};

void TestExcel::infoSheet()
{
    TestDir dir;
    QVERIFY(ExcelControl().saveAsExcel(knownExperiment(), "r.xlsx"));
    XlsxReader x;
    QVERIFY(x.open("r.xlsx"));
    QCOMPARE(x.sheetNames(), QStringList({"info", "out", "origin", "samples", "standard", "relative"}));
    QVERIFY(x.readSheet("info"));
    QCOMPARE(x.text(1, 1), QString("流水号"));
    QCOMPARE(x.text(1, 2), QString("20261207_101500"));
    QCOMPARE(x.text(2, 1), QString("备注"));
    QCOMPARE(x.text(2, 2), QString("=SUM(A1:A2)"));
    QCOMPARE(x.text(3, 1), QString("项目名称"));
    QCOMPARE(x.text(3, 2), QString("synthetic"));
    QCOMPARE(x.text(4, 1), QString("检测时间"));
    QCOMPARE(x.text(4, 2), QString("2026年12月07日 10:15:00"));
    // Text that looks like a formula stays text: a string cell, no formula element.
    QCOMPARE(XlsxInspect::cellAttribute("r.xlsx", "xl/worksheets/sheet1.xml", "B2", "t"), QString("s"));
    QVERIFY(!XlsxInspect::part("r.xlsx", "xl/worksheets/sheet1.xml").contains("<f>"));
    // "info" opens first.
    QVERIFY(XlsxInspect::part("r.xlsx", "xl/worksheets/sheet1.xml").contains("tabSelected=\"1\""));
    QVERIFY(!XlsxInspect::part("r.xlsx", "xl/worksheets/sheet2.xml").contains("tabSelected=\"1\""));
}

void TestExcel::outSheet()
{
    TestDir dir;
    const OutData d = knownExperiment();
    const TempData r(d);
    QVERIFY(r.positives[6]);
    QVERIFY(ExcelControl().saveAsExcel(d, "r.xlsx"));
    XlsxReader x;
    QVERIFY(x.open("r.xlsx") && x.readSheet("out"));
    const QStringList headers = {"样本号", "样本名", "孔位", "FAM靶标", "FAMCt值", "FAM结果", "ROX靶标", "ROXCt值", "ROX结果"};
    for (int c = 0; c < headers.size(); ++c)
        QCOMPARE(x.text(1, c + 1), headers[c]);
    QCOMPARE(x.text(2, 1), QString("1"));
    QCOMPARE(x.text(2, 2), QString("+病人甲"));
    QCOMPARE(x.text(14, 1), QString("2"));
    QCOMPARE(x.text(14, 2), QString("@乙"));
    QCOMPARE(XlsxInspect::mergeRanges("r.xlsx", "xl/worksheets/sheet2.xml"),
             QStringList({"A2:A13", "B2:B13", "A14:A25", "B14:B25"}));
    // Hole 4 is the second hole of sample 1: row 3.
    QCOMPARE(x.text(3, 3), QString("2"));
    QCOMPARE(x.text(3, 4), QString("T4"));
    QVERIFY(x.isNumber(3, 5));
    QVERIFY(std::fabs(x.number(3, 5) - r.ctValues[6]) <= 0.005);
    QCOMPARE(x.text(3, 6), QString("阳性"));
    QCOMPARE(XlsxInspect::fontColor("r.xlsx", "xl/worksheets/sheet2.xml", "F3"), QString("FFFF0000"));
    QCOMPARE(x.number(3, 8), 0.0);
    QCOMPARE(x.text(3, 9), QString("阴性"));
    QCOMPARE(XlsxInspect::fontColor("r.xlsx", "xl/worksheets/sheet2.xml", "I3"), QString("FF00FF00"));
    QCOMPARE(x.text(25, 3), QString("24"));
    QVERIFY(x.text(26, 3).isEmpty());
}

void TestExcel::fourSamplesOfSix()
{
    TestDir dir;
    OutData d = knownExperiment();
    SMethod& m = d.inData.method;
    m.SampleNumber = 4;
    m.sampleHoleMap.clear();
    for (int i = 0; i < 4; ++i)
        for (int h = 3 + 6 * i; h <= 8 + 6 * i; ++h)
            m.sampleHoleMap[i].append(h);
    d.inData.sampleNames = {"a", "", "c", "d"};
    QVERIFY(ExcelControl().saveAsExcel(d, "r.xlsx"));
    XlsxReader x;
    QVERIFY(x.open("r.xlsx") && x.readSheet("out"));
    QCOMPARE(XlsxInspect::mergeRanges("r.xlsx", "xl/worksheets/sheet2.xml"),
             QStringList({"A2:A7", "B2:B7", "A8:A13", "B8:B13", "A14:A19", "B14:B19", "A20:A25", "B20:B25"}));
    QCOMPARE(x.text(20, 1), QString("4"));
    QCOMPARE(x.text(20, 2), QString("d"));
    QVERIFY(x.text(8, 2).isEmpty());
    for (int row = 2; row <= 25; ++row)
        QCOMPARE(x.text(row, 3), QString::number(row - 1));

    // Unequal samples follow each other without overlapping: 2 holes, then 1, then 3.
    m.SampleNumber = 3;
    m.sampleHoleMap = {{0, {3, 4}}, {1, {5}}, {2, {6, 7, 8}}};
    QVERIFY(ExcelControl().saveAsExcel(d, "u.xlsx"));
    QVERIFY(x.open("u.xlsx") && x.readSheet("out"));
    QCOMPARE(XlsxInspect::mergeRanges("u.xlsx", "xl/worksheets/sheet2.xml"), QStringList({"A2:A3", "B2:B3", "A5:A7", "B5:B7"}));
    QCOMPARE(x.text(4, 1), QString("2"));
    QCOMPARE(x.text(5, 1), QString("3"));
    QCOMPARE(x.text(7, 3), QString("6"));
    QCOMPARE(x.text(7, 4), QString("T8"));
}

void TestExcel::originSheet_data()
{
    QTest::addColumn<int>("readings");
    QTest::newRow("40 readings") << 40;
    QTest::newRow("45 readings") << 45;
}

void TestExcel::originSheet()
{
    QFETCH(int, readings);
    TestDir dir;
    OutData d = knownExperiment(readings);
    // Hole 1 belongs to no sample; its first readings carry values whose rounding is known by
    // hand: halves go away from zero, 1.005 is stored just below its half-way point.
    const QVector<double> raw = {0.125, -0.125, 1234.5678, 1.005, -3.14159};
    for (int j = 0; j < raw.size(); ++j)
        d.pdLines[0][j].setY(raw[j]);
    QVERIFY(ExcelControl().saveAsExcel(d, "r.xlsx"));
    XlsxReader x;
    QVERIFY(x.open("r.xlsx") && x.readSheet("origin"));
    const QVector<double> rounded = {0.13, -0.13, 1234.57, 1.0, -3.14};
    for (int j = 0; j < rounded.size(); ++j)
        QCOMPARE(x.number(1, 3 + j), rounded[j]);
    // Hole 1 is used by no sample and still has its row.
    QCOMPARE(x.text(1, 1), QString("1"));
    QCOMPARE(x.text(26, 1), QString("26"));
    QCOMPARE(x.text(4, 2), QString("T4"));
    QCOMPARE(x.text(4, readings + 3), QString("IC"));
    QCOMPARE(XlsxInspect::fontColor("r.xlsx", "xl/worksheets/sheet3.xml", "B4"), QString("FFFF0000"));
    QCOMPARE(XlsxInspect::fontColor("r.xlsx", "xl/worksheets/sheet3.xml", "B5"), QString("FF00FF00"));
    for (int j = 0; j < readings; ++j) {
        QVERIFY(std::fabs(x.number(4, 3 + j) - d.pdLines[6][j].y()) <= 0.005);
        QVERIFY(std::fabs(x.number(4, readings + 4 + j) - d.pdLines[7][j].y()) <= 0.005);
    }
    QVERIFY(x.text(4, 2 * readings + 4).isEmpty());
}

void TestExcel::curvesComeBack()
{
    // A run of 55 readings (cycles and melt) on the instrument's 0.1 grid comes back exactly, and
    // so do its results.
    TestDir dir;
    OutData d = knownExperiment(55);
    for (Curve& curve : d.pdLines)
        for (QPointF& p : curve)
            p.setY(std::round(p.y() * 10) / 10);
    QVERIFY(ExcelControl().saveAsExcel(d, "r.xlsx"));
    OutData back = d;
    back.pdLines = ExcelControl().getFakeData("r.xlsx", "origin", 26, 2);
    QCOMPARE(back.pdLines, d.pdLines);
    QCOMPARE(TempData(back).ctValues, TempData(d).ctValues);
    QCOMPARE(TempData(back).positives, TempData(d).positives);
    // Anything but this chip's layout is refused whole.
    QVERIFY(ExcelControl().getFakeData("r.xlsx", "origin", 27, 2).isEmpty());
    QVERIFY(ExcelControl().getFakeData("r.xlsx", "origin", 26, 1).isEmpty());
    QVERIFY(ExcelControl().getFakeData("r.xlsx", "nope", 26, 2).isEmpty());
    QVERIFY(ExcelControl().getFakeData("missing.xlsx", "origin", 26, 2).isEmpty());
    QVERIFY(ZGLOBAL::writeFile("cut.xlsx", ZGLOBAL::readFile("r.xlsx").left(3000)));
    QVERIFY(ExcelControl().getFakeData("cut.xlsx", "origin", 26, 2).isEmpty());
    QCOMPARE(ExcelControl().saveAsString(d, "x"), QString("string"));

    // Readings back into the record they came from: its own workbook changes nothing (not even
    // the digits it rounds), an edited one changes what it carries and keeps the melt readings it
    // lacks, and a workbook of another run is refused.
    const OutData record = knownExperiment(55);
    QVector<Curve> readings;
    QVERIFY(ExcelControl().saveAsExcel(record, "own.xlsx"));
    QCOMPARE(ExcelControl().readingsFromWorkbook(record, "own.xlsx", readings), QString());
    QCOMPARE(readings, record.pdLines);
    OutData edited = knownExperiment(40);
    edited.pdLines[6][10].setY(1234.5);
    QVERIFY(ExcelControl().saveAsExcel(edited, "edited.xlsx"));
    QCOMPARE(ExcelControl().readingsFromWorkbook(record, "edited.xlsx", readings), QString());
    QCOMPARE(readings[6][10].y(), 1234.5);
    QCOMPARE(readings[6].mid(11), record.pdLines[6].mid(11));
    QCOMPARE(readings[7], record.pdLines[7]);
    edited.inData.serialNumber += "x";
    QVERIFY(ExcelControl().saveAsExcel(edited, "other.xlsx"));
    QCOMPARE(ExcelControl().readingsFromWorkbook(record, "other.xlsx", readings), UI::WorkbookOfAnotherRun.arg("other.xlsx"));
}

void TestExcel::readsOtherWritersWorkbooks()
{
    TestDir dir;
    // Shared strings, an inline string, an absolute relationship target, cells without
    // references, a missing row, a text in a number column, and a double-letter reference.
    const QMap<QString, QByteArray> parts = {
        {"[Content_Types].xml", "<Types/>"},
        {"xl/workbook.xml",
         "<workbook xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets>"
         "<sheet name=\"other\" sheetId=\"1\" r:id=\"rId1\"/><sheet name=\"origin\" sheetId=\"2\" r:id=\"rId2\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<Relationships><Relationship Id=\"rId1\" Target=\"worksheets/a.xml\"/>"
         "<Relationship Id=\"rId2\" Target=\"/xl/worksheets/b.xml\"/></Relationships>"},
        {"xl/sharedStrings.xml", "<sst><si><t>FAM</t></si><si><r><t>n</t></r><r><t>/a</t></r></si></sst>"},
        {"xl/worksheets/a.xml", "<worksheet><sheetData/></worksheet>"},
        {"xl/worksheets/b.xml",
         "<worksheet><sheetData>"
         "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>1</t></is></c><c r=\"B1\" t=\"s\"><v>0</v></c>"
         "<c r=\"C1\"><v>12.5</v></c><c><v>13</v></c><c r=\"E1\" t=\"s\"><v>1</v></c><c r=\"AP1\"><v>99</v></c>"
         "<c r=\"AR1\"><v>7.25</v></c><c r=\"AS1\"><v>nan</v></c><c r=\"AT1\"><v>inf</v></c></row>"
         "<row r=\"3\"><c r=\"C3\"><v>-1</v></c></row>"
         "</sheetData></worksheet>"},
    };
    QVERIFY(writeZip("other.xlsx", parts));
    XlsxReader x;
    QVERIFY(x.open("other.xlsx"));
    QVERIFY(x.readSheet("origin"));
    QCOMPARE(x.text(1, 2), QString("FAM"));
    QCOMPARE(x.text(1, 5), QString("n/a"));
    QVERIFY(x.isNumber(1, 3) && !x.isNumber(1, 5));
    QCOMPARE(x.number(1, 42), 99.0); // AP
    QVERIFY(!x.isNumber(1, 45) && !x.isNumber(1, 46)); // "nan" and "inf" are no readings
    QCOMPARE(x.number(3, 3), -1.0);
    // Holes missing, channels of unequal length: not readings of a chip.
    QVERIFY(ExcelControl().getFakeData("other.xlsx", "origin", 26, 2).isEmpty());

    int row = 0, column = 0;
    QVERIFY(XlsxReader::parseReference("AQ12", row, column));
    QCOMPARE(row, 12);
    QCOMPARE(column, 43);
    QVERIFY(XlsxReader::parseReference("XFD1048576", row, column));
    QCOMPARE(column, 16384);
    QVERIFY(!XlsxReader::parseReference("12", row, column));
    QVERIFY(!XlsxReader::parseReference("ZZZZZZ1", row, column));

    // A sheet that inflates past 64 MiB, or holds millions of cells, is refused unread.
    QMap<QString, QByteArray> bomb = parts;
    bomb["xl/worksheets/b.xml"] = "<worksheet><sheetData>" + QByteArray(65 * 1024 * 1024, ' ') + "</sheetData></worksheet>";
    QVERIFY(writeZip("bomb.xlsx", bomb));
    QVERIFY(QFileInfo("bomb.xlsx").size() < 1024 * 1024);
    QVERIFY(x.open("bomb.xlsx"));
    QVERIFY(!x.readSheet("origin"));
    QVERIFY(ExcelControl().getFakeData("bomb.xlsx", "origin", 26, 2).isEmpty());
    QMap<QString, QByteArray> crowded = parts;
    crowded["xl/worksheets/b.xml"] = "<worksheet><sheetData><row r=\"1\">" + QByteArray("<c/>").repeated(1100000) + "</row></sheetData></worksheet>";
    QVERIFY(writeZip("crowded.xlsx", crowded));
    QVERIFY(x.open("crowded.xlsx"));
    QVERIFY(!x.readSheet("origin"));
}

void TestExcel::failuresAreReported()
{
    TestDir dir;
    QVERIFY(!ExcelControl().saveAsExcel(knownExperiment(), "no-such-dir/r.xlsx"));
    OutData huge = knownExperiment();
    huge.pdLines[0] = Synthetic::amplification(20000, 0, 0, 1, 1); // more columns than a sheet has
    QVERIFY(!ExcelControl().saveAsExcel(huge, "huge.xlsx"));
    QVERIFY(knownExperiment().saveAsFilePath("e.pcrd"));
    const CliResult bad = runCli({"export", "e.pcrd", "no-such-dir/r.xlsx"});
    QCOMPARE(bad.code, 1);
    QVERIFY(bad.err.contains("no-such-dir/r.xlsx"));
    QCOMPARE(runCli({"export", "missing.pcrd", "r.xlsx"}).code, 1);
    const CliResult good = runCli({"export", "e.pcrd", "r.xlsx"});
    QCOMPARE(good.code, 0);
    QVERIFY(QFileInfo("r.xlsx").size() > 0);
}

void TestExcel::independentReader()
{
    if (QProcess::execute("/usr/bin/python3", {"-c", "import openpyxl"}) != 0)
        QSKIP("python3-openpyxl is not installed");
    TestDir dir;
    const OutData d = knownExperiment();
    const TempData r(d);
    QVERIFY(ExcelControl().saveAsExcel(d, "r.xlsx"));
    QProcess p;
    p.start("/usr/bin/python3", {"-c",
                                 "import openpyxl, sys\n"
                                 "wb = openpyxl.load_workbook('r.xlsx')\n"
                                 "out, origin = wb['out'], wb['origin']\n"
                                 "print(wb.sheetnames, wb.active.title)\n"
                                 "print(out['E3'].value, out['F3'].value, out['F3'].font.color.rgb, out['A2'].alignment.horizontal)\n"
                                 "print(sorted(str(m) for m in out.merged_cells.ranges))\n"
                                 "print(origin['C4'].value, origin['A1'].value)\n"});
    QVERIFY(p.waitForFinished(60000));
    const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split('\n');
    QCOMPARE(lines.value(0), QString("['info', 'out', 'origin', 'samples', 'standard', 'relative'] info"));
    const QStringList ct = lines.value(1).split(' ');
    QVERIFY(std::fabs(ct.value(0).toDouble() - r.ctValues[6]) <= 0.005);
    QCOMPARE(ct.mid(1), QStringList({"阳性", "FFFF0000", "center"}));
    QCOMPARE(lines.value(2), QString("['A14:A25', 'A2:A13', 'B14:B25', 'B2:B13']"));
    const QStringList origin = lines.value(3).split(' ');
    QVERIFY(std::fabs(origin.value(0).toDouble() - d.pdLines[6][0].y()) <= 0.005);
    QCOMPARE(origin.value(1), QString("1"));
}

QTEST_GUILESS_MAIN(TestExcel)
#include "tst_excel.moc"

// The report's first three sheets are what other tools read: a sheet added after them leaves
// their parts and the shared strings they use exactly as they were (the cells "out" and "origin"
// gained for the holes' positions and running numbers included: 25 of those 99 strings).
void TestExcel::samplesSheet()
{
    TestDir dir;
    OutData d = knownExperiment(111);
    QVERIFY(ExcelControl().saveAsExcel(d, "r.xlsx"));
    QCryptographicHash sheets(QCryptographicHash::Sha256);
    for (int k = 1; k <= 3; ++k)
        sheets.addData(XlsxInspect::part("r.xlsx", QString("xl/worksheets/sheet%1.xml").arg(k)));
    QStringList strings;
    QXmlStreamReader sst(XlsxInspect::part("r.xlsx", "xl/sharedStrings.xml"));
    while (!sst.atEnd())
        if (sst.readNext() == QXmlStreamReader::StartElement && sst.name() == QLatin1String("t"))
            strings << sst.readElementText();
    QCOMPARE(sheets.result().toHex(), QByteArray("ae71c5ee8f9edae486f629497e0e9283c0cd46c789e65ffe87523ebd3e6e7887"));
    QCOMPARE(QCryptographicHash::hash(strings.mid(0, 99).join('\n').toUtf8(), QCryptographicHash::Sha256).toHex(),
             QByteArray("f908ced230336e045a1065f4972f6594aad3021855b89ebc5d3e49550757813e"));

    d = Synthetic::controlledPlate();
    QVERIFY(ExcelControl().saveAsExcel(d, "s.xlsx"));
    XlsxReader x;
    QVERIFY(x.open("s.xlsx") && x.readSheet("samples"));
    QCOMPARE(x.text(1, 1), QString("样本号"));
    QCOMPARE(x.text(1, 10), QString("质控标记"));
    const QStringList first = {"1", "甲", "靶标", "FAM", "1-3", "3/3"}; // numbered as "out" numbers them
    for (int c = 0; c < first.size(); ++c)
        QCOMPARE(x.text(2, c + 1), first[c]);
    const QVector<SampleResult> r = SampleResults::of(d, TempData(d));
    QVERIFY(x.isNumber(2, 7) && std::fabs(x.number(2, 7) - r[0].meanCt) <= 0.005);
    QVERIFY(x.isNumber(2, 8) && std::fabs(x.number(2, 8) - r[0].sdCt) <= 0.005);
    QCOMPARE(x.text(2, 9), QString("阳性"));
    QCOMPARE(x.text(2, 10), QString("重复孔离群")); // by its Chinese name: the sheet is for people
    QCOMPARE(x.text(3, 7), QString("-"));
    QCOMPARE(x.text(3, 9), QString("阴性"));
    QCOMPARE(x.text(4, 9), QString("无效"));
    QVERIFY(x.text(5, 1).isEmpty());

    // Quantification after them; a run with control rules says on its info sheet how they came out.
    d.inData.method.controlRules = {{"靶标", false, 0, 10, 20, 0, 0}};
    d.inData.setup.sampleTypes = {{"pos", 0, {}}, {"unkn", 0, {}}, {"unkn", 0, {}}};
    QVERIFY(ExcelControl().saveAsExcel(d, "q.xlsx"));
    QVERIFY(x.open("q.xlsx") && x.readSheet("info"));
    QCOMPARE(x.text(6, 2), QString("运行无效：阳性对照失败：孔位 1-3"));
    QVERIFY(x.readSheet("standard") && x.text(1, 6) == QString("效率(%)"));
    QVERIFY(x.readSheet("relative") && x.text(1, 6) == QString("倍数变化"));
}
