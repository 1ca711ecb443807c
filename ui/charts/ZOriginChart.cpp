#include "ui/charts/ZOriginChart.h"

#include "ui/charts/AxisTicks.h"
#include "ui/charts/Tooltip.h"

#include <QDebug>
#include <QFileDialog>
#include <QMenu>

#include <algorithm>
#include <utility>
#include <cmath>

using namespace QtCharts;

namespace {
void styleAxis(QValueAxis* axis, const QString& title)
{
    QFont font = axis->labelsFont();
    font.setPixelSize(13);
    axis->setLabelsFont(font);
    axis->setTitleFont(font);
    axis->setTitleText(title);
}
}

ZOriginChart::ZOriginChart(QWidget* parent)
    : QChartView(new QChart, parent), mAxisX(new QValueAxis(this)), mAxisY(new QValueAxis(this)), mTip(new Tooltip(chart()))
{
    setRenderHint(QPainter::Antialiasing);
    setRubberBand(QChartView::RectangleRubberBand);
    mAxisX->setRange(1, 40);
    mAxisX->setTickCount(11);
    mAxisX->setLabelFormat("%d");
    // Every second reading is labelled on a 40-cycle chart; a longer run (melt readings follow the
    // cycles) gets a wider round step, so its labels never crowd into "...".
    AxisTicks::keepRound(chart(), mAxisX, 20, "%d");
    mAxisX->setTickAnchor(1);
    styleAxis(mAxisX, QStringLiteral("循环数"));
    chart()->addAxis(mAxisX, Qt::AlignBottom);
    mAxisY->setRange(0, 100);
    mAxisY->setTickCount(11);
    AxisTicks::keepRound(chart(), mAxisY, 10);
    styleAxis(mAxisY, QStringLiteral("Fn"));
    chart()->addAxis(mAxisY, Qt::AlignLeft);
    chart()->legend()->hide();
    chart()->setMargins(QMargins(4, 4, 4, 4));

    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        menu.addAction(QStringLiteral("还原"), this, &ZOriginChart::slotZoom);
        menu.addAction(QStringLiteral("截取图片"), this, &ZOriginChart::slotGrapImage);
        menu.exec(mapToGlobal(at));
    });
}

void ZOriginChart::initPenList(int channels)
{
    mPens.clear();
    mHighPens.clear();
    for (int c = 0; c < channels; ++c) {
        const bool even = c % 2 == 0;
        mPens << QPen(even ? QColor(0, 19, 255) : QColor(255, 153, 63), 3, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
        mHighPens << QPen(even ? QColor(Qt::darkBlue) : QColor(Qt::yellow), 5, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    }
}

void ZOriginChart::createSeries(int curves)
{
    const int channels = channelCount();
    initPenList(channels);
    for (int i = 0; i < curves; ++i) {
        auto* line = new QLineSeries(this);
        auto* scatter = new QScatterSeries(this);
        line->setPen(mPens[i % channels]);
        scatter->setMarkerShape(QScatterSeries::MarkerShapeCircle);
        scatter->setMarkerSize(1);
        scatter->setColor(mPens[i % channels].color());
        scatter->setBorderColor(mPens[i % channels].color());
        for (QXYSeries* s : {static_cast<QXYSeries*>(line), static_cast<QXYSeries*>(scatter)}) {
            chart()->addSeries(s);
            s->attachAxis(mAxisX);
            s->attachAxis(mAxisY);
        }
        connect(line, &QLineSeries::hovered, this, [this, i](const QPointF&, bool state) {
            setHighlight(i, state, false);
            emit signalLineHover(state, i / channelCount(), i % channelCount());
        });
        connect(scatter, &QScatterSeries::hovered, this, [this, i](const QPointF& point, bool state) {
            showReading(i, point, state);
            emit signalLineHover(state, i / channelCount(), i % channelCount());
        });
        mLines << line;
        mScatters << scatter;
    }
}

void ZOriginChart::setInitChart(SMethod& method)
{
    reset();
    mMethod = method;
    mXMin = 1;
    mXMax = qMax(method.Flow.getCycle(), 1);
    mAxisX->setRange(mXMin, mXMax);
    mAxisY->setRange(0, 1500);
    mBuilt = false;
    mPendingLines.clear();
    mPendingArtifacts.clear();
    mHiddenHoles.clear();
    mDimmedChannels.clear();
    if (isVisible())
        build();
}

void ZOriginChart::build()
{
    if (mBuilt)
        return;
    mBuilt = true;
    if (!mMethod.countsInRange())
        return;
    buildSeries();
    applyChoices();
    if (!mPendingLines.isEmpty())
        placeLines(std::exchange(mPendingLines, {}), mPendingScatter);
    if (!mPendingArtifacts.isEmpty())
        markArtifacts(std::exchange(mPendingArtifacts, {}));
}

void ZOriginChart::buildSeries()
{
    createSeries(mMethod.Hole * mMethod.ChannelColor);
    for (int i = 0; i < mLines.size(); ++i) {
        mLines[i]->setVisible(false);
        mScatters[i]->setVisible(false);
    }
    // Only the holes that carry a sample have curves to show.
    for (const QVector<int>& holes : mMethod.sampleHoleMap)
        for (int k : holes)
            for (int c = 0; c < mMethod.ChannelColor; ++c) {
                const int index = mMethod.curveIndex(k, c);
                if (index >= 0) {
                    mLines[index]->setVisible(true);
                    mScatters[index]->setVisible(true);
                }
            }
}

void ZOriginChart::applyChoices()
{
    for (int i = 0; i < mLines.size(); ++i) {
        if (mHiddenHoles.contains(i / channelCount())) {
            mLines[i]->setVisible(false);
            mScatters[i]->setVisible(false);
        }
        const qreal opacity = mDimmedChannels.contains(i % channelCount()) ? 0.1 : 1.0;
        mLines[i]->setOpacity(opacity);
        mScatters[i]->setOpacity(opacity);
    }
}

QLineSeries* ZOriginChart::lineSeries(int index)
{
    build();
    return mLines.value(index);
}

QScatterSeries* ZOriginChart::scatterSeries(int index)
{
    build();
    return mScatters.value(index);
}

void ZOriginChart::showEvent(QShowEvent* event)
{
    build();
    QChartView::showEvent(event);
}

double ZOriginChart::yMaximum() const
{
    return 1.5 * mMaxValue <= 1500 ? 1500 : 1.5 * mMaxValue;
}

void ZOriginChart::addCycleData(int x, const QVector<double>& values)
{
    addReading(x, values);
}

void ZOriginChart::addReading(double x, const QVector<double>& values)
{
    build();
    for (double v : values)
        if (std::isfinite(v))
            mMaxValue = qMax(mMaxValue, v);
    mAxisY->setMax(yMaximum());
    if (x > mXMax) {
        mXMax = x;
        mAxisX->setMax(x);
        mAxisX->setTickCount(mAxisX->tickCount() <= mTickCap ? qMin(int(x) + 1, mTickCap) : mTickCap);
    }
    for (int i = 0; i < mLines.size() && i < values.size(); ++i) {
        if (!std::isfinite(values[i]))
            continue; // a position not read
        mLines[i]->append(x, values[i]);
        mScatters[i]->append(x, values[i]);
    }
}

void ZOriginChart::markArtifacts(const QVector<QVector<QPointF>>& readings)
{
    if (!mBuilt) {
        mPendingArtifacts = readings;
        return;
    }
    if (!mArtifacts) {
        mArtifacts = new QtCharts::QScatterSeries(chart());
        mArtifacts->setName(QStringLiteral("干扰读数"));
        mArtifacts->setMarkerShape(QtCharts::QScatterSeries::MarkerShapeCircle);
        mArtifacts->setMarkerSize(16);
        mArtifacts->setColor(Qt::transparent);
        mArtifacts->setBorderColor(QColor(220, 0, 0));
        chart()->addSeries(mArtifacts);
        mArtifacts->attachAxis(mAxisX);
        mArtifacts->attachAxis(mAxisY);
    }
    QVector<QPointF> all;
    for (const QVector<QPointF>& curve : readings)
        all += curve;
    mArtifacts->replace(all);
    mArtifacts->setVisible(!all.isEmpty());
}

void ZOriginChart::setLines(const QVector<QVector<QPointF>>& curves, bool withScatter)
{
    if (!mBuilt) {
        mPendingLines = curves;
        mPendingScatter = withScatter;
        return;
    }
    placeLines(curves, withScatter);
}

void ZOriginChart::placeLines(const QVector<QVector<QPointF>>& curves, bool withScatter)
{
    // Holes without readings (an imported run uses only some) leave no line and set no range.
    const auto first = std::find_if(curves.cbegin(), curves.cend(), [](const QVector<QPointF>& c) { return !c.isEmpty(); });
    if (mLines.isEmpty() || first == curves.cend())
        return;
    mXMin = first->first().x();
    mXMax = first->last().x();
    if (mXMax > mXMin)
        mAxisX->setRange(mXMin, mXMax);
    mMaxValue = 0;
    mMinValue = 3000;
    for (const QVector<QPointF>& curve : curves)
        for (const QPointF& p : curve) {
            mMaxValue = qMax(mMaxValue, p.y());
            mMinValue = qMin(mMinValue, p.y());
        }
    mAxisY->setRange(mMinValue, yMaximum());
    for (int i = 0; i < mLines.size() && i < curves.size(); ++i) {
        mLines[i]->replace(curves[i]);
        if (withScatter)
            mScatters[i]->replace(curves[i]);
        if (curves[i].size() > mTickCap)
            mAxisX->setTickCount(mTickCap);
    }
}

QVector<QVector<QPointF>> ZOriginChart::vectorLines()
{
    build();
    QVector<QVector<QPointF>> curves;
    for (const QScatterSeries* s : mScatters)
        curves << s->pointsVector();
    return curves;
}

void ZOriginChart::reset()
{
    chart()->removeAllSeries();
    mLines.clear();
    mScatters.clear();
    mArtifacts = nullptr;
    mMaxValue = 100;
    mMinValue = 0;
    mTip->hide();
}

void ZOriginChart::resetColor()
{
    for (int i = 0; i < mLines.size(); ++i)
        setHighlight(i, false, false);
}

void ZOriginChart::setHighlight(int index, bool line, bool scatter)
{
    if (index < 0 || index >= mLines.size() || mPens.isEmpty())
        return;
    const int c = index % channelCount() % mPens.size();
    mLines[index]->setPen(line ? mHighPens[c] : mPens[c]);
    const QColor color = (scatter ? mHighPens[c] : mPens[c]).color();
    mScatters[index]->setColor(color);
    mScatters[index]->setBorderColor(color);
}

void ZOriginChart::showReading(int index, QPointF point, bool state)
{
    setHighlight(index, state, false);
    if (!state) {
        mTip->hide();
        return;
    }
    const int c = channelCount();
    mTip->showAt(point, QStringLiteral("循环:%0\n值:%1\n靶标:%3")
                      .arg(point.x())
                      .arg(point.y(), 0, 'f', 2)
                      .arg(mMethod.holeTargets.value(index / c).at(index % c).Name));
}

void ZOriginChart::slotCellClicked(int row, int column)
{
    resetColor();
    const int channels = channelCount();
    if (column == 1) {
        for (int c = 0; c < channels; ++c)
            setHighlight(row * channels + c, true, false);
    } else if (column > 1) {
        const int c = (column - 3) / 4;
        if (c < channels)
            setHighlight(row * channels + c, true, true);
    }
}

void ZOriginChart::slotCheckedLine(int n, bool checked)
{
    if (checked)
        mHiddenHoles.remove(n);
    else
        mHiddenHoles.insert(n);
    const int channels = channelCount();
    for (int c = 0; c < channels; ++c) {
        const int i = n * channels + c;
        if (i >= 0 && i < mLines.size()) {
            mLines[i]->setVisible(checked);
            mScatters[i]->setVisible(checked);
        }
    }
}

void ZOriginChart::slotChannelChecked(int channel, bool checked)
{
    if (checked)
        mDimmedChannels.remove(channel);
    else
        mDimmedChannels.insert(channel);
    applyChoices();
}

void ZOriginChart::slotHoleHovered(int n, bool hovered)
{
    for (int c = 0; c < channelCount(); ++c)
        setHighlight(n * channelCount() + c, hovered, hovered);
}

bool ZOriginChart::saveImage(const QString& path)
{
    build();
    const bool saved = grab().save(path);
    qDebug() << "chart image" << path << saved;
    return saved;
}

void ZOriginChart::slotGrapImage()
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("保存图片"), "./", "*.jpg");
    if (!path.isEmpty())
        saveImage(path);
}

void ZOriginChart::slotZoomIn()
{
    chart()->zoomIn();
}

void ZOriginChart::slotZoomOut()
{
    chart()->zoomOut();
}

void ZOriginChart::slotZoom()
{
    chart()->zoomReset();
}

void ZOriginChart::mouseReleaseEvent(QMouseEvent* event)
{
    // The right button opens the menu; it never zooms out.
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QChartView::mouseReleaseEvent(event);
}

void ZOriginChart::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        chart()->zoomReset();
    QChartView::mouseDoubleClickEvent(event);
}
