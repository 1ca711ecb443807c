#pragma once

#include <QDateTime>
#include <QString>

class OutData;
struct LisOptions;
struct ReportFacts;

// Where result messages for the LIS are written: whole or not at all (a temporary file renamed
// into place), so that a LIS watching the folder never reads half a message.
namespace LisOutbox {

// Why the experiment's results are not to be sent, or empty: a run that did not play to its end
// or whose controls make it invalid, unless the lab sends those too; a record without results.
QString refusal(const OutData& data, const LisOptions& options);
// Writes the message to path unless refused. Empty on success, otherwise why not.
QString write(const OutData& data, const ReportFacts& facts, const LisOptions& options, const QString& path,
              const QDateTime& now = QDateTime::currentDateTime());
// Into the lab's drop folder as EXPERIMENT-TIME.hl7; written names the file. Empty on success.
QString drop(const OutData& data, const ReportFacts& facts, const LisOptions& options, QString& written);

}
