#include "instrument/Engine.h"

#include "app/Settings.h"
#include "app/UI.h"
#include "instrument/FrameProtocol.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QSerialPortInfo>

namespace {
// The instrument's USB-serial adapter (CH340): as the Windows driver describes it, and as its
// USB identifiers show it everywhere else.
const QString AdapterDescription = "USB-SERIAL CH340";
const QString AdapterMaker = "wch.cn";
constexpr quint16 AdapterVendor = 0x1a86;
constexpr quint16 AdapterProduct = 0x7523;

bool isAdapter(const QSerialPortInfo& port)
{
#ifdef Q_OS_WIN
    return port.description() == AdapterDescription && port.manufacturer() == AdapterMaker;
#else
    return port.hasVendorIdentifier() && port.vendorIdentifier() == AdapterVendor && port.hasProductIdentifier()
        && port.productIdentifier() == AdapterProduct;
#endif
}
}

Engine::Engine(int waitMs, QObject* parent) : QSerialPort(parent), mWaitMs(waitMs)
{
    connect(this, &QSerialPort::errorOccurred, this, &Engine::slotError);
}

Engine::~Engine()
{
    closeCom();
}

QStringList Engine::getCurrentComList() const
{
    // A configured port is tried first; a stale one (the adapter got another name) must not keep
    // the instrument from being found.
    QStringList names;
    const QString configured = configuredPort();
    if (!configured.isEmpty())
        names << configured;
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts())
        if (!port.isBusy() && isAdapter(port) && !names.contains(port.portName()) && !names.contains(port.systemLocation()))
            names << port.portName();
    return names;
}

QString Engine::configuredPort()
{
    return Settings(UI::SettingsFile, QSettings::IniFormat).getComName();
}

int Engine::initCom(const QString& name)
{
    setPortName(name);
    if (open(QIODevice::ReadWrite)) {
        setBaudRate(QSerialPort::Baud19200, QSerialPort::AllDirections);
        setDataBits(QSerialPort::Data8);
        setStopBits(QSerialPort::OneStop);
        setFlowControl(QSerialPort::NoFlowControl);
        if (!setParity(QSerialPort::EvenParity)) {
            // A pseudo-terminal (the simulated instrument) cannot hold a parity bit; the link works
            // without it, so this is noted and not treated as a failure.
            qDebug() << "port" << name << "keeps no parity:" << errorString();
            clearError();
        }
        setReadBufferSize(255);
        clear(QSerialPort::AllDirections);
    }
    return int(error());
}

void Engine::closeCom()
{
    if (isOpen())
        close();
}

void Engine::slotError(QSerialPort::SerialPortError error)
{
    // A setting the device cannot take, or a read that merely timed out, leaves the link usable.
    // A port that did not open is no link lost (initCom tells its caller).
    if (error == QSerialPort::NoError || error == QSerialPort::UnsupportedOperationError
        || error == QSerialPort::TimeoutError || !isOpen())
        return;
    qDebug() << "serial port error" << error << errorString();
    closeCom();
    emit signalLinkError(error);
}

QByteArray Engine::readFor(int ms, const std::function<bool(const QByteArray&)>& enough)
{
    // Blocks the link's thread for at most one read window instead of running a local event
    // loop: no request can come in the middle of an exchange, and what the window asked for
    // meanwhile is served right after it.
    QElapsedTimer clock;
    clock.start();
    QByteArray bytes;
    for (qint64 left = ms; left > 0 && isOpen(); left = ms - clock.elapsed()) {
        if (!waitForReadyRead(int(left)))
            break;
        if (isOpen())
            bytes += readAll();
        if (enough && enough(bytes))
            break;
    }
    return bytes;
}

int Engine::serialSendData(const QByteArray& request, QByteArray& reply, int replyLength, char address, bool checkCrc, int& retries)
{
    for (bool resend = false;; resend = true) {
        // A reply that came too late must not pass for the next request: after an unanswered
        // one the line has to stay quiet for a whole read window before anything else is
        // written. A resend of the same request may take the late reply, which answers it as
        // well; the resend's own reply may then still come, so the line stays suspect.
        if (mUnanswered && !resend)
            drainLateReply();
        const int result = attemptOnce(request, reply, replyLength, address, checkCrc);
        if (result == SERIALPORT_NO_ERROR || result == SERIALPORT_WRITE_ERROR || retries-- == 0)
            return result;
    }
}

int Engine::attempt(const Command& command, QByteArray& reply)
{
    if (command.request.isEmpty())
        return SERIALPORT_WRITE_ERROR;
    return attemptOnce(command.request, reply, command.replyLength, command.address(), true);
}

int Engine::attemptOnce(const QByteArray& request, QByteArray& reply, int replyLength, char address, bool checkCrc)
{
    mRecData.clear();
    mSendData = request;
    if (isOpen() && bytesAvailable() > 0)
        qDebug() << "discarding stale bytes:" << FrameProtocol::hex(readAll());
    if (!isOpen() || write(request) != request.size())
        return SERIALPORT_WRITE_ERROR;
    mSinceWrite.start();

    int start = -1;
    const QByteArray buffer = readFor(readWindowMs(), [&](const QByteArray& bytes) {
        start = FrameProtocol::findValidReply(bytes, request, replyLength, checkCrc);
        return start >= 0;
    });
    if (start >= 0) {
        mRecData = buffer.mid(start, replyLength);
        reply = mRecData;
        // A late reply to an earlier request, or a reply sent twice: it answers nothing now.
        if (buffer.size() > replyLength)
            qDebug() << "dropping bytes that answer no request:" << FrameProtocol::hex(buffer.left(start))
                     << FrameProtocol::hex(buffer.mid(start + replyLength));
        return SERIALPORT_NO_ERROR;
    }
    mUnanswered = true;
    const int first = FrameProtocol::findReplyStart(buffer, address);
    mRecData = first >= 0 ? buffer.mid(first, replyLength) : QByteArray();
    return first >= 0 ? SERIALPORT_CRCERROR : SERIALPORT_READ_ERROR;
}

void Engine::drainLateReply()
{
    mUnanswered = false;
    // A reply later than its read window may come up to a window after that: the quiet that
    // counts starts no earlier than two windows after the last request written.
    const int first = int(qMax<qint64>(readWindowMs(), 2 * readWindowMs() - mSinceWrite.elapsed()));
    for (int window = 0; window < MaxDrainWindows && isOpen(); ++window) {
        const QByteArray late = readFor(window == 0 ? first : readWindowMs());
        if (late.isEmpty())
            return;
        qDebug() << "discarding a late reply:" << FrameProtocol::hex(late);
    }
}

int Engine::serialSendData(const QByteArray& request, char)
{
    mSendData = request;
    if (!isOpen())
        return 1;
    return write(request) < request.size() ? 1 : 0;
}

QString Engine::SendData() const
{
    return QStringLiteral("发送数据:") + FrameProtocol::hex(mSendData);
}

QString Engine::RecData() const
{
    return QStringLiteral("接收数据:") + FrameProtocol::hex(mRecData);
}

quint16 Engine::CRC16_IBM(const unsigned char* data, int length)
{
    return FrameProtocol::crc16(data, length);
}

quint8 Engine::InvertUint8(quint8 value)
{
    return FrameProtocol::invertUint8(value);
}

quint16 Engine::InvertUint16(quint16 value)
{
    return FrameProtocol::invertUint16(value);
}
