#pragma once

#include "instrument/Command.h"
#include "instrument/ConnectData.h"
#include "method/ControlElement.h"

#include <QString>
#include <QVector>

class SMethod;

// One step of a run as the commands it sends, in order. Whoever plays it sends the current
// command, settles its outcome once its attempts are over, and goes on until the plan is done;
// then the plan gives the step's result and, for the kinds that measure, its report. A reading
// ends at its first position that fails: the step fails anyway, and every further position would
// cost the link its own unanswered read windows.
class StepPlan
{
public:
    StepPlan() = default;
    StepPlan(const ControlElement& element, const SMethod& method, char number);
    // A plan of one command that is no step of a run (the idle check's reading).
    explicit StepPlan(const Command& command);

    bool done() const { return mNext >= mCommands.size(); }
    const Command& current() const { return mCommands[mNext]; }
    // The outcome of the current command, after its last attempt.
    void settle(int result, const QByteArray& reply);
    // 0, or the failure code of the step.
    int result() const;
    const ControlElement& element() const { return mElement; }
    bool reports() const;
    // The step's report; previous is the module's last one, which carries its counters.
    ConnectData report(const ConnectData& previous, char number) const;
    // The log line after the step: kind, result, what it set or read, its last frames.
    QString describe(const QString& sent, const QString& received) const;

private:
    bool isReading() const;

    ControlElement mElement;
    QVector<Command> mCommands;
    QVector<int> mResults;
    QVector<QByteArray> mReplies;
    int mNext = 0;
    int mChannels = 0;
    int mPositions = 0;
};
