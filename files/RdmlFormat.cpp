#include "files/RdmlFormat.h"

#include "method/RecordLimits.h"

#include <QLocale>
#include <QRegularExpression>
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

namespace {
const QString ImportPrefix = QStringLiteral("RDML：");
const QString InstrumentPrefix = QStringLiteral("；仪器：");
}

QString importRemark(const QString& runName, const QString& instrument)
{
    return ImportPrefix + runName + (instrument.isEmpty() ? QString() : InstrumentPrefix + instrument);
}

QString instrumentOf(const QString& remark)
{
    if (!remark.startsWith(ImportPrefix) || !remark.contains(InstrumentPrefix))
        return QString();
    // Whatever the program appended after the import (a note on the run) is no part of the name.
    return remark.section(InstrumentPrefix, 1).section(QStringLiteral("；"), 0, 0);
}

bool readSettingsNote(const QString& note, TargetInfo& t)
{
    if (!note.startsWith(NotePrefix))
        return false;
    // Another tool may append its own remarks after ours (";indiv PCR eff is 1.687 < 1.7"):
    // the seven fields are read and whatever follows them is left alone.
    QStringList v = note.mid(NotePrefix.size()).split(';');
    if (v.size() < 7)
        return false;
    static const QRegularExpression leadingNumber(QStringLiteral("^[-+]?[0-9]*\\.?[0-9]+(?:[eE][-+]?[0-9]+)?"));
    v[6] = leadingNumber.match(v[6]).captured(0);
    v = v.mid(0, 7);
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
