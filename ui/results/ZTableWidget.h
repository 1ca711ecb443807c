#pragma once

#include "files/OutData.h"

#include <QTableWidget>

// The results of an experiment, one row per used hole in sample order: sample number and name
// (spanned over the sample's holes), running hole number, and per channel the target, Ct, call
// and Tm. Laid out from the inputs, filled from the analysis, and highlighted together with the
// charts and the chip.
class ZTableWidget : public QTableWidget
{
    Q_OBJECT
public:
    explicit ZTableWidget(QWidget* parent = nullptr);

    void setInData(const InData& in);
    void setOutData(const OutData& data);

public slots:
    void slotCellClicked(int row, int colum);
    void slotCheckedLine(int index, bool isChecked);
    void slotChannelChecked(int index, bool isChecked);
    void slotLineHover(bool state, int hole, int color);
    void slotHoleHovered(int index, bool hovered);

private:
    int channels() const { return qMax(mMethod.ChannelColor, 0); }
    void setText(int row, int column, const QString& text);
    void paint(int row, int firstColumn, int lastColumn, const QColor& color);
    void scrollToHole(int hole);
    // Hides the Ct and call columns without a cycle stage and the Tm column without a melt stage.
    void hideMissingColumns();

    SMethod mMethod;
    bool mHasCycle = false;
    bool mHasMelt = false;
};
