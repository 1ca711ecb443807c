#include "ui/chip/HoleButton.h"

#include "ui/resources/Pictures.h"

#include <QStyle>

namespace {
QString holeStyle(const QString& row)
{
    QString style = QString("HoleButton{border-image:url(:/png/run_hole_n_v2%1.png);color:black;font:20px;}"
                            "HoleButton:checked{border-image:url(:/png/run_hole_n_check_v2%1.png);color:white;}")
                        .arg(row);
    const QStringList results = {"all_negative", "fam_positive", "rox_positive", "all_positive", "control_failed"};
    for (int t = 0; t < results.size(); ++t)
        style += QString("HoleButton:checked[ColorType=\"%1\"]{border-image:url(:/png/run_hole_n_check_%2%3.png);}")
                     .arg(t + 1)
                     .arg(results[t], row);
    return style;
}
}

HoleButton::HoleButton(int number, QWidget* parent) : QPushButton(QString::number(number + 1), parent), mNumber(number)
{
    Pictures::ensureLoaded();
    setHoleLocal(UpperRow);
}

void HoleButton::setColorType(int type)
{
    mColorType = type;
    style()->unpolish(this);
    style()->polish(this);
}

void HoleButton::setColorType(const bool& fam, const bool& rox)
{
    setColorType(fam && rox ? AllPositive : rox ? RoxPositive : fam ? FamPositive : AllNegative);
}

void HoleButton::setHoleLocal(HoleLocal local)
{
    setStyleSheet(holeStyle(local == LowerRow ? "_down" : ""));
}

void HoleButton::enterEvent(QEvent* event)
{
    emit signalHovered(mNumber, true);
    QPushButton::enterEvent(event);
}

void HoleButton::leaveEvent(QEvent* event)
{
    emit signalHovered(mNumber, false);
    QPushButton::leaveEvent(event);
}
