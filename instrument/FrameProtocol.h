#pragma once

#include <QByteArray>
#include <QString>

// The instrument's framing, free of any port: 10-byte requests beginning 0xF9, replies beginning
// 0xF8 with the request's address and a CRC-16/ARC over everything before it, high byte first.
namespace FrameProtocol {

constexpr unsigned char SendHead = 0xF9;
constexpr unsigned char RecHead = 0xF8;
constexpr int RequestLength = 10;
constexpr unsigned char HolePositionCode = 0xC2;

quint8 invertUint8(quint8 value);
quint16 invertUint16(quint16 value);
// CRC-16/ARC (polynomial 0x8005, reflected in and out, initial 0, no final xor).
quint16 crc16(const unsigned char* data, int length);

// A request frame: head, address, command code, then up to seven parameter bytes, zero padded.
QByteArray request(char address, unsigned char code, const QByteArray& parameters = QByteArray());
// A reply frame with its CRC appended: head, address, then data (length - 4 bytes, zero padded).
QByteArray reply(char address, const QByteArray& data, int length);

// Index of the first 0xF8 at or after from that is followed by address, or -1.
int findReplyStart(const QByteArray& buffer, char address, int from = 0);

enum class Check { Valid, BadFrame, Short };
// Checks the replyLength bytes from start: Short when fewer arrived, BadFrame for a wrong head or CRC.
Check checkReply(const QByteArray& buffer, int start, int replyLength, bool checkCrc);

// What a reply must repeat of its request from its third byte on: the command code, and for a
// hole reading also the position, since consecutive positions differ in nothing else.
QByteArray echoOf(const QByteArray& request);
// Index of the first start whose replyLength bytes pass the check and answer request (its
// address and echoOf), or -1: stray bytes may hold a false start ahead of the real reply, and a
// late reply of the same module to another command or position must not pass for this one's.
int findValidReply(const QByteArray& buffer, const QByteArray& request, int replyLength, bool checkCrc);

// "f9 01 d0 ..." as the diagnostics show frames.
QString hex(const QByteArray& frame);

}
