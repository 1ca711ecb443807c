#pragma once

#include <QCheckBox>
#include <QWidget>

namespace Ui {
class CharnelColor;
}

// The channel legend: one check box per channel, in the channel's curve colour, with which the
// operator shows or hides that channel in the table and the charts.
class CharnelColor : public QWidget
{
    Q_OBJECT
public:
    explicit CharnelColor(QWidget* parent = nullptr);
    ~CharnelColor() override;

    void setChannelNames(QStringList names);
    QCheckBox* checkBox(int channel) const { return mBoxes.value(channel); }

signals:
    void signalChannel(int channel, bool checked);

private:
    Ui::CharnelColor* ui;
    QVector<QCheckBox*> mBoxes;
};
