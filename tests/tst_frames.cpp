#include "instrument/Engine.h"
#include "instrument/FrameProtocol.h"

#include <QtTest>

using namespace FrameProtocol;

class TestFrames : public QObject
{
    Q_OBJECT
private slots:
    void crc();
    void requestsArePadded();
    void replyStartAfterStrayBytes();
    void checksInChunks();
    void photodiodeValues();
};

void TestFrames::crc()
{
    const QByteArray digits = "123456789";
    QCOMPARE(crc16(reinterpret_cast<const unsigned char*>(digits.constData()), 9), quint16(0xBB3D));
    QCOMPARE(Engine::CRC16_IBM(reinterpret_cast<const unsigned char*>(digits.constData()), 9), quint16(0xBB3D));
    QCOMPARE(crc16(nullptr, 0), quint16(0));
    QCOMPARE(invertUint8(0x01), quint8(0x80));
    QCOMPARE(invertUint8(0xB1), quint8(0x8D));
    QCOMPARE(invertUint16(0x0001), quint16(0x8000));
    // A whole reply frame: the CRC over the first eight bytes, high byte first.
    const QByteArray frame = reply(1, QByteArray::fromHex("d001"), 10);
    QCOMPARE(frame.left(8), QByteArray::fromHex("f801d00100000000"));
    const quint16 c = crc16(reinterpret_cast<const unsigned char*>(frame.constData()), 8);
    QCOMPARE(quint8(frame[8]), quint8(c >> 8));
    QCOMPARE(quint8(frame[9]), quint8(c & 0xFF));
}

void TestFrames::requestsArePadded()
{
    QCOMPARE(request(2, 0xB1, QByteArray::fromHex("251c01")), QByteArray::fromHex("f902b1251c0100000000"));
    QCOMPARE(request(1, 0xF6), QByteArray::fromHex("f901f600000000000000"));
    // Parameters beyond the frame are not sent.
    QCOMPARE(request(1, 0xC1, QByteArray(20, '\x11')).size(), 10);
    QCOMPARE(hex(QByteArray::fromHex("f901d001")), QString("f9 01 d0 01"));
}

void TestFrames::replyStartAfterStrayBytes()
{
    const QByteArray good = reply(1, QByteArray::fromHex("d0"), 10);
    const QByteArray buffer = QByteArray::fromHex("00f803") + good;
    QCOMPARE(findReplyStart(buffer, 1), 3);
    QCOMPARE(findReplyStart(buffer, 3), 1); // the stray "f8 03" is a start for address 3
    QCOMPARE(findReplyStart(QByteArray::fromHex("0000f8"), 0), -1); // a head in the last byte is no match
    QCOMPARE(findReplyStart(QByteArray(), 1), -1);
    QCOMPARE(checkReply(buffer, 3, 10, true), Check::Valid);
    // For module 3 the stray start fails its check; the real reply after it is found.
    const QByteArray forThree = QByteArray::fromHex("00f803") + reply(3, QByteArray::fromHex("d0"), 10);
    QCOMPARE(findValidReply(forThree, request(3, 0xD0), 10, true), 3);
    QCOMPARE(findValidReply(forThree.left(12), request(3, 0xD0), 10, true), -1); // still arriving
    QCOMPARE(findValidReply(QByteArray::fromHex("00f803"), request(3, 0xD0), 10, true), -1);
    // A late reply of the module to another command is no reply to this one; the right one after it is.
    const QByteArray late = reply(3, QByteArray::fromHex("b00960"), 10);
    QCOMPARE(findValidReply(late, request(3, 0xD0), 10, true), -1);
    QCOMPARE(findValidReply(late + forThree, request(3, 0xD0), 10, true), 13);
    // A hole reading answers its own position only: a late reply for the position before is passed over.
    const QByteArray second = reply(3, QByteArray::fromHex("c2020102030405060708"), 14);
    const QByteArray first = reply(3, QByteArray::fromHex("c2010102030405060708"), 14);
    QCOMPARE(findValidReply(first, request(3, 0xC2, QByteArray(1, 2)), 14, true), -1);
    QCOMPARE(findValidReply(first + second, request(3, 0xC2, QByteArray(1, 2)), 14, true), 14);
}

void TestFrames::checksInChunks()
{
    const QByteArray good = reply(1, QByteArray::fromHex("c2010102030405060708"), 14);
    // Fed byte by byte: short until the last byte, then valid.
    QByteArray buffer;
    for (int i = 0; i < good.size(); ++i) {
        buffer.append(good[i]);
        const int start = findReplyStart(buffer, 1);
        if (i == 0) {
            QCOMPARE(start, -1);
            continue;
        }
        QCOMPARE(checkReply(buffer, start, 14, true), i + 1 < 14 ? Check::Short : Check::Valid);
    }
    QByteArray swapped = good;
    std::swap(swapped.data()[12], swapped.data()[13]);
    QCOMPARE(checkReply(swapped, 0, 14, true), Check::BadFrame);
    QCOMPARE(checkReply(swapped, 0, 14, false), Check::Valid); // without the CRC test only the head counts
    QByteArray head = good;
    head[0] = char(0xF7);
    QCOMPARE(checkReply(head, 0, 14, false), Check::BadFrame);
    // A reply start close to the end of what arrived is never read past the data.
    QCOMPARE(checkReply(good.left(9), 0, 10, true), Check::Short);
}

void TestFrames::photodiodeValues()
{
    // Two channels: first channel of both holes in bytes 4-7, second channel in bytes 8-11.
    const QByteArray r = reply(1, QByteArray::fromHex("c201" "0064" "00c8" "012c" "ffff"), 14);
    QCOMPARE(Engine::pdValues(2, r), QVector<double>({10.0, 30.0, 20.0, 6553.5}));
    const QByteArray one = reply(1, QByteArray::fromHex("c201" "0064" "00c8"), 10);
    QCOMPARE(Engine::pdValues(1, one), QVector<double>({10.0, 20.0}));
    // A reply of the wrong length fills nothing.
    QCOMPARE(Engine::pdValues(2, one), QVector<double>({-1, -1, -1, -1}));
}

QTEST_GUILESS_MAIN(TestFrames)
#include "tst_frames.moc"
