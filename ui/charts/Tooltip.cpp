#include "ui/charts/Tooltip.h"

#include <QChart>
#include <QFontMetrics>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>

Tooltip::Tooltip(QtCharts::QChart* chart) : QGraphicsItem(chart), mChart(chart)
{
    hide();
}

void Tooltip::setText(const QString& text)
{
    mText = text;
    const QFontMetrics metrics(mFont);
    mTextRect = metrics.boundingRect(QRect(0, 0, 150, 150), Qt::AlignLeft, mText);
    mTextRect.translate(5, 5);
    prepareGeometryChange();
    mRect = mTextRect.adjusted(-5, -5, 5, 5);
}

void Tooltip::setAnchor(QPointF point)
{
    mAnchor = point;
}

void Tooltip::updateGeometry()
{
    prepareGeometryChange();
    setPos(mChart->mapToPosition(mAnchor) + QPoint(10, -50));
}

void Tooltip::showAt(QPointF point, const QString& text)
{
    setText(text);
    setAnchor(point);
    setZValue(11);
    updateGeometry();
    show();
}

QRectF Tooltip::boundingRect() const
{
    const QPointF anchor = mapFromParent(mChart->mapToPosition(mAnchor));
    QRectF rect;
    rect.setLeft(qMin(mRect.left(), anchor.x()));
    rect.setRight(qMax(mRect.right(), anchor.x()));
    rect.setTop(qMin(mRect.top(), anchor.y()));
    rect.setBottom(qMax(mRect.bottom(), anchor.y()));
    return rect;
}

QPainterPath Tooltip::pointer(QPointF anchor) const
{
    // The base lies on the side facing the anchor, 10 units wide, 10 units from the corner
    // nearest the anchor.
    QPointF a, b;
    if (anchor.y() < mRect.top() || anchor.y() > mRect.bottom()) {
        const qreal y = anchor.y() < mRect.top() ? mRect.top() : mRect.bottom();
        const qreal x = anchor.x() < mRect.center().x() ? mRect.left() + 10 : mRect.right() - 20;
        a = QPointF(x, y);
        b = QPointF(x + 10, y);
    } else {
        const qreal x = anchor.x() < mRect.left() ? mRect.left() : mRect.right();
        const qreal y = anchor.y() < mRect.center().y() ? mRect.top() + 10 : mRect.bottom() - 20;
        a = QPointF(x, y);
        b = QPointF(x, y + 10);
    }
    QPainterPath wedge;
    wedge.moveTo(a);
    wedge.lineTo(anchor);
    wedge.lineTo(b);
    wedge.closeSubpath();
    return wedge;
}

void Tooltip::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    QPainterPath path;
    path.addRoundedRect(mRect, 5, 5);
    const QPointF anchor = mapFromParent(mChart->mapToPosition(mAnchor));
    if (!mRect.contains(anchor))
        path = path.united(pointer(anchor));
    painter->setPen(QPen(QColor(120, 120, 120)));
    painter->setBrush(Qt::white);
    painter->drawPath(path);
    painter->setPen(Qt::black);
    painter->setFont(mFont);
    painter->drawText(mTextRect, mText);
}

void Tooltip::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    event->setAccepted(true);
}

void Tooltip::mouseMoveEvent(QGraphicsSceneMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton) {
        setPos(mapToParent(event->pos() - event->buttonDownPos(Qt::LeftButton)));
        event->setAccepted(true);
    } else {
        event->setAccepted(false);
    }
}
