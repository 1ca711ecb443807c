#include "cli/QuantOptions.h"

#include "files/OutData.h"

#include <QCommandLineParser>

#include <cmath>

namespace QuantOptions {

namespace {
// An efficiency beyond this is no efficiency but an amplification factor (1 + E); below the
// least, a template is not amplified in any sense a fold change could be read from.
constexpr double MostEfficiency = 1.5;
constexpr double LeastEfficiency = 0.1;

QStringList targetNames(const OutData& data)
{
    QStringList names;
    for (const TargetInfos& hole : data.inData.method.holeTargets)
        for (const QString& name : hole.names)
            if (!name.isEmpty() && !names.contains(name))
                names << name;
    return names;
}
}

bool parseEfficiency(const QString& typed, double& fraction, QString& error)
{
    QString text = typed.trimmed();
    const bool percent = text.endsWith('%');
    if (percent)
        text = text.chopped(1).trimmed();
    bool ok = false;
    const double value = text.toDouble(&ok);
    fraction = percent ? value / 100 : value;
    if (!ok || !std::isfinite(fraction) || !(fraction >= LeastEfficiency)) {
        error = QString("%1 is no efficiency: give a fraction from 0.1 to 1.5 (0.95) or a percent (95%)").arg(typed);
        return false;
    }
    if (fraction > MostEfficiency) {
        error = percent ? QString("%1 is beyond 150 %: check the value").arg(typed)
                        : QString("%1 looks like an amplification factor (2 = perfect doubling); give the efficiency as a "
                                  "fraction (%2) or a percent (%3%)")
                              .arg(typed)
                              .arg(fraction - 1)
                              .arg(100 * (fraction - 1));
        return false;
    }
    return true;
}

QString apply(const QCommandLineParser& parser, OutData& data, QString& calibrator, QStringList& references)
{
    // Choices of quantification asked for anything else would be dropped without a word.
    if (!parser.isSet("quant")) {
        for (const char* option : {"calibrator", "reference", "efficiency"})
            if (parser.isSet(option))
                return QString("--%1 belongs to --quant").arg(option);
    } else if (parser.isSet("samples")) {
        return QString("--quant and --samples are two tables: ask for one");
    }
    if (parser.values("calibrator").size() > 1)
        return QString("--calibrator: one calibrator, not %1").arg(parser.values("calibrator").join(", "));
    const QStringList targets = targetNames(data);
    for (const QString& typed : parser.values("efficiency")) {
        const QString target = typed.section('=', 0, -2);
        double e = 0;
        QString error;
        if (!typed.contains('='))
            return QString("--efficiency %1: expected TARGET=E").arg(typed);
        if (!targets.contains(target))
            return QString("--efficiency: no target %1 in this experiment (targets: %2)").arg(target, targets.join(", "));
        if (!parseEfficiency(typed.section('=', -1), e, error))
            return "--efficiency " + target + ": " + error;
        data.inData.setup.efficiencies.insert(target, e);
    }
    references = parser.values("reference");
    for (const QString& reference : references)
        if (!targets.contains(reference))
            return QString("--reference: no target %1 in this experiment (targets: %2)").arg(reference, targets.join(", "));
    calibrator = parser.value("calibrator");
    if (parser.isSet("calibrator") && (calibrator.isEmpty() || !data.inData.sampleNames.contains(calibrator)))
        return QString("--calibrator: no sample named \"%1\" in this experiment").arg(calibrator);
    return QString();
}

}
