#pragma once

#include <QByteArray>
#include <QString>

class OutData;

// An experiment as RDML 1.3, for the lab's other qPCR tools: dyes, targets (the internal control
// as reference), samples, the thermal programme and one run whose reactions are the used holes
// (numbered as the program numbers them, on a one-row plate of the chip's holes), each with its
// raw amplification and melt points, Cq and Tm. runId names the run (the file's name).
namespace RdmlExport {

QByteArray xml(const OutData& data, const QString& runId);
// The archive: rdml_data.xml, zipped. False when it could not be written.
bool save(const OutData& data, const QString& runId, const QString& path);

}
