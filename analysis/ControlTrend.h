#pragma once

#include <QDateTime>
#include <QString>
#include <QVector>

// One control's Ct over runs as a Levey–Jennings series: its mean and SD from a baseline (the first
// runs, or the runs of a period the lab fixes), and the runs that break the Westgard rules 1-3s,
// 2-2s, R-4s, 4-1s and 10-x. A run whose control has no Ct is a point without a value, marked
// "no-ct", and is left out of the baseline and the rules' runs of points.
struct ControlTrend
{
    struct Point
    {
        QString experiment;
        QDateTime time;
        double ct = qQNaN();
    };
    struct Violation
    {
        QString rule; // "1-3s", "2-2s", "R-4s", "4-1s", "10-x" or "no-ct"
        QString experiment;
        int point = 0; // the index of the point that completes it
    };

    static constexpr int BaselineRuns = 20;

    QVector<Point> points; // in time order
    double mean = qQNaN();
    double sd = qQNaN();
    int baseline = 0; // the points the mean and SD come from
    QVector<Violation> violations;

    // points in any order; from/to, when valid, fix the baseline period instead of the first runs.
    static ControlTrend of(QVector<Point> points, const QDateTime& from = QDateTime(), const QDateTime& to = QDateTime());
};
