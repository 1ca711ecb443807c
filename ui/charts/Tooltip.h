#pragma once

#include <QFont>
#include <QGraphicsItem>
#include <QPainterPath>

namespace QtCharts {
class QChart;
}

// A call-out on a chart: a rounded box with the text and, when the anchor lies outside it, a
// pointer toward the anchor point. It can be dragged away with the left button.
class Tooltip : public QGraphicsItem
{
public:
    explicit Tooltip(QtCharts::QChart* chart);

    void setText(const QString& text);
    // The anchor in the chart's value coordinates.
    void setAnchor(QPointF point);
    void updateGeometry();
    // Shows text at the anchor point, above the curves.
    void showAt(QPointF point, const QString& text);

    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent* event) override;

private:
    QPainterPath pointer(QPointF anchor) const;

    QtCharts::QChart* mChart;
    QString mText;
    QRectF mTextRect;
    QRectF mRect;
    QPointF mAnchor;
    QFont mFont;
};
