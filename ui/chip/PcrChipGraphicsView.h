#pragma once

#include <QGraphicsPixmapItem>
#include <QGraphicsView>

// A picture of a chip layout, chosen by sample count and holes per sample.
class PcrChipGraphicsView : public QGraphicsView
{
    Q_OBJECT
public:
    explicit PcrChipGraphicsView(QWidget* parent = nullptr);

    // A layout without a picture shows nothing.
    void setChipSampleCount(int samples, int holesPerSample);
    bool hasPicture() const { return !mItem->pixmap().isNull(); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QGraphicsScene* mScene;
    QGraphicsPixmapItem* mItem;
};
