#include "instrument/FrameProtocol.h"

namespace FrameProtocol {

namespace {
// The bits of value in reverse order.
template <typename T>
T reflect(T value)
{
    T out = 0;
    for (unsigned i = 0; i < sizeof(T) * 8; ++i)
        if (value & (T(1) << i))
            out |= T(T(1) << (sizeof(T) * 8 - 1 - i));
    return out;
}
}

quint8 invertUint8(quint8 value)
{
    return reflect(value);
}

quint16 invertUint16(quint16 value)
{
    return reflect(value);
}

quint16 crc16(const unsigned char* data, int length)
{
    quint16 crc = 0;
    for (int i = 0; i < length; ++i) {
        crc ^= quint16(invertUint8(data[i]) << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? quint16((crc << 1) ^ 0x8005) : quint16(crc << 1);
    }
    return invertUint16(crc);
}

QByteArray request(char address, unsigned char code, const QByteArray& parameters)
{
    QByteArray frame(RequestLength, '\0');
    frame[0] = char(SendHead);
    frame[1] = address;
    frame[2] = char(code);
    for (int i = 0; i < parameters.size() && i < RequestLength - 3; ++i)
        frame[3 + i] = parameters[i];
    return frame;
}

QByteArray reply(char address, const QByteArray& data, int length)
{
    QByteArray frame(length, '\0');
    frame[0] = char(RecHead);
    frame[1] = address;
    for (int i = 0; i < data.size() && 2 + i < length - 2; ++i)
        frame[2 + i] = data[i];
    const quint16 crc = crc16(reinterpret_cast<const unsigned char*>(frame.constData()), length - 2);
    frame[length - 2] = char(crc >> 8);
    frame[length - 1] = char(crc & 0xFF);
    return frame;
}

int findReplyStart(const QByteArray& buffer, char address, int from)
{
    for (int i = qMax(from, 0); i + 1 < buffer.size(); ++i)
        if (quint8(buffer[i]) == RecHead && buffer[i + 1] == address)
            return i;
    return -1;
}

QByteArray echoOf(const QByteArray& request)
{
    if (request.size() < 3)
        return QByteArray();
    return request.mid(2, quint8(request[2]) == HolePositionCode && request.size() > 3 ? 2 : 1);
}

int findValidReply(const QByteArray& buffer, const QByteArray& request, int replyLength, bool checkCrc)
{
    if (request.size() < 3)
        return -1;
    const char address = request[1];
    const QByteArray echo = echoOf(request);
    for (int start = findReplyStart(buffer, address); start >= 0; start = findReplyStart(buffer, address, start + 1))
        if (checkReply(buffer, start, replyLength, checkCrc) == Check::Valid && replyLength >= 2 + echo.size() + 2
            && buffer.mid(start + 2, echo.size()) == echo)
            return start;
    return -1;
}

Check checkReply(const QByteArray& buffer, int start, int replyLength, bool checkCrc)
{
    if (replyLength < 3 || start < 0 || buffer.size() - start < replyLength)
        return Check::Short;
    const unsigned char* frame = reinterpret_cast<const unsigned char*>(buffer.constData()) + start;
    if (frame[0] != RecHead)
        return Check::BadFrame;
    if (!checkCrc)
        return Check::Valid;
    const quint16 crc = crc16(frame, replyLength - 2);
    const bool ok = frame[replyLength - 2] == (crc >> 8) && frame[replyLength - 1] == (crc & 0xFF);
    return ok ? Check::Valid : Check::BadFrame;
}

QString hex(const QByteArray& frame)
{
    return QString::fromLatin1(frame.toHex(' '));
}

}
