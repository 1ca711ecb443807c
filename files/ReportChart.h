#pragma once

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QVector>

class QPainter;

// A line chart drawn as vector graphics for print: round ticks, a grid, one line per curve and
// dashed horizontal lines (thresholds). Points that are no numbers are left out.
struct ReportChart
{
    struct Line
    {
        QVector<QPointF> points;
        QColor colour;
    };
    struct Level
    {
        double y = 0;
        QColor colour;
    };

    QString title;
    QString xLabel;
    QString yLabel;
    QVector<Line> lines;
    QVector<Level> levels;

    void draw(QPainter& painter, const QRectF& area) const;
};
