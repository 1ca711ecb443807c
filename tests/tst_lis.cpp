#include "CliRunner.h"
#include "Synthetic.h"
#include "TestDir.h"
#include "app/Settings.h"
#include "app/ZGLOBAL.h"
#include "files/Hl7Results.h"
#include "files/LisOptions.h"
#include "files/LisOutbox.h"
#include "files/PdfReport.h"
#include "files/SampleSheet.h"
#include "records/LisDelivery.h"
#include "records/RecordSession.h"

#include <xlsxwriter.h>

// Sample sheets in, and results out to a laboratory information system as HL7 v2.5.1.
class TestLis : public QObject
{
    Q_OBJECT
private slots:
    void sampleSheets();
    void sheetRefusals_data();
    void sheetRefusals();
    void hl7ReadsBackFieldByField();
    void incompleteRunsAndTheDropFolder();
    void commandLine();
};

namespace {

const QString Awkward = QStringLiteral("王|五^号~x\\y&z");

// Holes 3-14 are sample 1 (running numbers 1-12), 15-26 sample 2 (13-24); FAM is HBV, ROX the
// internal control, which amplifies everywhere; HBV only in sample 1's holes, as a positive
// control's. A single standard makes the run invalid: it gives no curve.
OutData experiment(bool complete = true, const SampleType& first = SampleType{"pos", 0, ""})
{
    OutData d = Synthetic::experiment(40, false);
    for (TargetInfos& t : d.inData.method.holeTargets)
        t.names = {"HBV", QStringLiteral("内参")};
    for (int s = 0; s < 52; ++s)
        d.pdLines[s] = Synthetic::amplification(40, (s >= 4 && s <= 26) || s % 2 ? 2500 : 0, s % 2 ? 26.0 : 24.0, 1.6, quint32(s));
    d.inData.sampleNames = {Awkward, QStringLiteral("病人乙")};
    d.inData.setup.sampleTypes = {first, SampleType()};
    d.inData.dateTime = QDateTime(QDate(2026, 12, 8), QTime(9, 30));
    d.runComplete = complete;
    return d;
}

using Segment = QVector<QStringList>; // fields, each split in components, unescaped

QString unescape(QString text)
{
    return text.replace("\\F\\", "|").replace("\\S\\", "^").replace("\\R\\", "~").replace("\\T\\", "&").replace("\\E\\", "\\");
}

// The message as a receiver reads it: segments at CR, fields at |, components at ^. MSH's first
// field is its separator, so its fields keep their numbers (MSH-3 at index 3).
QVector<Segment> parse(const QByteArray& bytes)
{
    const QString text = QString::fromUtf8(bytes);
    QVector<Segment> segments;
    if (!text.endsWith('\r'))
        return segments;
    for (const QString& line : text.split('\r', Qt::SkipEmptyParts)) {
        Segment s;
        QStringList fields = line.split('|');
        if (fields[0] == "MSH")
            fields.insert(1, "|");
        for (const QString& f : fields) {
            QStringList components;
            for (const QString& c : f.split('^'))
                components << unescape(c);
            s << (f == "^~\\&" ? QStringList{f} : components);
        }
        segments << s;
    }
    return segments;
}

QStringList field(const QVector<Segment>& message, const QString& id, int nth, int number)
{
    for (const Segment& s : message)
        if (s.value(0).value(0) == id && nth-- == 0)
            return s.value(number);
    return {};
}

QStringList notes(const QVector<Segment>& message)
{
    QStringList out;
    for (const Segment& s : message)
        if (s.value(0).value(0) == "NTE")
            out << s.value(3).join('^');
    return out;
}

}

void TestLis::sampleSheets()
{
    TestDir dir;
    const SMethod method = experiment().inData.method;
    // Semicolons, a byte-order mark, English headers in any case, an unknown column, quoted
    // fields holding the separator and a quote, replicates that agree, codes and Chinese names.
    QVERIFY(ZGLOBAL::writeFile("a.csv", "\xEF\xBB\xBF" "Hole;Name;TYPE;quantity;unit;note\r\n"
                               "1;\"a;\"\"b\"\"\";std;1e5;cop;x\r\n"
                               "2;\"a;\"\"b\"\"\";标准品;100000;拷贝;\r\n"
                               ";;;;;\r\n"
                               "13;病人乙;阴性提取对照;;;\r\n"));
    SampleSheet sheet;
    QString error;
    QVERIFY2(sheet.read("a.csv", method, error), qPrintable(error));
    QCOMPARE(sheet.names(), QVector<QString>({"a;\"b\"", QStringLiteral("病人乙")}));
    QCOMPARE(sheet.types(), QVector<SampleType>({SampleType{"std", 1e5, "cop"}, SampleType{"ntp", 0, ""}}));

    // Chinese headers, tabs; a sheet of unknowns leaves the types empty, as the wizard stores them.
    QVERIFY(ZGLOBAL::writeFile("b.txt", QStringLiteral("孔位\t样本名\t类型\n24\t乙\tunkn\n").toUtf8()));
    QVERIFY2(sheet.read("b.txt", method, error), qPrintable(error));
    QCOMPARE(sheet.names(), QVector<QString>({"", QStringLiteral("乙")}));
    QVERIFY(sheet.types().isEmpty());

    // The first sheet of a workbook, numbers as numbers.
    lxw_workbook* book = workbook_new("c.xlsx");
    lxw_worksheet* first = workbook_add_worksheet(book, "samples");
    workbook_add_worksheet(book, "other");
    const char* header[] = {"孔位", "样本名", "类型", "定量", "单位"};
    for (int c = 0; c < 5; ++c)
        worksheet_write_string(first, 0, lxw_col_t(c), header[c], nullptr);
    worksheet_write_number(first, 1, 0, 14, nullptr);
    worksheet_write_string(first, 1, 1, "std-2", nullptr);
    worksheet_write_string(first, 1, 2, "std", nullptr);
    worksheet_write_number(first, 1, 3, 2500, nullptr);
    worksheet_write_string(first, 1, 4, "ng", nullptr);
    QCOMPARE(int(workbook_close(book)), int(LXW_NO_ERROR));
    QVERIFY2(sheet.read("c.xlsx", method, error), qPrintable(error));
    QCOMPARE(sheet.names().value(1), QString("std-2"));
    QCOMPARE(sheet.types().value(1), (SampleType{"std", 2500, "ng"}));

    // The template has a row per hole of the layout and reads back as an empty plate.
    const QByteArray blank = SampleSheet::templateFor(method);
    QVERIFY(blank.startsWith("\xEF\xBB\xBF" + QStringLiteral("孔位,样本名,类型,定量,单位,备注\r\n1,,,,,\r\n").toUtf8()));
    QCOMPARE(blank.count('\n'), 1 + 24);
    QVERIFY(ZGLOBAL::writeFile("blank.csv", blank));
    QVERIFY(sheet.read("blank.csv", method, error));
    QCOMPARE(sheet.names(), QVector<QString>(2));
}

void TestLis::sheetRefusals_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QString>("said");
    const QByteArray head = QStringLiteral("孔位,样本名,类型,定量,单位\n1,甲,unkn,,\n").toUtf8();
    QTest::newRow("off the layout") << head + "25,x,unkn,," << QStringLiteral("第3行：孔位“25”不在方法“synthetic”的布局中（孔位1–24）");
    QTest::newRow("unknown type") << head + "2,x,patient,," << QStringLiteral("第3行：类型“patient”未知（unkn/ntc/nac/pos/ntp/std/nrt/opt）");
    QTest::newRow("quantity no number") << head + "13,x,std,lots,cop" << QStringLiteral("第3行：定量“lots”不是数");
    QTest::newRow("quantity out of range") << head + "13,x,std,9e-13,cop" << QStringLiteral("第3行：定量“9e-13”不在1e-12到1e15之间");
    QTest::newRow("standard without unit") << head + "13,x,std,5," << QStringLiteral("第3行：标准品需要定量和单位（cop/fold/dil/ng/nMol/other）");
    QTest::newRow("replicates differ") << head + "2,乙,unkn,," << QStringLiteral("第3行：孔位2与第2行同属样本1，样本名、类型、定量或备注须一致");
    QTest::newRow("hole twice") << head + "1,甲,unkn,," << QStringLiteral("第3行：孔位1已在第2行");
    QTest::newRow("no hole column") << QByteArray("name,type\nx,unkn\n") << QStringLiteral("第1行：表头需要“孔位”列和“样本名”或“类型”列");
    QTest::newRow("local code page") << QByteArray("hole,name\n1,\xbc\xd7\n") << QStringLiteral("样本表不是UTF-8编码，请另存为“CSV UTF-8”");
    QTest::newRow("open quote") << head + "2,\"x,unkn" << QStringLiteral("第3行：引号未闭合");
}

void TestLis::sheetRefusals()
{
    QFETCH(QByteArray, csv);
    QFETCH(QString, said);
    TestDir dir;
    QVERIFY(ZGLOBAL::writeFile("s.csv", csv));
    SampleSheet sheet;
    QString error;
    QVERIFY(!sheet.read("s.csv", experiment().inData.method, error));
    QCOMPARE(error, said);
    QVERIFY(sheet.names().isEmpty()); // nothing half taken
}

void TestLis::hl7ReadsBackFieldByField()
{
    ReportFacts facts;
    facts.experiment = "exp";
    facts.signatures.append({QStringLiteral("李审核"), QStringLiteral("批准"), QDateTime(QDate(2026, 12, 8), QTime(10, 0), Qt::UTC), "ab"});
    LisOptions options;
    options.facility = QStringLiteral("检验科|2楼");
    const QDateTime now(QDate(2026, 12, 8), QTime(11, 5, 7), Qt::OffsetFromUTC, 8 * 3600);
    // The run's zone travels with its file: read anywhere, the run was at 09:30 in UTC+8.
    TestDir dir;
    OutData ran = experiment();
    ran.recordId = "exp-id";
    ran.runUtcOffset = 8 * 3600;
    QVERIFY(ran.saveAsFilePath("ran.pcrd"));
    OutData read;
    QCOMPARE(read.openAs("ran.pcrd"), 0);
    QCOMPARE(read.runUtcOffset, std::optional<int>(8 * 3600));
    const QByteArray bytes = Hl7Results::message(read, facts, options, now);
    QVERIFY(!bytes.contains('\n'));
    const QVector<Segment> m = parse(bytes);
    QStringList ids;
    for (const Segment& s : m)
        ids << s[0][0];
    QCOMPARE(ids.join(' '), QString("MSH PID OBR NTE NTE NTE OBX OBX PID OBR NTE NTE NTE OBX"));
    QStringList msh;
    for (int n : {2, 3, 4, 7, 9, 12, 18})
        msh << field(m, "MSH", 0, n).join('^');
    QCOMPARE(msh, QStringList({"^~\\&", "tamarin", QStringLiteral("检验科|2楼"), "20261208110507+0800", "ORU^R01^ORU_R01", "2.5.1",
                               "UNICODE UTF-8"}));
    // The sample's name survives every delimiter as the placer's id and the patient's.
    QCOMPARE(field(m, "OBR", 0, 2), QStringList{Awkward});
    QCOMPARE(field(m, "PID", 0, 3), QStringList{Awkward});
    QCOMPARE(field(m, "OBR", 0, 3), QStringList{"exp-1"});
    QCOMPARE(field(m, "OBR", 0, 7), QStringList{"20261208093000+0800"});
    QCOMPARE(field(m, "OBR", 0, 25), QStringList{"F"});
    QCOMPARE(field(m, "OBX", 0, 3), QStringList({"HBV", "HBV", "L"}));
    QCOMPARE(field(m, "OBX", 0, 5), QStringList({"POS", QStringLiteral("阳性"), "L"}));
    QCOMPARE(field(m, "OBX", 0, 11), QStringList{"F"});
    QCOMPARE(field(m, "OBX", 1, 2), QStringList{"NM"});
    QCOMPARE(QString::number(field(m, "OBX", 1, 5).value(0).toDouble(), 'f', 0),
             QString::number(Synthetic::crossing(2500, 24.0, 1.6, 200), 'f', 0));
    QCOMPARE(field(m, "OBX", 2, 5), QStringList({"NEG", QStringLiteral("阴性"), "L"}));
    QCOMPARE(field(m, "PID", 1, 3), QStringList{QStringLiteral("病人乙")});
    QCOMPARE(notes(m).mid(0, 3), QStringList({QStringLiteral("样本类型：阳性对照"), QStringLiteral("检测有效"),
                                              QStringLiteral("签名：批准 李审核 2026-12-08T10:00:00Z")}));
}

void TestLis::incompleteRunsAndTheDropFolder()
{
    TestDir dir;
    ReportFacts facts;
    facts.experiment = "exp";
    LisOptions options;
    const SampleType standard{"std", 1e5, "cop"};
    QCOMPARE(LisOutbox::write(experiment(false), facts, options, "out.hl7"), QStringLiteral("检测未完成（LIS/SendIncomplete未开启）"));
    const QString invalid = QStringLiteral("检测无效：标准曲线HBV：无法拟合：标准品只有1个浓度有Ct（至少3个）");
    QCOMPARE(LisOutbox::write(experiment(true, standard), facts, options, "out.hl7"), invalid + QStringLiteral("（LIS/SendIncomplete未开启）"));
    QVERIFY(!QFile::exists("out.hl7"));
    options.sendIncomplete = true; // sent, and marked preliminary with why
    QCOMPARE(LisOutbox::write(experiment(false, standard), facts, options, "out.hl7"), QString());
    QFile file("out.hl7");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QVector<Segment> m = parse(file.readAll());
    QCOMPARE(field(m, "OBR", 0, 25), QStringList{"P"});
    QCOMPARE(field(m, "OBX", 0, 11), QStringList{"P"});
    QCOMPARE(field(m, "OBX", 2, 5), QStringList{"100000"}); // a standard's quantity as typed, no exponent
    QCOMPARE(field(m, "OBX", 2, 6), QStringList({"cop", QStringLiteral("拷贝"), "L"}));
    QCOMPARE(field(m, "OBX", 3, 5), QStringList({"INC", QStringLiteral("未完成"), "L"}));
    QVERIFY(notes(m).contains(QStringLiteral("检测未完成；") + invalid));

    // An approval drops the message into the lab's folder with the signature; the trail says so.
    QVERIFY(experiment().saveAsFilePath("exp.pcrd"));
    QVERIFY(QDir().mkdir("lis"));
    Settings settings("settings.ini", QSettings::IniFormat);
    settings.setValue("LIS/Folder", dir.file("lis"));
    RecordSession s("records.sqlite");
    QVERIFY(s.open());
    QCOMPARE(s.users().init("admin", "", "admin-pass"), QString());
    QCOMPARE(s.login("admin", "admin-pass"), QString());
    QCOMPARE(s.sign(ExperimentRef::of("exp.pcrd"), "exp.pcrd", QStringLiteral("批准"), "admin-pass"), QString());
    bool sent = false;
    QCOMPARE(LisDelivery::deliver(s, settings, "exp.pcrd", LisDelivery::Moment::RunEnded, sent), QString()); // not asked for
    QVERIFY(!sent);
    const QString said = LisDelivery::deliver(s, settings, "exp.pcrd", LisDelivery::Moment::Approved, sent);
    QVERIFY2(sent, qPrintable(said));
    const QStringList dropped = QDir("lis").entryList({"exp-*.hl7"}, QDir::Files);
    QCOMPARE(dropped.size(), 1);
    QVERIFY(said.endsWith(dropped[0]));
    QFile message("lis/" + dropped[0]);
    QVERIFY(message.open(QIODevice::ReadOnly));
    QVERIFY(notes(parse(message.readAll())).filter(QStringLiteral("签名：批准 admin ")).size() == 2);
    QCOMPARE(s.trail().list("experiment", "exp").last().action, QStringLiteral("发送LIS"));
}

void TestLis::commandLine()
{
    TestDir dir;
    QVERIFY(experiment().saveAsFilePath("exp.pcrd"));
    QVERIFY(experiment(false).saveAsFilePath("stopped.pcrd"));
    QVERIFY(QDir().mkpath("ini"));
    QVERIFY(ZGLOBAL::writeFile("ini/settings.ini", QStringLiteral("[LIS]\nFacility=检验科\n").toUtf8()));
    const CliResult r = runCli({"export", "exp.pcrd", "exp.hl7"});
    QCOMPARE(r.code, 0);
    QFile file("exp.hl7");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QVector<Segment> m = parse(file.readAll());
    QCOMPARE(field(m, "MSH", 0, 4), QStringList{QStringLiteral("检验科")});
    QCOMPARE(field(m, "OBR", 0, 2), QStringList{Awkward});
    const CliResult refused = runCli({"export", "stopped.pcrd", "stopped.hl7"});
    QCOMPARE(refused.code, 1);
    QCOMPARE(refused.err, QStringLiteral("tamarin-cli export: 检测未完成（LIS/SendIncomplete未开启）\n"));
    QVERIFY(!QFile::exists("stopped.hl7"));

    // A sheet that does not fit the method is refused before any instrument is sought.
    QVERIFY(ZGLOBAL::writeFile("s.csv", "hole,name\n1,a\n99,b\n"));
    const QStringList run = {"run", "--method", TAMARIN_SOURCE_DIR "/methods/short-demo.json", "--module", "1", "--name", "x"};
    const CliResult sheet = runCli(run + QStringList{"--sample-sheet", "s.csv"});
    QCOMPARE(sheet.code, 1);
    QVERIFY2(sheet.err.startsWith(QStringLiteral("tamarin-cli run: --sample-sheet s.csv: 第3行：孔位“99”")), qPrintable(sheet.err));
    QCOMPARE(runCli(run + QStringList{"--sample-sheet", "s.csv", "--types", "unkn"}).code, 2);
}

QTEST_GUILESS_MAIN(TestLis)
#include "tst_lis.moc"
