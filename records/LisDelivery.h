#pragma once

#include <QString>

class RecordSession;
class Settings;

// Results go to the lab's LIS drop folder when its settings ask for them at that moment: once an
// experiment is approved (a signature meaning 批准), and at the end of each run when "LIS/
// SendAfterRun" is on. What was sent, or why not, goes to the audit trail and to the caller to say.
namespace LisDelivery {

enum class Moment { RunEnded, Approved };

// Whether a signature of this meaning sends the results on: an approval (批准), not a review.
bool sends(const QString& meaning);

// Empty when the settings ask for nothing at this moment; otherwise what happened, as a person
// reads it. sent: whether a message was written.
QString deliver(RecordSession& session, const Settings& settings, const QString& path, Moment moment, bool& sent);

}
