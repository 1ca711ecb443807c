#include "Hex.h"
#include "Synthetic.h"
#include "TestDir.h"
#include "app/ZGLOBAL.h"
#include "method/SafeStream.h"

#include <QRandomGenerator>
#include <csignal>
#include <sys/resource.h>

namespace {

OutData smallRecord()
{
    OutData d;
    d.version = 1;
    d.reserved = 0.0;
    d.inData.pcrNumber = 1;
    d.inData.dateTime = QDateTime(QDate(2024, 1, 29), QTime(8, 30), Qt::UTC);
    d.tempLines = {{QPointF(1, 95.0)}, {QPointF(1, 60.0)}};
    d.pdLines = {{QPointF(1, 0.5), QPointF(2, 3.5)}};
    d.runComplete = true;
    return d;
}

// The same record written down from the file layout, field by field.
QByteArray smallRecordBytes()
{
    const QByteArray emptyMethod = hex("ffffffff ffffffff ffffffff ffffffff") // Name Id Date Valid
        + hex("00000000 00000000 00000000") + hex("00000000")                // counts, no channel names
        + hex("0000000000000000 0000000000000000")                            // ramps
        + hex("00000000") + hex("00000000 00000000") + hex("ffffffff")       // map, program, Explain
        + hex("00000000") + hex("00000000 00000000 0000000000000000 0000000000000000");
    const QByteArray inData = hex("00000001 ffffffff 00000000 00000000 ffffffff")
        + hex("0000000000258ab3 01d2eb40 01") + emptyMethod;
    return hex("00000001 0000000000000000") + inData
        + hex("00000002 00000001 3ff0000000000000 4057c00000000000 00000001 3ff0000000000000 404e000000000000")
        + hex("00000001 00000002 3ff0000000000000 3fe0000000000000 4000000000000000 400c000000000000")
        + hex("01");
}

}

class TestOutData : public QObject
{
    Q_OBJECT
private slots:
    void fileLayout();
    void roundTrip();
    void versionAlone();
    void readOnlyFileIsSavedOver();
    void failedSaveKeepsTheOldFile();
    void damagedFiles();
};

void TestOutData::fileLayout()
{
    TestDir dir;
    QVERIFY(smallRecord().saveAsFilePath("a.pcrd"));
    QCOMPARE(ZGLOBAL::readFile("a.pcrd").toHex(' '), smallRecordBytes().toHex(' '));
    QVERIFY(ZGLOBAL::writeFile("hand.pcrd", smallRecordBytes()));
    OutData read;
    QCOMPARE(read.openAs("hand.pcrd"), 0);
    QCOMPARE(read, smallRecord());
}

void TestOutData::roundTrip()
{
    TestDir dir;
    OutData d = Synthetic::experiment(40, false);
    for (int i = 0; i < d.pdLines.size(); ++i)
        d.pdLines[i] = Synthetic::amplification(40, i % 3 ? 0 : 2000, 25, 1.5, quint32(i));
    d.runComplete = false;
    d.inData.sampleNames = {"甲", "乙"};
    QVERIFY(d.saveAsFilePath("full.pcrd"));
    OutData read;
    QCOMPARE(read.openAs("full.pcrd"), 0);
    QCOMPARE(read, d);
    QCOMPARE(read.pdLines.first().size(), 40); // no melt stage: cycle readings only
    // Saved again as read, a stamped record keeps its bytes, with or without the run's zone.
    for (const std::optional<int>& zone : {std::optional<int>(), std::optional<int>(8 * 3600)}) {
        OutData stamped = d;
        stamped.recordId = "id";
        stamped.runUtcOffset = zone;
        QVERIFY(stamped.saveAsFilePath("stamped.pcrd"));
        OutData again;
        QCOMPARE(again.openAs("stamped.pcrd"), 0);
        QCOMPARE(again.runUtcOffset, zone);
        QVERIFY(again.saveAsFilePath("again.pcrd"));
        QCOMPARE(ZGLOBAL::readFile("again.pcrd"), ZGLOBAL::readFile("stamped.pcrd"));
    }

    OutData empty;
    empty.pdLines.clear();
    QVERIFY(empty.saveAsFilePath("empty.pcrd"));
    OutData back = d;
    QCOMPARE(back.openAs("empty.pcrd"), 0);
    QCOMPARE(back, empty);
    QCOMPARE(back.openAs("missing.pcrd"), -1);
    QCOMPARE(back, empty); // untouched by a failed open
    // A reading that is no number is no reading of this program's: the file is damaged.
    OutData notANumber = d;
    notANumber.pdLines[3][5].setY(qQNaN());
    QVERIFY(notANumber.saveAsFilePath("nan.pcrd"));
    QCOMPARE(back.openAs("nan.pcrd"), -1);
}

void TestOutData::versionAlone()
{
    TestDir dir;
    QVERIFY(ZGLOBAL::writeFile("v.pcrd", hex("00000001 ffff")));
    OutData d;
    QCOMPARE(d.openAsVersion("v.pcrd"), 1);
    QCOMPARE(d.openAsVersion("missing.pcrd"), -1);
}

void TestOutData::readOnlyFileIsSavedOver()
{
    TestDir dir;
    QVERIFY(smallRecord().saveAsFilePath("ro.pcrd"));
    QVERIFY(QFile::setPermissions("ro.pcrd", QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    OutData changed = smallRecord();
    changed.runComplete = false;
    QVERIFY(changed.saveAsFilePath("ro.pcrd"));
    // Root may write anyway; what the save must leave is the owner's write bit, and nothing more.
    const QFileDevice::Permissions bits = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
        | QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
        | QFileDevice::WriteOther | QFileDevice::ExeOther;
    QCOMPARE(QFile::permissions("ro.pcrd") & bits, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
    OutData read;
    QCOMPARE(read.openAs("ro.pcrd"), 0);
    QCOMPARE(read.runComplete, false);
    QVERIFY(!changed.saveAsFilePath("no-such-dir/x.pcrd"));
}

void TestOutData::failedSaveKeepsTheOldFile()
{
    TestDir dir;
    QVERIFY(smallRecord().saveAsFilePath("keep.pcrd"));
    const QByteArray before = ZGLOBAL::readFile("keep.pcrd");
    OutData big = Synthetic::experiment(40, true);
    for (Curve& c : big.pdLines)
        c = Synthetic::amplification(2000, 0, 0, 1, 1);
    // A file size limit stands in for a full disk: writes past it fail, as on a full disk.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 64 * 1024;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = big.saveAsFilePath("keep.pcrd");
    setrlimit(RLIMIT_FSIZE, &old);
    QVERIFY(!saved);
    QCOMPARE(ZGLOBAL::readFile("keep.pcrd"), before);
    QCOMPARE(QDir(".").entryList(QDir::Files), QStringList({"keep.pcrd"})); // no leftovers
}

void TestOutData::damagedFiles()
{
    TestDir dir;
    OutData d = Synthetic::experiment(40, true);
    for (int i = 0; i < d.pdLines.size(); ++i)
        d.pdLines[i] = Synthetic::amplification(111, 1500, 25, 1.5, quint32(i));
    QVERIFY(d.saveAsFilePath("good.pcrd"));
    const QByteArray good = ZGLOBAL::readFile("good.pcrd");

    // Cut anywhere: it opens, and what was before the cut is kept.
    for (int cut = 0; cut < good.size(); cut += 97) {
        QVERIFY(ZGLOBAL::writeFile("cut.pcrd", good.left(cut)));
        OutData read;
        QCOMPARE(read.openAs("cut.pcrd"), 0);
        QVERIFY(read.pdLines.size() <= d.pdLines.size());
        QVERIFY(!read.runComplete);
    }

    // A curve that claims two billion points: read up to there, nothing allocated for the claim.
    const int lastCurve = good.size() - 1 - (4 + 111 * 16);
    QByteArray huge = good;
    huge.replace(lastCurve, 4, hex("77359400"));
    QVERIFY(ZGLOBAL::writeFile("huge.pcrd", huge));
    OutData read;
    QCOMPARE(read.openAs("huge.pcrd"), 0);
    QCOMPARE(read.inData, d.inData);
    QVERIFY(read.pdLines.isEmpty());

    // Random damage. Under AddressSanitizer this is first a crash and overflow detector; beyond
    // that, a file either opens within the record limits or is refused and leaves the record
    // untouched.
    QRandomGenerator rng(7);
    int refused = 0;
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes = good;
        for (int i = 0; i < 8; ++i)
            bytes[int(rng.bounded(qMin(bytes.size(), 4000)))] = char(rng.bounded(256));
        QVERIFY(ZGLOBAL::writeFile("random.pcrd", bytes));
        OutData r;
        if (r.openAs("random.pcrd") != 0) {
            ++refused;
            QCOMPARE(r, OutData());
            continue;
        }
        const SMethod& m = r.inData.method;
        QVERIFY(m.Hole >= 0 && m.Hole <= 1000 && m.ChannelColor >= 0 && m.ChannelColor <= 16);
        QVERIFY(m.SampleNumber >= 0 && m.SampleNumber <= 1000 && r.pdLines.size() <= 16000);
        for (const Curve& c : r.pdLines)
            QVERIFY(c.size() <= 10000);
    }
    QVERIFY(refused > 0 && refused < 300);

    // Counts beyond the limits in an otherwise sound file: refused, nothing read.
    const int countsAt = good.indexOf(hex("00000002 0000001a 00000002"));
    QVERIFY(countsAt > 0);
    for (const char* counts : {"000003e9 0000001a 00000002", "00000002 000003e9 00000002", "00000002 0000001a 00000011"}) {
        QByteArray beyond = good;
        QVERIFY(ZGLOBAL::writeFile("beyond.pcrd", beyond.replace(countsAt, 12, hex(counts))));
        OutData r = d;
        QCOMPARE(r.openAs("beyond.pcrd"), -1);
        QCOMPARE(r, d);
    }
    // So is a curve longer than any run reads (10,000 readings).
    OutData longCurve = smallRecord();
    longCurve.pdLines[0] = Synthetic::amplification(10001, 0, 0, 1, 1);
    QVERIFY(longCurve.saveAsFilePath("long.pcrd"));
    OutData r;
    QCOMPARE(r.openAs("long.pcrd"), -1);
    longCurve.pdLines[0].removeLast();
    QVERIFY(longCurve.saveAsFilePath("long.pcrd"));
    QCOMPARE(r.openAs("long.pcrd"), 0);
}

QTEST_GUILESS_MAIN(TestOutData)
#include "tst_outdata.moc"
