#include "records/StoreThread.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QMutex>
#include <QMutexLocker>
#include <QWaitCondition>

#include <memory>

namespace {

// A window a person closes while its own call waits would be deleted under it: such a close is
// refused like their clicks, and may be asked again once the busy cursor is gone. The program's
// own closes (at the end of the last run, say) go through.
struct HoldCloses : QObject {
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::Close || !event->spontaneous())
            return false;
        event->ignore();
        return true;
    }
};

// One call's answer, shared by the caller and the store's thread.
struct Answer {
    QMutex mutex;
    QWaitCondition given;
    bool done = false;
    QEventLoop* loop = nullptr;
};

}

StoreThread::StoreThread(RecordSession& session, int momentMs) : mSession(session), mMomentMs(momentMs), mContext(new QObject)
{
    mThread.setObjectName(QStringLiteral("records"));
    mContext->moveToThread(&mThread);
    QObject::connect(&mThread, &QThread::finished, mContext, &QObject::deleteLater);
    mThread.start();
}

StoreThread::~StoreThread()
{
    // Calls posted before still reach the store: a run's last entries are among them. A thread
    // told to quit leaves what is still queued, so the queue is emptied first.
    QMetaObject::invokeMethod(mContext, [] {}, Qt::BlockingQueuedConnection);
    mThread.quit();
    mThread.wait();
}

void StoreThread::callNow(const std::function<void(RecordSession&)>& work)
{
    if (QThread::currentThread() == &mThread)
        return work(mSession);
    QMetaObject::invokeMethod(mContext, [this, &work] { work(mSession); }, Qt::BlockingQueuedConnection);
}

void StoreThread::post(std::function<void(RecordSession&)> work)
{
    QMetaObject::invokeMethod(mContext, [this, work = std::move(work)] { work(mSession); }, Qt::QueuedConnection);
}

void StoreThread::run(const std::function<void(RecordSession&)>& work)
{
    // A call made from a call (never the window's) is already where it belongs.
    if (QThread::currentThread() == &mThread)
        return work(mSession);
    auto answer = std::make_shared<Answer>();
    QMetaObject::invokeMethod(mContext, [this, answer, &work] {
        work(mSession);
        QMutexLocker lock(&answer->mutex);
        answer->done = true;
        answer->given.wakeAll();
        if (answer->loop)
            QMetaObject::invokeMethod(answer->loop, &QEventLoop::quit, Qt::QueuedConnection);
    }, Qt::QueuedConnection);
    QMutexLocker lock(&answer->mutex);
    if (!answer->done)
        answer->given.wait(&answer->mutex, mMomentMs);
    if (answer->done)
        return;
    // Before the program's event loop there is nothing to keep going.
    if (!QCoreApplication::instance()) {
        while (!answer->done)
            answer->given.wait(&answer->mutex);
        return;
    }
    QEventLoop loop;
    answer->loop = &loop;
    lock.unlock();
    if (mWaitSign)
        mWaitSign(true);
    HoldCloses closes;
    QCoreApplication::instance()->installEventFilter(&closes);
    ++mWaiting;
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    --mWaiting;
    QCoreApplication::instance()->removeEventFilter(&closes);
    // The loop also ends when the program is asked to quit: the answer is waited for all the same.
    lock.relock();
    answer->loop = nullptr;
    while (!answer->done)
        answer->given.wait(&answer->mutex);
    lock.unlock();
    if (mWaitSign)
        mWaitSign(false);
}
