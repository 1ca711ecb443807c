#pragma once

#include "files/OutData.h"

#include <QPushButton>
#include <QWidget>

class HoleButton;
class TempData;

namespace Ui {
class PcrChip;
}

// The chip: its wells in two rows, one button per sample between them with lines to the sample's
// wells, and a master button. Wells that carry a sample are shown and numbered in sample order;
// after a run each well's picture shows its result. Clicking wells or samples selects curves,
// hovering a well highlights them.
class PcrChip : public QWidget
{
    Q_OBJECT
public:
    explicit PcrChip(QWidget* parent = nullptr);
    ~PcrChip() override;

    void setMethod(const SMethod& method, bool withLabels);
    void setOutData(const OutData& data, const TempData& results);
    void resetPBn(int holeCount, int sampleCount);
    void setConnect();
    static QPoint getCenter(const QPushButton* button);

    HoleButton* holeButton(int index) const { return mHoles.value(index); }
    QPushButton* sampleButton(int index) const { return mSamples.value(index); }

signals:
    void signalHoleSelect(int hole, bool checked);
    void signalHoleHovered(int hole, bool entered);
    void signalSampleSelect(int sample, bool checked);

public slots:
    void on_pBnMain_clicked(bool checked);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool holeOnChip(int holeNumber) const { return holeNumber >= 1 && holeNumber <= mHoles.size(); }
    void paintConnectors();

    Ui::PcrChip* ui;
    SMethod mMethod;
    bool mWithLabels = false;
    QVector<HoleButton*> mHoles;
    QVector<QPushButton*> mSamples;
    QMap<int, QVector<int>> mSampleMap;
};
