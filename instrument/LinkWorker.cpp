#include "instrument/LinkWorker.h"

#include "app/UI.h"
#include "instrument/CommandSet.h"
#include "instrument/Engine.h"

#include <QDebug>
#include <QThread>
#include <QTimer>

#include <limits>

namespace {
// Loads a list in playing order so that its first element is on top.
QStack<ControlElement> asStack(const QStack<ControlElement>& list)
{
    QStack<ControlElement> stack;
    stack.reserve(list.size());
    for (auto it = list.crbegin(); it != list.crend(); ++it)
        stack.push(*it);
    return stack;
}
}

LinkWorker::LinkWorker(int tickMs, int waitMs)
    : mTickMs(qMax(1, tickMs)), mEngine(new Engine(waitMs, this)), mWake(new QTimer(this)), mSlots(5)
{
    mWake->setSingleShot(true);
    mWake->setTimerType(Qt::PreciseTimer);
    connect(mWake, &QTimer::timeout, this, &LinkWorker::serve);
    connect(mEngine, &Engine::signalLinkError, this, [this](QSerialPort::SerialPortError error) {
        linkDown();
        emit portOpen(false);
        emit linkError(error);
    });
}

void LinkWorker::begin()
{
    mClock.start();
}

qint64 LinkWorker::slotAtOrAfter(qint64 t, int number) const
{
    // Module n's steps fall on the turns n, n + 4, n + 8, ... of the tick, so that the modules
    // take the wire in the order 1, 2, 3, 4 when they are all due.
    const qint64 phase = number * qint64(mTickMs);
    if (t <= phase)
        return phase;
    return phase + (t - phase + stepMs() - 1) / stepMs() * stepMs();
}

void LinkWorker::play(const QStack<ControlElement>& steps, const SMethod& method, int number)
{
    ModuleSlot& s = mSlots[number];
    const qint64 now = mClock.elapsed();
    s.method = method;
    s.steps = asStack(steps);
    s.safeSteps.clear();
    s.running = true;
    s.stopped = false;
    s.passFailed = false;
    s.stopOwed = false;
    s.linkDownSince = mEngine->isOpen() ? -1 : now;
    s.longestOutageMs = 0;
    s.data.pcrIndex = number;
    s.data.cycle = 0;
    s.data.meltStep = 0;
    s.data.totalCount = s.steps.size();
    s.data.residueCount = s.data.totalCount;
    s.nextStepAt = slotAtOrAfter(now, number);
    qInfo() << "PCR" << number << "plays" << steps.size() << "steps";
    arm();
}

void LinkWorker::stop(int number)
{
    ModuleSlot& s = mSlots[number];
    if (!s.running || s.stopped)
        return;
    s.steps = asStack(s.method.getStopCmd());
    s.data.totalCount = s.steps.size();
    s.stopped = true;
    qInfo() << "PCR" << number << "stops: playing its stop sequence";
    arm();
}

void LinkWorker::makeSafe(int number, const SMethod& method)
{
    ModuleSlot& s = mSlots[number];
    s.method = method;
    s.safeSteps = asStack(method.getStopCmd());
    s.passFailed = false;
    s.nextStepAt = slotAtOrAfter(mClock.elapsed(), number);
    arm();
}

void LinkWorker::beginDueStep(int number, qint64 now)
{
    ModuleSlot& s = mSlots[number];
    const bool safe = !s.running && !s.safeSteps.isEmpty() && mEngine->isOpen();
    if (s.activity != ModuleSlot::Activity::None || (!s.running && !safe) || s.nextStepAt > now)
        return;
    if (now - s.nextStepAt > MaxBehindSteps * stepMs()) {
        // Far behind (the machine was suspended, say): playing the owed steps back to back would
        // cut the holds short, so they are given up.
        qDebug() << "PCR" << number << (now - s.nextStepAt) << "ms behind; resuming the normal pace";
        s.nextStepAt = slotAtOrAfter(now, number);
        if (s.nextStepAt > now)
            return;
    }
    const qint64 due = s.nextStepAt;
    s.nextStepAt += stepMs();
    if (!s.running)
        return startStep(number, StepPlan(s.safeSteps.pop(), s.method, char(number)), ModuleSlot::Activity::Safe, due);
    if (s.steps.isEmpty())
        return endRun(number);
    const ControlElement step = s.steps.pop();
    s.data.residueCount = s.steps.size();
    startStep(number, StepPlan(step, s.method, char(number)), ModuleSlot::Activity::Run, due);
}

void LinkWorker::startStep(int number, const StepPlan& plan, ModuleSlot::Activity activity, qint64 due)
{
    ModuleSlot& s = mSlots[number];
    s.step = plan;
    s.activity = activity;
    s.dueAt = due;
    if (s.step.done())
        return endStep(number);
    s.attemptsLeft = triesOf(s);
}

int LinkWorker::triesOf(const ModuleSlot& slot) const
{
    // The stop sequence owed by a failed run goes to a module that most likely does not answer:
    // each command is tried once, and the sequence is played again in full once the module answers.
    return slot.activity == ModuleSlot::Activity::Safe ? 1 : qMax(1, slot.step.current().tries);
}

void LinkWorker::serve()
{
    const qint64 now = mClock.elapsed();
    for (int number = 1; number <= 4; ++number)
        beginDueStep(number, now);
    // One attempt per call, to the module whose command is due longest: run, stop and probe
    // requests from the window get in between.
    int chosen = -1;
    for (int number = 1; number <= 4; ++number) {
        const ModuleSlot& s = mSlots[number];
        if (s.activity != ModuleSlot::Activity::None && s.dueAt <= now && (chosen < 0 || s.dueAt < mSlots[chosen].dueAt))
            chosen = number;
    }
    if (chosen > 0)
        exchange(chosen);
    arm();
}

void LinkWorker::arm()
{
    if (!mClock.isValid())
        return;
    qint64 next = std::numeric_limits<qint64>::max();
    for (int number = 1; number <= 4; ++number) {
        const ModuleSlot& s = mSlots[number];
        if (s.activity != ModuleSlot::Activity::None)
            next = qMin(next, s.dueAt);
        else if (s.running || (!s.safeSteps.isEmpty() && mEngine->isOpen()))
            next = qMin(next, s.nextStepAt);
    }
    if (next == std::numeric_limits<qint64>::max())
        return mWake->stop();
    mWake->start(int(qBound<qint64>(0, next - mClock.elapsed(), 60000)));
}

void LinkWorker::exchange(int number)
{
    ModuleSlot& s = mSlots[number];
    const Command command = s.step.current();
    const qint64 now = mClock.elapsed();
    // After an unanswered request the module's late reply may still come; only the same request
    // may go meanwhile (its reply answers both). The other modules use the wire in the meantime.
    if (now < s.quietUntil && command.request != s.unanswered) {
        s.dueAt = s.quietUntil;
        return;
    }
    const bool resend = command.request == s.unanswered && now < s.quietUntil;
    QByteArray reply;
    const int result = mEngine->attempt(command, reply);
    if (result == Engine::SERIALPORT_NO_ERROR) {
        // The reply a resend takes may be the first attempt's, late; the resend's own may still
        // come, so the module's next request waits until it would have.
        s.unanswered.clear();
        s.quietUntil = resend ? now + 2 * mEngine->readWindowMs() : 0;
    } else if (result != Engine::SERIALPORT_WRITE_ERROR) {
        s.unanswered = command.request;
        s.quietUntil = now + 2 * mEngine->readWindowMs();
        if (--s.attemptsLeft > 0) {
            // The resend waits behind every other module's command that is due by now.
            s.dueAt = mClock.elapsed();
            return;
        }
    }
    s.step.settle(result, reply);
    if (s.step.done())
        return endStep(number);
    s.attemptsLeft = triesOf(s);
}

void LinkWorker::endStep(int number)
{
    ModuleSlot& s = mSlots[number];
    const StepPlan step = s.step;
    const ModuleSlot::Activity activity = s.activity;
    s.step = StepPlan();
    s.activity = ModuleSlot::Activity::None;
    const int result = step.result();
    const ControlElement& e = step.element();
    if (activity == ModuleSlot::Activity::Check)
        return checkAnswered(number, result == Engine::SERIALPORT_NO_ERROR);
    if (activity == ModuleSlot::Activity::Safe) {
        if (result != Engine::SERIALPORT_NO_ERROR) {
            qDebug() << "safe state: step" << controlKindName(e.kind) << "failed on module" << number;
            s.passFailed = true;
        }
        if (s.safeSteps.isEmpty())
            endSafePass(number);
        return;
    }
    if (step.reports()) {
        s.data = step.report(s.data, char(number));
        emit connectData(s.data);
    }
    qDebug().noquote() << step.describe(mEngine->SendData(), mEngine->RecData());
    if (result == Engine::SERIALPORT_NO_ERROR)
        return;
    qDebug() << "ControlElement:{" << e.kind << "," << e.aux << "," << e.upTemp << "," << e.downTemp << ",};" << number << result;
    // The heaters must not stay where the failed run left them.
    qWarning() << "PCR" << number << "failed at step" << controlKindName(e.kind) << "with" << s.steps.size()
               << "steps left; playing its stop sequence";
    s.running = false;
    s.safeSteps = asStack(s.method.getStopCmd());
    s.passFailed = false;
    const bool linkBroken = result == Engine::SERIALPORT_WRITE_ERROR || !mEngine->isOpen();
    emit reactInfo(Machine::REACT_ERROR, char(number), (linkBroken ? UI::LinkBroken : UI::NoAnswer).arg(number));
}

void LinkWorker::endSafePass(int number)
{
    ModuleSlot& s = mSlots[number];
    s.stopOwed = s.passFailed;
    s.passFailed = false;
    if (!s.stopOwed)
        return emit safeState(char(number));
    qWarning() << "PCR" << number << "did not answer its whole stop sequence; it is played again once the module answers";
    emit stopUnanswered(char(number));
}

void LinkWorker::endRun(int number)
{
    ModuleSlot& s = mSlots[number];
    s.running = false;
    qint64 outage = s.longestOutageMs;
    if (s.linkDownSince >= 0)
        outage = qMax(outage, mClock.elapsed() - s.linkDownSince);
    Machine::REACT_INFO info = s.stopped ? Machine::REACT_STOPPED : Machine::REACT_FINISHED;
    QString note;
    if (outage > stepMs()) {
        // Its set-points may not have held while nothing reached the module.
        note = QStringLiteral("连接中断%1秒，温度设定可能未保持").arg((outage + 500) / 1000);
        if (info == Machine::REACT_FINISHED)
            info = Machine::REACT_LINK_LOST;
        qWarning() << "PCR" << number << "played its steps, but the link was down for" << outage << "ms: the run is incomplete";
    }
    qInfo() << "PCR" << number << (s.stopped ? "stopped; its stop sequence played" : "finished its step list");
    emit reactInfo(info, char(number), note);
}

void LinkWorker::linkDown()
{
    const qint64 now = mClock.elapsed();
    for (ModuleSlot& s : mSlots)
        if (s.running && s.linkDownSince < 0)
            s.linkDownSince = now;
}

void LinkWorker::linkUp()
{
    const qint64 now = mClock.elapsed();
    for (ModuleSlot& s : mSlots) {
        if (s.linkDownSince >= 0)
            s.longestOutageMs = qMax(s.longestOutageMs, now - s.linkDownSince);
        s.linkDownSince = -1;
        s.missedChecks = 0;
    }
}

MachineData LinkWorker::probe()
{
    MachineData data;
    data.isSync = true;
    data.pcrModels = QVector<quint8>(5, 0);
    if (mEngine->isOpen())
        linkDown();
    for (const QString& port : mEngine->getCurrentComList()) {
        mEngine->closeCom();
        if (mEngine->initCom(port) != 0) {
            qDebug() << "cannot open port" << port << mEngine->errorString();
            mEngine->closeCom();
            continue;
        }
        // A read only: a module that plays a run (its link lost for a moment) must not be sent
        // a set-point or a stop.
        for (int i = 0; i < 5; ++i) {
            double celsius = 0.0;
            const bool answered = mEngine->getTemp(Engine::TEC_UP, celsius, char(i), 1) == Engine::SERIALPORT_NO_ERROR;
            data.pcrModels[i] = answered ? quint8(i) : 0;
            if (answered) {
                data.isOpen = i != 0 || data.isOpen;
                data.comName = port;
            }
        }
        if (!data.hasPcrModel()) {
            mEngine->closeCom();
            data.isOpen = false;
            data.comName.clear();
        }
        if (data.isOpen)
            break;
    }
    const QString configured = Engine::configuredPort();
    if (!configured.isEmpty() && data.comName != configured)
        data.silentPort = configured;
    if (mEngine->isOpen())
        linkUp();
    emit portOpen(mEngine->isOpen());
    arm();
    return data;
}

void LinkWorker::probeAndReport()
{
    emit probed(probe());
}

void LinkWorker::check(const MachineData& known)
{
    if (mChecksLeft > 0)
        return; // the check under way answers this one too
    mCheckData = known;
    mCheckData.pcrModels.resize(5);
    if (!mEngine->isOpen()) {
        mCheckData.isOpen = false;
        return emit checked(mCheckData);
    }
    // Modules that were absent are asked one per check, since each one that stays silent costs
    // the wire a read window; a module that plays a run or a stop sequence keeps its place.
    const qint64 now = mClock.elapsed();
    int absentAsked = 0;
    for (int k = 0; k < 4; ++k) {
        const int number = (mNextAbsent - 1 + k) % 4 + 1;
        ModuleSlot& s = mSlots[number];
        if (s.running || !s.safeSteps.isEmpty() || s.activity != ModuleSlot::Activity::None)
            continue;
        const bool wasPresent = mCheckData.pcrModels[number] != 0;
        if (!wasPresent && absentAsked++ > 0)
            continue;
        if (!wasPresent)
            mNextAbsent = number % 4 + 1;
        s.step = StepPlan(CommandSet::getTemp(Engine::TEC_UP, char(number), 1));
        s.activity = ModuleSlot::Activity::Check;
        s.dueAt = now;
        s.attemptsLeft = 1;
        ++mChecksLeft;
    }
    if (mChecksLeft == 0) {
        mCheckData.isOpen = mCheckData.hasPcrModel();
        return emit checked(mCheckData);
    }
    arm();
}

void LinkWorker::checkAnswered(int number, bool answered)
{
    ModuleSlot& s = mSlots[number];
    if (answered) {
        s.missedChecks = 0;
        mCheckData.pcrModels[number] = quint8(number);
        if (s.stopOwed) {
            qDebug() << "module" << number << "answers again: its stop sequence is played once more";
            s.stopOwed = false;
            s.safeSteps = asStack(s.method.getStopCmd());
            emit safing(char(number));
        }
    } else if (++s.missedChecks >= MaxMissedChecks) {
        mCheckData.pcrModels[number] = 0;
    }
    if (--mChecksLeft > 0)
        return;
    mCheckData.isOpen = mCheckData.hasPcrModel() && mEngine->isOpen();
    emit checked(mCheckData);
}

void LinkWorker::closePort()
{
    mEngine->closeCom();
    linkDown();
    emit portOpen(false);
}

void LinkWorker::finish(QThread* home)
{
    mWake->stop();
    delete mWake;
    delete mEngine;
    mWake = nullptr;
    mEngine = nullptr;
    moveToThread(home);
}
