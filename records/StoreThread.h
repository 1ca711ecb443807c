#pragma once

#include <QThread>

#include <functional>
#include <optional>
#include <type_traits>
#include <utility>

class RecordSession;

// The record store's own thread: every call of the window's session runs there, one at a time,
// so that a store slow to answer (another program's lock, a server gone quiet) never stops the
// window. The caller waits for the answer; after a moment it keeps its events going meanwhile (the
// link's readings, timers, drawing), all but a person's input, which waits for the answer.
class StoreThread
{
public:
    // The session is the caller's; it outlives this thread. momentMs: how long the caller waits
    // stopped before it keeps its events going; short, since its timers and drawing wait meanwhile,
    // long enough that most calls (a few milliseconds) answer within it.
    explicit StoreThread(RecordSession& session, int momentMs = 20);
    ~StoreThread();
    StoreThread(const StoreThread&) = delete;
    StoreThread& operator=(const StoreThread&) = delete;

    // Shown (true) while a call waits longer than a moment, taken away (false) when it returns.
    void setWaitSign(std::function<void(bool)> sign) { mWaitSign = std::move(sign); }

    // Whether the caller's thread is in a call's wait: what its timers start then (a lock for
    // login, say) had better wait for the answer too.
    bool waiting() const { return mWaiting > 0; }

    // work(session) on the store's thread; its result once it returns.
    template <class Work>
    auto call(Work&& work) -> decltype(work(std::declval<RecordSession&>()))
    {
        using Result = decltype(work(std::declval<RecordSession&>()));
        if constexpr (std::is_void_v<Result>) {
            run([&work](RecordSession& session) { work(session); });
        } else {
            std::optional<Result> result;
            run([&work, &result](RecordSession& session) { result.emplace(work(session)); });
            return std::move(*result);
        }
    }
    // work(session) there, the caller stopped meanwhile: for start-up, before any window or timer.
    void callNow(const std::function<void(RecordSession&)>& work);
    // work(session) there without waiting: after every call asked before it, before every later one.
    void post(std::function<void(RecordSession&)> work);

private:
    void run(const std::function<void(RecordSession&)>& work);

    RecordSession& mSession;
    const int mMomentMs;
    QThread mThread;
    QObject* mContext;
    std::function<void(bool)> mWaitSign;
    int mWaiting = 0;
};
