#pragma once

#include "method/SMethod.h"

#include <QChartView>
#include <QLineSeries>
#include <QScatterSeries>
#include <QSet>
#include <QValueAxis>

class Tooltip;

// A chart of one curve per curve index (hole x channels + channel): raw fluorescence as it is read
// ("Fn" against the reading number). Each curve is a line and a scatter series; the curves of one
// hole can be shown, hidden and highlighted from the chip, the table and the channel legend, and
// hovering a curve reports its hole and channel back. Its series are made when the chart is first
// shown or fed live readings, so a page opens without building the charts of its other tabs.
class ZOriginChart : public QtCharts::QChartView
{
    Q_OBJECT
public:
    explicit ZOriginChart(QWidget* parent = nullptr);

    virtual void setInitChart(SMethod& method);
    // One reading of every curve index at abscissa x (the reading number).
    virtual void addCycleData(int x, const QVector<double>& values);
    // Replaces every curve that has points in curves; the others keep theirs.
    void setLines(const QVector<QVector<QPointF>>& curves, bool withScatter);
    // Rings the readings the analysis took for the chip's artifacts (spikes, jumps), so a flag in
    // the table can be found on the curve.
    void markArtifacts(const QVector<QVector<QPointF>>& readings);
    // The readings of every curve, as stored with the experiment.
    QVector<QVector<QPointF>> vectorLines();
    void reset();
    void resetColor();
    // The picture of the whole chart, as "截取图片" saves it; false when it could not be written.
    bool saveImage(const QString& path);

    QtCharts::QValueAxis* axisX() const { return mAxisX; }
    QtCharts::QValueAxis* axisY() const { return mAxisY; }
    QtCharts::QLineSeries* lineSeries(int index);
    QtCharts::QScatterSeries* scatterSeries(int index);

signals:
    void signalLineHover(bool state, int hole, int color);

public slots:
    void slotCellClicked(int row, int column);
    void slotCheckedLine(int n, bool checked);
    void slotChannelChecked(int channel, bool checked);
    void slotHoleHovered(int n, bool hovered);
    void slotGrapImage();
    void slotZoomIn();
    void slotZoomOut();
    void slotZoom();

protected:
    void showEvent(QShowEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

    // Makes the series now if they are still owed, with the lines and choices given meanwhile.
    void build();
    // Appends one reading of every curve index at x; a value not read (NaN) leaves its curve as it was.
    void addReading(double x, const QVector<double>& values);
    // The series of every curve index for the method's channels, those of holes without a
    // sample hidden.
    virtual void buildSeries();
    void createSeries(int curves);
    void placeLines(const QVector<QVector<QPointF>>& curves, bool withScatter);
    void applyChoices();
    void initPenList(int channels);
    // What hovering a reading shows: the call-out here, the chart's tool tip on melt charts.
    virtual void showReading(int index, QPointF point, bool state);
    void setHighlight(int index, bool line, bool scatter);
    int channelCount() const { return qMax(mMethod.ChannelColor, 1); }
    // The y-axis top for the largest value seen: 1500, or 1.5 x the value above 1000, so the
    // highest curve never touches the frame.
    double yMaximum() const;

    SMethod mMethod;
    QtCharts::QValueAxis* mAxisX;
    QtCharts::QValueAxis* mAxisY;
    QVector<QtCharts::QLineSeries*> mLines;
    QVector<QtCharts::QScatterSeries*> mScatters;
    QtCharts::QScatterSeries* mArtifacts = nullptr;
    QVector<QVector<QPointF>> mPendingArtifacts; // marks given before the series were made
    QVector<QPen> mPens;
    QVector<QPen> mHighPens;
    double mMaxValue = 100;
    double mMinValue = 0;
    double mXMax = 40;
    double mXMin = 1;
    Tooltip* mTip;
    int mTickCap = 11;
    bool mBuilt = false;
    QVector<QVector<QPointF>> mPendingLines; // given before the series were made
    bool mPendingScatter = false;
    QSet<int> mHiddenHoles;      // from 0
    QSet<int> mDimmedChannels;
};
