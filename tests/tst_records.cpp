#include "Hex.h"
#include "method/InData.h"
#include "method/SafeStream.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QtTest>

namespace {

template <typename T>
QByteArray streamed(const T& value)
{
    QByteArray bytes;
    QDataStream s(&bytes, QIODevice::WriteOnly);
    s.setVersion(SafeStream::Version);
    s << value;
    return bytes;
}

template <typename T>
QDataStream::Status readBack(const QByteArray& bytes, T& value)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QDataStream s(&buffer);
    s.setVersion(SafeStream::Version);
    s >> value;
    return s.status();
}

Step cycleStage()
{
    Step step;
    step.StepType = Step::STEP_CYCLE;
    step.CycleCount = 40;
    step.NodeList = {Node{10, 95.0, false}, Node{30, 60.0, true}};
    return step;
}

SMethod smallMethod()
{
    SMethod m;
    m.Name = "M";
    m.Id = "";
    m.Valid = "12";
    m.SampleNumber = 3;
    m.Hole = 1;
    m.ChannelColor = 1;
    m.ChannelNames = QStringList{"FAM"};
    m.UpTime = 3.5;
    m.DownTime = 0.5;
    m.sampleHoleMap = {{0, {1}}, {1, {}}, {2, {2, 3}}};
    m.Flow.steps = {cycleStage()};
    TargetInfos t;
    t.append(TargetInfo{"A", 1, 100.0, 0, 3, 15, 50.0, 0.0});
    m.holeTargets = {t};
    m.ReDissolveCycle = 2;
    m.ReDissolveTime = 5;
    m.ReDissolveTempHigh = 95.0;
    m.ReDissolveTempLow = 60.0;
    return m;
}

const char* NodeA = "0000000a 4057c00000000000 00";
const char* NodeB = "0000001e 404e000000000000 01";

QByteArray stepBytes()
{
    return hex("00000001 00000028 00000002") + hex(NodeA) + hex(NodeB);
}

QByteArray smallMethodBytes()
{
    return streamString("M") + streamString("") + hex("ffffffff") + streamString("12")
        + hex("00000003 00000001 00000001") + hex("00000001") + streamString("FAM")
        + hex("400c000000000000 3fe0000000000000")
        // the map, highest key first
        + hex("00000003") + hex("00000002 00000002 00000002 00000003") + hex("00000001 00000000")
        + hex("00000000 00000001 00000001")
        + hex("00000000 00000001") + stepBytes() + hex("ffffffff")
        // one hole, one channel, eight vectors
        + hex("00000001") + hex("00000001") + streamString("A") + hex("00000001 00000001")
        + hex("00000001 4059000000000000") + hex("00000001 00000000") + hex("00000001 00000003")
        + hex("00000001 0000000f") + hex("00000001 4049000000000000") + hex("00000001 0000000000000000")
        + hex("00000002 00000005 4057c00000000000 404e000000000000");
}

}

class TestRecords : public QObject
{
    Q_OBJECT
private slots:
    void nodeStepAndFlowBytes();
    void methodBytes();
    void inDataBytes();
    void readingKeepsFieldsOutsideTheStream();
    void queries();
    void hugeAndNegativeCounts_data();
    void hugeAndNegativeCounts();
    void truncationAtEveryByte();
    void randomBytesNeverCrash();
};

void TestRecords::nodeStepAndFlowBytes()
{
    QCOMPARE(streamed(Node{120, 95.0, false}), hex("00000078 4057c00000000000 00"));
    QCOMPARE(streamed(cycleStage()), stepBytes());
    Flow flow;
    flow.steps = {cycleStage()};
    QCOMPARE(streamed(flow), hex("00000000 00000001") + stepBytes());

    // The four bytes ahead of the stages are skipped whatever they hold.
    Flow read;
    QCOMPARE(readBack(hex("deadbeef 00000001") + stepBytes(), read), QDataStream::Ok);
    QCOMPARE(read, flow);
}

void TestRecords::methodBytes()
{
    const SMethod m = smallMethod();
    QCOMPARE(streamed(m).toHex(' '), smallMethodBytes().toHex(' '));
    SMethod read;
    QCOMPARE(readBack(smallMethodBytes(), read), QDataStream::Ok);
    QCOMPARE(read, m);
    QVERIFY(read.Id.isEmpty() && read.Date.isNull());
}

void TestRecords::inDataBytes()
{
    InData d;
    d.pcrNumber = 2;
    d.serialNumber = "S1";
    d.sampleNames = {"甲"};
    d.sampleRemarks = {""};
    d.remark = "r";
    d.dateTime = QDateTime(QDate(2024, 1, 29), QTime(8, 30), Qt::UTC);
    d.method = smallMethod();
    // QDateTime: Julian day as qint64, milliseconds since midnight, then the time spec (1 = UTC).
    const QByteArray expected = hex("00000002") + streamString("S1") + hex("00000001") + streamString("甲")
        + hex("00000001") + streamString("") + streamString("r") + hex("0000000000258ab3 01d2eb40 01")
        + smallMethodBytes();
    QCOMPARE(streamed(d).toHex(' '), expected.toHex(' '));
    InData read;
    QCOMPARE(readBack(expected, read), QDataStream::Ok);
    QCOMPARE(read, d);
}

void TestRecords::readingKeepsFieldsOutsideTheStream()
{
    SMethod m;
    m.image = QImage(4, 4, QImage::Format_RGB32);
    m.image.fill(Qt::red);
    m.Version = 7;
    m.targetList = {TargetInfo{}};
    QCOMPARE(readBack(smallMethodBytes(), m), QDataStream::Ok);
    QVERIFY(!m.image.isNull());
    QCOMPARE(m.image.pixelColor(0, 0), QColor(Qt::red));
    QCOMPARE(m.Version, 7);
    QCOMPARE(m.targetList.size(), 1);
}

void TestRecords::queries()
{
    Flow flow;
    QCOMPARE(flow.getCycle(), 40);
    Step second = cycleStage();
    second.CycleCount = 5;
    flow.steps = {Step{}, cycleStage(), second};
    QCOMPARE(flow.getCycle(), 40);
    flow.steps = {second, cycleStage()};
    QCOMPARE(flow.getCycle(), 5);

    SMethod m;
    QVERIFY(!m.hasMeltStep() && !m.hasCycleStep());
    QCOMPARE(m.minMeltTemp(), 0.0);
    QCOMPARE(m.stepNumber(), 0);
    Step melt;
    melt.StepType = Step::STEP_MELT;
    melt.NodeList = {Node{5, 95.0, false}, Node{5, 60.0, false}};
    m.Flow.steps = {cycleStage(), melt};
    QVERIFY(m.hasMeltStep() && m.hasCycleStep());
    QCOMPARE(m.minMeltTemp(), 60.0);
    QCOMPARE(m.stepNumber(), 71);
    m.Flow.steps[1].NodeList = {Node{5, 60.7, false}, Node{5, 95.9, false}};
    QCOMPARE(m.stepNumber(), 71);
    m.Flow.steps[1].CycleCount = 1;
    QCOMPARE(m.stepNumber(), 0);
    m.Flow.steps[1].CycleCount = 0;
    m.Flow.steps[1].NodeList.append(Node{});
    QCOMPARE(m.stepNumber(), 0);
    // Absurd temperatures from a damaged file must not overflow the count.
    m.Flow.steps[1].NodeList = {Node{5, -1e300, false}, Node{5, 1e300, false}};
    QCOMPARE(m.stepNumber(), 0);
}

void TestRecords::hugeAndNegativeCounts_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QByteArray base = smallMethodBytes();
    // Name's length claims two gigabytes.
    QTest::newRow("string length") << (hex("7ffffffe") + base.mid(6));
    // Sample count is fine, the channel-name list claims two billion entries.
    const int namesAt = base.indexOf(hex("00000001") + streamString("FAM"));
    QByteArray names = base;
    names.replace(namesAt, 4, hex("77359400"));
    QTest::newRow("string list") << names;
    // The map's count, negative as a qint32.
    const int mapAt = base.indexOf(hex("00000003 00000002 00000002"));
    QByteArray map = base;
    map.replace(mapAt, 4, hex("fffffffe"));
    QTest::newRow("map") << map;
    // The node vector inside the step claims two billion nodes.
    const int nodesAt = base.indexOf(hex("00000001 00000028 00000002")) + 8;
    QByteArray nodes = base;
    nodes.replace(nodesAt, 4, hex("77359400"));
    QTest::newRow("nodes") << nodes;
    // An odd byte length cannot be UTF-16.
    QTest::newRow("odd string") << (hex("00000003") + base.mid(6));
}

void TestRecords::hugeAndNegativeCounts()
{
    QFETCH(QByteArray, bytes);
    SMethod m;
    QCOMPARE(readBack(bytes, m), QDataStream::ReadCorruptData);
    // Everything after the bad count keeps its default.
    QCOMPARE(m.ReDissolveCycle, 0);
    QCOMPARE(m.ReDissolveTempLow, 0.0);
    QVERIFY(m.holeTargets.isEmpty());
}

void TestRecords::truncationAtEveryByte()
{
    InData d;
    d.pcrNumber = 3;
    d.sampleNames = {"a", "b"};
    d.dateTime = QDateTime(QDate(2025, 2, 3), QTime(1, 2, 3), Qt::UTC);
    d.method = smallMethod();
    const QByteArray full = streamed(d);
    for (int cut = 0; cut < full.size(); ++cut) {
        InData read;
        const QDataStream::Status status = readBack(full.left(cut), read);
        QVERIFY2(status != QDataStream::Ok, qPrintable(QString("cut at %1").arg(cut)));
        // What was read before the cut is kept; the last field is never filled from nowhere.
        QCOMPARE(read.method.ReDissolveTempLow, 0.0);
    }
    InData whole;
    QCOMPARE(readBack(full, whole), QDataStream::Ok);
    QCOMPARE(whole, d);
}

void TestRecords::randomBytesNeverCrash()
{
    QRandomGenerator rng(20261207);
    const QByteArray good = smallMethodBytes();
    int damaged = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes = good;
        const int flips = 1 + int(rng.bounded(6));
        for (int i = 0; i < flips; ++i)
            bytes[int(rng.bounded(bytes.size()))] = char(rng.bounded(256));
        // Under AddressSanitizer this is first a crash and overflow detector. Beyond that: once
        // the stream reports damage, nothing after it is filled (the last field keeps its default
        // instead of the 60.0 the sound bytes hold).
        SMethod m;
        if (readBack(bytes, m) != QDataStream::Ok) {
            ++damaged;
            QCOMPARE(m.ReDissolveTempLow, 0.0);
        }
    }
    QVERIFY(damaged > 100);
}

QTEST_GUILESS_MAIN(TestRecords)
#include "tst_records.moc"
