#pragma once

#include <QString>
#include <QStringList>

class OutData;
class QCommandLineParser;

// The relative-quantification choices typed on the command line, checked against the experiment:
// a name that is not in it, or an efficiency in the wrong convention, is an error, never an empty
// or 16-fold wrong result.
namespace QuantOptions {

// An efficiency as a fraction (0.95) or a percent ("95%"); false, with why, for anything else,
// such as an amplification factor (1.95, as other programs write it).
bool parseEfficiency(const QString& typed, double& fraction, QString& error);
// Takes --efficiency into the record's setup and --calibrator and --references into the given
// strings; the reason when any of them names nothing in the experiment.
QString apply(const QCommandLineParser& parser, OutData& data, QString& calibrator, QStringList& references);

}
