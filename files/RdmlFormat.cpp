#include "files/RdmlFormat.h"

#include "method/RecordLimits.h"

#include <QLocale>
#include <QStringList>
#include <cmath>

namespace RdmlFormat {

namespace {
const QString NotePrefix = QStringLiteral("tamarin analysis: ");
}

QString number(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString settingsNote(const TargetInfo& t)
{
    return NotePrefix
        + QStringList{QString::number(t.AutoThreshold), number(t.Threshold), QString::number(t.AutoRange),
                      QString::number(t.Start), QString::number(t.End), number(t.BorderThreshold), number(t.CtThreshold)}
              .join(';');
}

bool readSettingsNote(const QString& note, TargetInfo& t)
{
    if (!note.startsWith(NotePrefix))
        return false;
    const QStringList v = note.mid(NotePrefix.size()).split(';');
    if (v.size() != 7)
        return false;
    bool ok[7];
    TargetInfo r = t;
    r.AutoThreshold = v[0].toInt(&ok[0]);
    r.Threshold = v[1].toDouble(&ok[1]);
    r.AutoRange = v[2].toInt(&ok[2]);
    r.Start = v[3].toInt(&ok[3]);
    r.End = v[4].toInt(&ok[4]);
    r.BorderThreshold = v[5].toDouble(&ok[5]);
    r.CtThreshold = v[6].toDouble(&ok[6]);
    for (bool b : ok)
        if (!b)
            return false;
    const auto finite = [](double x) { return std::isfinite(x) && std::fabs(x) <= 1e9; };
    if (!RecordLimits::countInRange(r.AutoThreshold, 1000) || !RecordLimits::countInRange(r.AutoRange, 1000)
        || !RecordLimits::countInRange(r.Start, RecordLimits::MaxReadings) || !RecordLimits::countInRange(r.End, RecordLimits::MaxReadings)
        || !finite(r.Threshold) || !finite(r.BorderThreshold) || !finite(r.CtThreshold))
        return false;
    t = r;
    return true;
}

}
