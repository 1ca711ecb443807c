#pragma once

#include "files/ExperimentExport.h"

class OutData;
class QWidget;

// Exports an experiment the way every page does: the save dialog proposes proposedBase with the
// format's suffix, the file is written, and the operator is told where it went, or that it
// failed. runId names the run in an RDML file; records are the store's rows of the experiment
// (signatures, lock) for the Excel report and the CSV table. Returns the file written, empty
// when none was.
QString exportExperiment(QWidget* parent, const OutData& data, ExperimentExport::Format format, const QString& proposedBase,
                         const QString& runId, const QVector<QStringList>& records = {});
