#pragma once

#include "instrument/ConnectData.h"
#include "instrument/StepPlan.h"
#include "method/SMethod.h"

#include <QStack>

// What the link's thread keeps of one PCR module: the run it plays, the stop sequence it still
// owes after a failure, the step under way and when the module may next use the wire.
struct ModuleSlot
{
    // What the step under way belongs to.
    enum class Activity { None, Run, Safe, Check };

    SMethod method;
    QStack<ControlElement> steps;     // the run's steps still to play, next on top
    QStack<ControlElement> safeSteps; // the stop sequence a failed run still owes, next on top
    bool running = false;
    bool stopped = false;   // the run was ended early: its stop sequence replaced its steps
    bool passFailed = false; // a command of the stop sequence under way went unanswered
    bool stopOwed = false;   // the last pass of the stop sequence was not answered in full
    ConnectData data;       // the last report, carrier of the counters

    Activity activity = Activity::None;
    StepPlan step;
    int attemptsLeft = 0;       // of the step's current command
    qint64 nextStepAt = 0;      // when the module's next step is due
    qint64 dueAt = 0;           // when the step's current command may go on the wire
    qint64 quietUntil = 0;      // a late reply to an unanswered request or a resend may come until then...
    QByteArray unanswered;      // ...to this request, which may therefore be sent again at once

    qint64 linkDownSince = -1;  // the port went down while the run played
    qint64 longestOutageMs = 0; // the longest time the run's module could not be reached
    int missedChecks = 0;       // idle checks in a row without an answer
};
