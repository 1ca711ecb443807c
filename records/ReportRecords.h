#pragma once

#include "files/PdfReport.h"
#include "records/ExperimentRef.h"

class RecordSession;

// What the store knows for an experiment's printed report: who started its run, its signatures
// that hold, and whether the file still is the one they signed.
namespace ReportRecords {

ReportFacts facts(RecordSession& session, const ExperimentRef& experiment, const QString& path, const QString& header);
// The same for a workbook or table: a row per signature that holds (签名, who, meaning, time),
// the lock state and the store's id. Empty while users are off.
QVector<QStringList> exportRows(RecordSession& session, const ExperimentRef& experiment, const QString& path);

}
