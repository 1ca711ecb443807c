#include "TestDir.h"
#include "app/ExperimentFiles.h"
#include "app/ZGLOBAL.h"
#include "method/ChipLayouts.h"
#include "method/JsonControl.h"
#include "method/RecordEdits.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonObject twoSampleMethod()
{
    QJsonObject o;
    o.insert("version", 0);
    o.insert("前置程序", QJsonObject{{"cycle", 2}, {"high", 90}, {"low", 40}, {"time", 5}});
    o.insert("名称", "双样本");
    o.insert("ID", "X1");
    o.insert("生产日期", "2026-01-01");
    o.insert("有效期", "12");
    o.insert("说明", "desc");
    o.insert("样本", 2);
    o.insert("孔数", 26);
    o.insert("荧光", 2);
    o.insert("通道名", QJsonArray{"FAM", "ROX"});
    o.insert("上升", 3.5);
    o.insert("下降", 3.5);
    o.insert("流程", QJsonArray{QJsonArray{0, 1, QJsonArray{120, 95, false}},
                                QJsonArray{1, 40, QJsonArray{10, 95, false}, QJsonArray{30, 60, true}},
                                QJsonArray{2, 0, QJsonArray{5, 60, false}, QJsonArray{5, 95, false}}});
    QJsonArray s0, s1;
    for (int h = 3; h <= 14; ++h)
        s0.append(h);
    for (int h = 15; h <= 26; ++h)
        s1.append(h);
    o.insert("控制关系", QJsonArray{s0, s1, QJsonArray{1, 2}});
    for (int h = 1; h <= 3; ++h)
        o.insert(QString::number(h), QJsonArray{QJsonArray{"T" + QString::number(h), 1, 100.5, 1, 3, 15, 50, 38},
                                                QJsonArray{"IC", 0, 200, 0, 4, 12, 60, 0}});
    return o;
}

bool write(const QString& path, const QJsonObject& o)
{
    return ZGLOBAL::writeFile(path, QJsonDocument(o).toJson());
}

}

class TestMethodJson : public QObject
{
    Q_OBJECT
private slots:
    void readsEveryKey();
    void missingAndMistypedValues();
    void roundTrip();
    void badFilesAreRefused();
    void absurdCountsAreRefused_data();
    void absurdCountsAreRefused();
    void compressedCopy();
    void chipLayouts();
    void shippedMethods();
};

void TestMethodJson::readsEveryKey()
{
    TestDir dir;
    QVERIFY(write("m.json", twoSampleMethod()));
    SMethod m;
    QVERIFY(JsonControl().openJsonMethod("m.json", m));
    QCOMPARE(m.Name, QString("双样本"));
    QCOMPARE(m.Valid, QString("12"));
    QCOMPARE(m.ReDissolveCycle, 2);
    QCOMPARE(m.ReDissolveTempHigh, 90.0);
    QCOMPARE(m.ReDissolveTime, 5);
    QCOMPARE(m.ChannelNames, QStringList({"FAM", "ROX"}));
    QCOMPARE(m.Flow.steps.size(), 3);
    QCOMPARE(m.Flow.steps[1].NodeList[1], (Node{30, 60.0, true}));
    QCOMPARE(m.getAllRunCmd().size(), 4313);
    // Samples beyond "样本" are ignored.
    QCOMPARE(m.sampleHoleMap.keys(), QList<int>({0, 1}));
    QCOMPARE(m.sampleHoleMap[1].first(), 15);
    // 26 hole entries although only three keys exist; the rest are empty.
    QCOMPARE(m.holeTargets.size(), 26);
    QCOMPARE(m.holeTargets[2].at(0), (TargetInfo{"T3", 1, 100.5, 1, 3, 15, 50, 38}));
    QCOMPARE(m.holeTargets[2].at(1), (TargetInfo{"IC", 0, 200, 0, 4, 12, 60, 0}));
    QCOMPARE(m.holeTargets[25].names, QVector<QString>({"", ""}));
    QCOMPARE(m.holeTargets[25].Threshold, QVector<double>({0, 0}));
}

void TestMethodJson::missingAndMistypedValues()
{
    TestDir dir;
    QJsonObject o = twoSampleMethod();
    o.insert("流程", QJsonArray{QJsonArray{1, 2.5, QJsonArray{30.5, 60, 1}, QJsonArray{"10", "95", "true"}}});
    o.insert("控制关系", QJsonArray{QJsonArray{}, QJsonArray{5}});
    o.remove("上升");
    o.insert("名称", 7);
    QVERIFY(write("m.json", o));
    SMethod m;
    m.Name = "before";
    QVERIFY(JsonControl().openJsonMethod("m.json", m));
    QCOMPARE(m.Name, QString());
    QCOMPARE(m.UpTime, 0.0);
    QCOMPARE(m.Flow.steps[0].CycleCount, 0);          // not a whole number
    QCOMPARE(m.Flow.steps[0].NodeList[0], (Node{0, 60.0, false})); // 1 is not true
    QCOMPARE(m.Flow.steps[0].NodeList[1], (Node{0, 0.0, false}));  // strings are not numbers
    // A sample with an empty hole list gets no entry.
    QCOMPARE(m.sampleHoleMap.keys(), QList<int>({1}));
}

void TestMethodJson::roundTrip()
{
    TestDir dir;
    QVERIFY(write("m.json", twoSampleMethod()));
    SMethod first;
    QVERIFY(JsonControl().openJsonMethod("m.json", first));
    QVERIFY(JsonControl().saveJsonMethod("copy.json", first));
    SMethod second;
    QVERIFY(JsonControl().openJsonMethod("copy.json", second));
    QCOMPARE(second, first);
    const QJsonObject saved = QJsonDocument::fromJson(ZGLOBAL::readFile("copy.json")).object();
    QCOMPARE(saved.value("控制关系").toArray().size(), 2);
    QCOMPARE(saved.value("26").toArray().size(), 2);
    QCOMPARE(saved.value("流程").toArray().at(1).toArray().at(3).toArray(), (QJsonArray{30, 60, true}));
    QCOMPARE(saved.value("version").toInt(-1), 0);

    // A method short of names and targets still writes every declared entry.
    SMethod sparse;
    sparse.Hole = 2;
    sparse.ChannelColor = 2;
    sparse.SampleNumber = 1;
    QVERIFY(JsonControl().saveJsonMethod("sparse.json", sparse));
    SMethod back;
    QVERIFY(JsonControl().openJsonMethod("sparse.json", back));
    QCOMPARE(back.holeTargets.size(), 2);
    QCOMPARE(back.ChannelNames, QStringList({"", ""}));
    QVERIFY(!JsonControl().saveJsonMethod("no-such-dir/x.json", sparse));
}

void TestMethodJson::badFilesAreRefused()
{
    TestDir dir;
    SMethod m;
    QVERIFY(!JsonControl().openJsonMethod("missing.json", m));
    QVERIFY(ZGLOBAL::writeFile("empty.json", ""));
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^json error! .*"));
    QVERIFY(!JsonControl().openJsonMethod("empty.json", m));
    QVERIFY(ZGLOBAL::writeFile("array.json", "[1, 2]"));
    QTest::ignoreMessage(QtDebugMsg, "json document is not object.");
    QVERIFY(!JsonControl().openJsonMethod("array.json", m));
}

void TestMethodJson::absurdCountsAreRefused_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<double>("value");
    QTest::newRow("holes 10^9") << "孔数" << 1e9;
    QTest::newRow("holes negative") << "孔数" << -1.0;
    QTest::newRow("channels 10^9") << "荧光" << 1e9;
    QTest::newRow("channels negative") << "荧光" << -2.0;
    QTest::newRow("samples 10^9") << "样本" << 1e9;
    QTest::newRow("samples negative") << "样本" << -5.0;
}

void TestMethodJson::absurdCountsAreRefused()
{
    QFETCH(QString, key);
    QFETCH(double, value);
    TestDir dir;
    QJsonObject o = twoSampleMethod();
    o.insert(key, value);
    QVERIFY(write("m.json", o));
    SMethod m;
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(".*bad count under \"" + key + "\".*"));
    QVERIFY(!JsonControl().openJsonMethod("m.json", m));
    QVERIFY(m.holeTargets.isEmpty());
    // A large but real chip still reads, padded as usual.
    o.insert(key, key == "荧光" ? 4 : 300);
    QVERIFY(write("m.json", o));
    QVERIFY(JsonControl().openJsonMethod("m.json", m));
}

void TestMethodJson::compressedCopy()
{
    TestDir dir;
    QVERIFY(write("m.json", twoSampleMethod()));
    SMethod m;
    QVERIFY(JsonControl().openJsonMethod("m.json", m));
    m.Version = 3;
    m.SampleHole = {{1, 2}};
    QVERIFY(m.saveMethodAsFile("m.qvi"));
    QCOMPARE(m.Version, 0);
    const QByteArray packed = ZGLOBAL::readFile("m.qvi");
    const QByteArray json = qUncompress(packed);
    QVERIFY(!json.contains('\n')); // compact form
    // Qt's compressed form starts with the plain length, big-endian.
    const quint32 length = quint32(uchar(packed[0])) << 24 | uchar(packed[1]) << 16 | uchar(packed[2]) << 8 | uchar(packed[3]);
    QCOMPARE(int(length), json.size());
    const QJsonObject o = QJsonDocument::fromJson(json).object();
    QCOMPARE(o.value("ImageBase64").toString(), QString(""));
    QCOMPARE(o.value("Version").toInt(-1), 0);
    QCOMPARE(o.value("SampleHole").toArray(), (QJsonArray{QJsonArray{1, 2}}));
    QCOMPARE(o.value("Flow").toArray().at(1).toObject().value("NodeList").toArray().at(1).toObject(),
             (QJsonObject{{"Time", 30}, {"Temp", 60}, {"Test", true}}));
    QCOMPARE(o.value("FrontRun").toObject().value("ReDissolveTempLow").toDouble(), 40.0);
    m.image = QImage(2, 2, QImage::Format_RGB32);
    QVERIFY(m.saveMethodAsFile("img.qvi"));
    const QJsonObject withImage = QJsonDocument::fromJson(qUncompress(ZGLOBAL::readFile("img.qvi"))).object();
    QVERIFY(QByteArray::fromBase64(withImage.value("ImageBase64").toString().toLatin1()).startsWith("\x89PNG"));

    // Copy names, and the copy written beside the working folder's method files.
    QCOMPARE(JsonControl::compressedCopyName("sample.json"), QString("sample.qvi"));
    QCOMPARE(JsonControl::compressedCopyName("jsonjson.json"), QString(".qvi"));
    QCOMPARE(JsonControl::compressedCopyName("notes.txt"), QString("notes.txtqvi"));
    QVERIFY(QDir().mkpath("qvi"));
    QVERIFY(JsonControl().saveCompressedCopy(m, "json/m.json"));
    QVERIFY(QFile::exists("qvi/m.qvi"));

    // Importing never replaces a method file of the same name, and says which were left out.
    QVERIFY(QDir().mkpath("json") && QDir().mkpath("in"));
    QVERIFY(write("json/same.json", twoSampleMethod()));
    QVERIFY(ZGLOBAL::writeFile("in/same.json", "other"));
    QVERIFY(ZGLOBAL::writeFile("in/new.json", "new"));
    QCOMPARE(ExperimentFiles::importFiles({"in/same.json", "in/new.json"}, "json"), QStringList({"same.json"}));
    QCOMPARE(ZGLOBAL::readFile("json/new.json"), QByteArray("new"));
    QVERIFY(ZGLOBAL::readFile("json/same.json") != "other");
    // An export the operator agreed to replace does replace; onto itself it refuses.
    QVERIFY(ExperimentFiles::exportCopy("in/new.json", "in/same.json"));
    QCOMPARE(ZGLOBAL::readFile("in/same.json"), QByteArray("new"));
    QVERIFY(!ExperimentFiles::exportCopy("in/new.json", "in/./new.json"));
    QCOMPARE(ZGLOBAL::readFile("in/new.json"), QByteArray("new"));
}

void TestMethodJson::chipLayouts()
{
    sampleHoleMapsInit();
    const SampleHoleMap once = SampleHolesMap_12x2n1n2;
    sampleHoleMapsInit();
    QCOMPARE(SampleHolesMap_12x2n1n2, once);
    QCOMPARE(once.size(), 12);
    QCOMPARE(once[0], QVector<int>({3, 4}));
    QCOMPARE(once[11], QVector<int>({25, 26}));
    QCOMPARE(SampleHolesMap_2x12n13n14[0].last(), 12);
    QCOMPARE(SampleHolesMap_2x12n13n14[1].first(), 15);
    QCOMPARE(SampleHolesMap_1x26.size(), 1);
    QCOMPARE(SampleHolesMap_13x2n.size(), 13);
    QCOMPARE(SampleHolesMap_13x2n[12], QVector<int>({25, 26}));
    QCOMPARE(SampleHolesMap_4x6n1n2[3], QVector<int>({21, 22, 23, 24, 25, 26}));
    QCOMPARE(SampleHolesMap_4x6n13n14[2].first(), 15);
    QCOMPARE(SampleHolesMap_1x24n1n2[0].size(), 24);
    // Every type: ascending lists, no hole twice, holes within 1..26.
    const QVector<ChipLayout> layouts = ::chipLayouts();
    QCOMPARE(layouts.size(), 8);
    QCOMPARE(chipLayoutIndexOf(SampleHolesMap_4x6n13n14), 5);
    QCOMPARE(chipLayoutIndexOf(SampleHoleMap{{0, {5, 6}}}), -1);
    QCOMPARE(layouts[2].label, QString("2*12(!1!2)"));
    for (const ChipLayout& layout : layouts) {
        QSet<int> seen;
        for (const QVector<int>& holes : *layout.map)
            for (int i = 0; i < holes.size(); ++i) {
                QVERIFY(holes[i] >= 1 && holes[i] <= 26);
                QVERIFY(i == 0 || holes[i] > holes[i - 1]);
                QVERIFY(!seen.contains(holes[i]));
                seen.insert(holes[i]);
            }
    }
}

void TestMethodJson::shippedMethods()
{
    const QDir methods(TAMARIN_SOURCE_DIR "/methods");
    const QStringList files = methods.entryList({"*.json"});
    QVERIFY(files.size() >= 3);
    for (const QString& file : files) {
        SMethod m;
        QVERIFY2(JsonControl().openJsonMethod(methods.filePath(file), m), qPrintable(file));
        QCOMPARE(m.Hole, 26);
        QCOMPARE(m.holeTargets.size(), 26);
        QCOMPARE(m.sampleHoleMap.size(), m.SampleNumber);
        QVERIFY(m.Flow.getCycle() >= 16);
    }
    SMethod full;
    QVERIFY(JsonControl().openJsonMethod(methods.filePath("full-40-cycles-melt.json"), full));
    QCOMPARE(full.getAllRunCmd().size(), 4313);
    QCOMPARE(full.sampleHoleMap, SampleHolesMap_2x12n1n2);

    // Another method may describe a record's readings only with its chip, channels and readings:
    // new targets and settings are fine, another layout or programme is not.
    SMethod other = full;
    other.Name = "other";
    QCOMPARE(RecordEdits::methodMismatch(full, other), QString());
    other.sampleHoleMap = SampleHolesMap_2x12n13n14;
    QVERIFY(RecordEdits::methodMismatch(full, other).contains("芯片布局"));
    SMethod shorter;
    QVERIFY(JsonControl().openJsonMethod(methods.filePath("short-demo.json"), shorter));
    shorter.sampleHoleMap = full.sampleHoleMap;
    QVERIFY(RecordEdits::methodMismatch(full, shorter).contains("程序"));
}

QTEST_GUILESS_MAIN(TestMethodJson)
#include "tst_methodjson.moc"
