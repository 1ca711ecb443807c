#include "ui/chip/PcrChipGraphicsView.h"

#include "ui/resources/Pictures.h"

PcrChipGraphicsView::PcrChipGraphicsView(QWidget* parent)
    : QGraphicsView(parent), mScene(new QGraphicsScene(this)), mItem(new QGraphicsPixmapItem)
{
    Pictures::ensureLoaded();
    mScene->addItem(mItem);
    mItem->setTransformationMode(Qt::SmoothTransformation);
    setScene(mScene);
    setRenderHint(QPainter::SmoothPixmapTransform);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void PcrChipGraphicsView::setChipSampleCount(int samples, int holesPerSample)
{
    mItem->setPixmap(QPixmap(QString(":/png/chip_%1_%2.png").arg(samples).arg(holesPerSample)));
    mScene->setSceneRect(mItem->boundingRect());
    fitInView(mItem, Qt::KeepAspectRatio);
}

void PcrChipGraphicsView::resizeEvent(QResizeEvent* event)
{
    QGraphicsView::resizeEvent(event);
    fitInView(mItem, Qt::KeepAspectRatio);
}
