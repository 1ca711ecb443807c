#pragma once

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QVector>

class QPainter;

// A line chart drawn as vector graphics for print: round ticks, a grid, one line per curve,
// dashed horizontal lines (thresholds) and points marked as dots (hollow: left out of what the
// lines show). Points that are no numbers are left out.
struct ReportChart
{
    // The curve colours on screen: blue for even channels, orange for odd ones.
    static QColor channelColour(int channel);

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
    struct Dots
    {
        QVector<QPointF> points;
        QColor colour;
        bool hollow = false;
    };

    QString title;
    QString xLabel;
    QString yLabel;
    QVector<Line> lines;
    QVector<Level> levels;
    QVector<Dots> dots;
    QColor titleColour = Qt::black;

    void draw(QPainter& painter, const QRectF& area) const;
};
