#pragma once

#include "method/TargetInfo.h"

#include <QDataStream>
#include <QVector>

// The targets of one hole: parallel vectors, entry c belonging to channel c.
struct TargetInfos
{
    QVector<QString> names;
    QVector<int> AutoThreshold;
    QVector<double> Threshold;
    QVector<int> AutoRange;
    QVector<int> Start;
    QVector<int> End;
    QVector<double> BorderThreshold;
    QVector<double> CtThreshold;

    // The target of one channel; a channel the vectors do not reach reads as a default target.
    TargetInfo at(int channel) const;
    void append(const TargetInfo& target);
    // Replaces channel's settings (its name too when withName), growing the vectors if needed.
    void set(int channel, const TargetInfo& target, bool withName);

    bool operator==(const TargetInfos& o) const;
};

QDataStream& operator<<(QDataStream& s, const TargetInfos& t);
QDataStream& operator>>(QDataStream& s, TargetInfos& t);
QDataStream& operator<<(QDataStream& s, const QVector<TargetInfos>& v);
QDataStream& operator>>(QDataStream& s, QVector<TargetInfos>& v);
