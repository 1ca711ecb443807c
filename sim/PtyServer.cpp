#include "sim/PtyServer.h"

#include "instrument/FrameProtocol.h"

#include <QSocketNotifier>
#include <QTextStream>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {
// One byte on the wire at 19200 baud, 8E1: start, 8 data, parity and stop bits.
constexpr unsigned long ByteMicroseconds = 11UL * 1000000UL / 19200UL;
constexpr quint8 HolePositionCode = FrameProtocol::HolePositionCode;

bool isHeaterStop(const QByteArray& request)
{
    return (quint8(request[2]) == 0xB1 || quint8(request[2]) == 0xA1) && request[5] == 0x02;
}
}

PtyServer::PtyServer(SimInstrument* instrument, const FaultPlan& faults, QObject* parent)
    : QObject(parent), mInstrument(instrument), mFaults(faults)
{
    mClock.start();
}

PtyServer::~PtyServer()
{
    delete mNotifier;
    if (mSlave >= 0)
        ::close(mSlave);
    if (mMaster >= 0)
        ::close(mMaster);
}

QString PtyServer::open(QString& error)
{
    mMaster = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (mMaster < 0 || grantpt(mMaster) != 0 || unlockpt(mMaster) != 0) {
        error = QString("cannot open a pseudo-terminal: %1").arg(std::strerror(errno));
        return QString();
    }
    const QString path = QString::fromLocal8Bit(ptsname(mMaster));
    mSlave = ::open(ptsname(mMaster), O_RDWR | O_NOCTTY);
    if (mSlave < 0) {
        error = QString("cannot open %1: %2").arg(path, std::strerror(errno));
        return QString();
    }
    // Raw bytes both ways: no echo, no line editing, no translation of 0x0d or 0x11.
    termios raw{};
    tcgetattr(mSlave, &raw);
    cfmakeraw(&raw);
    tcsetattr(mSlave, TCSANOW, &raw);
    mNotifier = new QSocketNotifier(mMaster, QSocketNotifier::Read, this);
    connect(mNotifier, &QSocketNotifier::activated, this, &PtyServer::readRequests);
    return path;
}

QString PtyServer::reopen(QString& error)
{
    mFaults.vanishAfter = -1;
    return open(error);
}

bool PtyServer::setLog(const QString& path)
{
    mLog.setFileName(path);
    return mLog.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text);
}

bool PtyServer::setReplyLog(const QString& path)
{
    mReplyLog.setFileName(path);
    return mReplyLog.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text);
}

void PtyServer::readRequests()
{
    char chunk[512];
    for (;;) {
        const ssize_t n = ::read(mMaster, chunk, sizeof chunk);
        if (n <= 0)
            break;
        mBuffer.append(chunk, int(n));
    }
    for (;;) {
        const int start = mBuffer.indexOf(char(FrameProtocol::SendHead));
        if (start < 0) {
            mBuffer.clear();
            return;
        }
        mBuffer.remove(0, start);
        if (mBuffer.size() < FrameProtocol::RequestLength)
            return;
        const QByteArray request = mBuffer.left(FrameProtocol::RequestLength);
        mBuffer.remove(0, FrameProtocol::RequestLength);
        handle(request);
        if (mMaster < 0)
            return;
    }
}

bool PtyServer::silenced(const QByteArray& request)
{
    const bool ofModule = mFaults.silentModule < 0 || quint8(request[1]) == mFaults.silentModule;
    if (ofModule && quint8(request[2]) == HolePositionCode)
        ++mSilentModuleReadings;
    const bool due = mFaults.silentInReading > 0 ? mSilentModuleReadings >= mFaults.silentInReading
                                                 : mFaults.silentAfter >= 0 && mRequests > mFaults.silentAfter;
    if (!due || !ofModule)
        return false;
    if (!mSilentSince.isValid())
        mSilentSince.start();
    return mFaults.silentForMs < 0 || mSilentSince.elapsed() < mFaults.silentForMs;
}

void PtyServer::handle(const QByteArray& request)
{
    ++mRequests;
    if (mLog.isOpen()) {
        QTextStream(&mLog) << mClock.elapsed() << ' ' << FrameProtocol::hex(request) << '\n';
        mLog.flush();
    }
    if (mFaults.vanishAfter >= 0 && mRequests > mFaults.vanishAfter) {
        vanish();
        return;
    }
    const bool faultable = mFaults.faultCodes.isEmpty() || mFaults.faultCodes.contains(quint8(request[2]));
    if (faultable)
        ++mFaultableRequests;
    QByteArray asked = request;
    // The frame of a neighbouring position, as a reply meant for another request would look.
    if (faultable && quint8(request[2]) == HolePositionCode && mFaults.wrongPositionEvery > 0
        && ++mPositionRequests % mFaults.wrongPositionEvery == 0)
        asked[3] = char(quint8(request[3]) == 1 ? 2 : quint8(request[3]) - 1);
    QByteArray reply = mInstrument->answer(asked);
    if (reply.isEmpty() || silenced(request) || silentInStop(request)
        || (faultable && mFaults.dropEvery > 0 && mFaultableRequests % mFaults.dropEvery == 0)
        || (mFaults.ignoreCode >= 0 && quint8(request[2]) == mFaults.ignoreCode))
        return;
    ++mReplies;
    if (faultable)
        ++mFaultableReplies;
    const int n = reply.size();
    if (mFaults.swapCrc)
        std::swap(reply.data()[n - 2], reply.data()[n - 1]);
    if (faultable && mFaults.corruptEvery > 0 && mFaultableReplies % mFaults.corruptEvery == 0)
        reply[n - 1] = char(reply[n - 1] ^ 0x5A);
    if (mReplyLog.isOpen()) {
        QTextStream(&mReplyLog) << FrameProtocol::hex(reply) << '\n';
        mReplyLog.flush();
    }
    if (mFaults.strayBytes)
        reply.prepend(QByteArray::fromHex("00f803"));
    if (faultable && mFaults.twiceEvery > 0 && mFaultableReplies % mFaults.twiceEvery == 0)
        reply += reply;
    const bool late = faultable && mFaults.lateEvery > 0 && mFaultableReplies % mFaults.lateEvery == 0;
    const int delay = mFaults.latencyMs + (late ? mFaults.lateMs : 0);
    if (delay > 0)
        QTimer::singleShot(delay, this, [this, reply] { send(reply); });
    else
        send(reply);
}

bool PtyServer::silentInStop(const QByteArray& request)
{
    const int module = quint8(request[1]);
    if (mFaults.silentInStop < 0 || (mFaults.silentModule >= 0 && module != mFaults.silentModule))
        return false;
    if (!mStopRequests.contains(module) && !isHeaterStop(request))
        return false;
    return ++mStopRequests[module] > mFaults.silentInStop;
}

void PtyServer::send(const QByteArray& bytes)
{
    const int pieces = qBound(1, mFaults.splitPieces, bytes.size());
    const int size = (bytes.size() + pieces - 1) / pieces;
    writeNow(bytes.left(size));
    for (int i = 1; i < pieces; ++i) {
        const QByteArray piece = bytes.mid(i * size, size);
        QTimer::singleShot(i * mFaults.splitGapMs, this, [this, piece] { writeNow(piece); });
    }
}

void PtyServer::writeNow(const QByteArray& bytes)
{
    if (mMaster < 0 || bytes.isEmpty())
        return;
    if (!mFaults.pace) {
        if (::write(mMaster, bytes.constData(), size_t(bytes.size())) < 0)
            qWarning("write to the terminal failed: %s", std::strerror(errno));
        return;
    }
    for (char byte : bytes) {
        QThread::usleep(ByteMicroseconds);
        if (::write(mMaster, &byte, 1) < 0)
            return;
    }
}

void PtyServer::vanish()
{
    delete mNotifier;
    mNotifier = nullptr;
    ::close(mSlave);
    ::close(mMaster);
    mSlave = mMaster = -1;
    emit vanished();
}
