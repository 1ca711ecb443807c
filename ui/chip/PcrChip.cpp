#include "ui/chip/PcrChip.h"

#include "analysis/SampleResults.h"
#include "analysis/TempData.h"
#include "ui/chip/HoleButton.h"
#include "ui/resources/Pictures.h"
#include "ui_PcrChip.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>

PcrChip::PcrChip(QWidget* parent) : QWidget(parent), ui(new Ui::PcrChip)
{
    Pictures::ensureLoaded();
    ui->setupUi(this);
    auto* grid = new QGridLayout(ui->wSampleHole);
    grid->setSpacing(6);
    // Spare height goes above and below the wells, so the chip keeps its proportions.
    grid->setRowStretch(0, 1);
    grid->setRowStretch(1, 4);
    grid->setRowStretch(3, 4);
    grid->setRowStretch(4, 1);
    new QHBoxLayout(ui->widget_Up);
    new QHBoxLayout(ui->widget_Down);
    ui->wSampleHole->installEventFilter(this);
}

PcrChip::~PcrChip()
{
    resetPBn(0, 0);
    delete ui;
}

void PcrChip::setMethod(const SMethod& method, bool withLabels)
{
    mMethod = method;
    mWithLabels = withLabels;
    ui->widget_Up->setVisible(withLabels);
    ui->widget_Down->setVisible(withLabels);
    mSampleMap = method.sampleHoleMap;
    const bool sane = method.countsInRange();
    resetPBn(sane ? method.Hole : 0, sane ? method.SampleNumber : 0);
    setConnect();
    ui->wSampleHole->update();
}

void PcrChip::resetPBn(int holeCount, int sampleCount)
{
    qDeleteAll(mHoles);
    mHoles.clear();
    qDeleteAll(mSamples);
    mSamples.clear();
    auto* grid = static_cast<QGridLayout*>(ui->wSampleHole->layout());
    for (int i = 0; i < holeCount; ++i) {
        auto* hole = new HoleButton(i, ui->wSampleHole);
        // A well without a sample keeps its place, so the chip keeps its shape.
        QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        policy.setRetainSizeWhenHidden(true);
        hole->setSizePolicy(policy);
        // The well pictures stretch; past this they would lose their shape.
        hole->setMinimumSize(30, 46);
        hole->setMaximumSize(72, 108);
        hole->setCheckable(true);
        hole->setChecked(false);
        hole->hide();
        // The hole's face shows its running number, as every table does; its place is said here.
        QStringList tip = {QStringLiteral("位置 %1").arg(i + 1)};
        for (int j = 0; j < mMethod.ChannelColor; ++j)
            tip << mMethod.ChannelNames.value(j) + ":" + mMethod.holeTargets.value(i).at(j).Name;
        hole->setToolTip(tip.join('\n'));
        connect(hole, &HoleButton::signalHovered, this, &PcrChip::signalHoleHovered);
        hole->setHoleLocal(i % 2 ? HoleButton::UpperRow : HoleButton::LowerRow);
        grid->addWidget(hole, i % 2 ? 1 : 3, i / 2);
        connect(hole, &QPushButton::clicked, this, [this, i](bool checked) { emit signalHoleSelect(i, checked); });
        mHoles << hole;
    }
    for (int k = 0; k < sampleCount; ++k) {
        auto* sample = new QPushButton(QString::number(k + 1), ui->wSampleHole);
        sample->setCheckable(true);
        sample->setChecked(true);
        sample->setMinimumHeight(36);
        sample->setStyleSheet("QPushButton{border:2px solid rgb(0, 0, 127);border-radius:5px;font:20px \"黑体\";background-color:white;}"
                              "QPushButton:checked{background-color:rgb(0, 0, 127);color:white;}");
        grid->addWidget(sample, 2, qMax(mSampleMap.value(k).value(0), 0) / 2);
        mSamples << sample;
    }
}

void PcrChip::setConnect()
{
    const QMap<int, int> numbers = mMethod.runningNumbers();
    for (auto it = mSampleMap.cbegin(); it != mSampleMap.cend(); ++it) {
        QPushButton* sample = mSamples.value(it.key());
        for (int h : it.value()) {
            if (!holeOnChip(h))
                continue;
            HoleButton* hole = mHoles[h - 1];
            hole->show();
            hole->setChecked(true);
            hole->setText(QString::number(numbers.value(h)));
            if (!sample)
                continue;
            const int index = it.key();
            connect(sample, &QPushButton::clicked, this, [this, hole, index](bool checked) {
                hole->setChecked(checked);
                emit hole->clicked(checked);
                emit signalSampleSelect(index, checked);
                ui->wSampleHole->update();
            });
        }
    }
}

QPoint PcrChip::getCenter(const QPushButton* button)
{
    return button->pos() + QPoint(button->width() / 2, button->height() / 2);
}

void PcrChip::setOutData(const OutData& data, const TempData& results)
{
    const int c = data.inData.method.ChannelColor;
    for (int i = 0; i < mHoles.size(); ++i) {
        const bool fam = results.positives.value(c * i);
        const bool rox = results.positives.value(c * i + 1);
        bool controlFailed = false;
        for (int k = 0; k < c; ++k)
            controlFailed = controlFailed || SampleResults::controlFailed(data, results, c * i + k);
        // An unfinished run shows no hole as negative; a hole where nothing amplified, not even
        // its internal control, is no negative either.
        if (!data.runComplete && !fam && !rox)
            mHoles[i]->setColorType(HoleButton::NoResult);
        else if (controlFailed && !fam && !rox)
            mHoles[i]->setColorType(HoleButton::ControlFailed);
        else
            mHoles[i]->setColorType(fam, rox);
    }
}

void PcrChip::on_pBnMain_clicked(bool checked)
{
    for (QPushButton* sample : mSamples) {
        sample->setChecked(checked);
        emit sample->clicked(checked);
    }
}

bool PcrChip::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->wSampleHole && event->type() == QEvent::Paint)
        paintConnectors();
    return QWidget::eventFilter(watched, event);
}

void PcrChip::paintConnectors()
{
    QPainter painter(ui->wSampleHole);
    painter.setRenderHint(QPainter::Antialiasing);
    for (auto it = mSampleMap.cbegin(); it != mSampleMap.cend(); ++it) {
        const QPushButton* sample = mSamples.value(it.key());
        if (!sample)
            continue;
        painter.setPen(sample->isChecked() ? QPen(Qt::red, 5) : QPen(Qt::black, 3));
        const QPoint s = getCenter(sample);
        for (int h : it.value()) {
            if (!holeOnChip(h))
                continue;
            const QPoint hole = getCenter(mHoles[h - 1]);
            painter.drawLine(s, QPoint(hole.x(), s.y()));
            painter.drawLine(hole, QPoint(hole.x(), s.y()));
        }
    }
}
