#include "files/ReportChart.h"

#include "app/AxisSteps.h"
#include "files/PdfPages.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

struct Range
{
    double lo = INFINITY;
    double hi = -INFINITY;
    void take(double v)
    {
        if (std::isfinite(v)) {
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    }
    bool empty() const { return !(hi >= lo); }
};

QString tickText(double v, double step)
{
    return step >= 1 ? QString::number(std::round(v), 'f', 0) : QString::number(v, 'f', 2);
}

}

QColor ReportChart::channelColour(int channel)
{
    return channel % 2 ? QColor(255, 153, 63) : QColor(0, 19, 255);
}

void ReportChart::draw(QPainter& p, const QRectF& area) const
{
    Range xs, ys;
    const auto take = [&](const QVector<QPointF>& points) {
        for (const QPointF& pt : points)
            if (std::isfinite(pt.x()) && std::isfinite(pt.y())) {
                xs.take(pt.x());
                ys.take(pt.y());
            }
    };
    for (const Line& line : lines)
        take(line.points);
    for (const Dots& d : dots)
        take(d.points);
    for (const Level& level : levels)
        ys.take(level.y);
    p.setFont(PdfPages::font(8, true));
    p.setPen(titleColour);
    p.drawText(QRectF(area.left(), area.top(), area.width(), 12), Qt::AlignLeft | Qt::AlignVCenter, title);
    p.setPen(Qt::black);
    const QRectF plot(area.left() + 42, area.top() + 16, area.width() - 50, area.height() - 40);
    p.setPen(QPen(Qt::black, 0.6));
    p.drawRect(plot);
    if (xs.empty() || ys.empty())
        return;
    if (xs.hi == xs.lo && dots.isEmpty())
        xs.hi = xs.lo + 1;
    // Dots are whole only off the frame: room on either side of them.
    const double xPad = dots.isEmpty() ? 0 : (xs.hi - xs.lo) * 0.05 + (xs.hi == xs.lo ? 0.5 : 0);
    xs.lo -= xPad;
    xs.hi += xPad;
    const double pad = (ys.hi - ys.lo) * 0.05 + (ys.hi == ys.lo ? 1 : 0);
    ys.lo -= pad;
    ys.hi += pad;
    const auto at = [&](double x, double y) {
        return QPointF(plot.left() + (x - xs.lo) / (xs.hi - xs.lo) * plot.width(),
                       plot.bottom() - (y - ys.lo) / (ys.hi - ys.lo) * plot.height());
    };

    p.setFont(PdfPages::font(6));
    const double xStep = AxisSteps::niceStep(xs.hi - xs.lo, 8);
    const double yStep = AxisSteps::niceStep(ys.hi - ys.lo, 6);
    for (double x = std::ceil(xs.lo / xStep) * xStep; x <= xs.hi + xStep * 1e-9; x += xStep) {
        const QPointF bottom = at(x, ys.lo);
        p.setPen(QPen(QColor(225, 225, 225), 0.4));
        p.drawLine(bottom, QPointF(bottom.x(), plot.top()));
        p.setPen(Qt::black);
        p.drawText(QRectF(bottom.x() - 20, plot.bottom() + 2, 40, 9), Qt::AlignCenter, tickText(x, xStep));
    }
    for (double y = std::ceil(ys.lo / yStep) * yStep; y <= ys.hi + yStep * 1e-9; y += yStep) {
        const QPointF left = at(xs.lo, y);
        p.setPen(QPen(QColor(225, 225, 225), 0.4));
        p.drawLine(left, QPointF(plot.right(), left.y()));
        p.setPen(Qt::black);
        p.drawText(QRectF(plot.left() - 41, left.y() - 5, 38, 10), Qt::AlignRight | Qt::AlignVCenter, tickText(y, yStep));
    }
    p.drawText(QRectF(plot.left(), plot.bottom() + 11, plot.width(), 10), Qt::AlignCenter, xLabel);
    p.save();
    p.translate(area.left() + 6, plot.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-plot.height() / 2, -6, plot.height(), 10), Qt::AlignCenter, yLabel);
    p.restore();

    p.save();
    p.setClipRect(plot);
    for (const Line& line : lines) {
        QPainterPath path;
        bool started = false;
        for (const QPointF& pt : line.points) {
            if (!std::isfinite(pt.x()) || !std::isfinite(pt.y())) {
                started = false;
                continue;
            }
            started ? path.lineTo(at(pt.x(), pt.y())) : path.moveTo(at(pt.x(), pt.y()));
            started = true;
        }
        p.setPen(QPen(line.colour, 0.7));
        p.drawPath(path);
    }
    for (const Level& level : levels) {
        p.setPen(QPen(level.colour, 0.7, Qt::DashLine));
        p.drawLine(at(xs.lo, level.y), at(xs.hi, level.y));
    }
    for (const Dots& d : dots) {
        p.setPen(QPen(d.colour, 0.8));
        p.setBrush(d.hollow ? QBrush(Qt::white) : QBrush(d.colour));
        for (const QPointF& pt : d.points)
            if (std::isfinite(pt.x()) && std::isfinite(pt.y()))
                p.drawEllipse(at(pt.x(), pt.y()), 2.2, 2.2);
    }
    p.restore();
}
