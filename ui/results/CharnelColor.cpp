#include "ui/results/CharnelColor.h"

#include "ui_CharnelColor.h"

CharnelColor::CharnelColor(QWidget* parent) : QWidget(parent), ui(new Ui::CharnelColor)
{
    ui->setupUi(this);
}

CharnelColor::~CharnelColor()
{
    delete ui;
}

void CharnelColor::setChannelNames(QStringList names)
{
    qDeleteAll(mBoxes);
    mBoxes.clear();
    for (int i = 0; i < names.size(); ++i) {
        auto* box = new QCheckBox(names[i], this);
        box->setChecked(true);
        // The curve colours of the charts: blue for even channels, orange for odd ones.
        box->setStyleSheet(i % 2 ? "QCheckBox{color:rgb(255, 153, 63);}" : "QCheckBox{color:rgb(0, 19, 255);}");
        ui->hLayoutChannels->addWidget(box, 0, Qt::AlignRight);
        connect(box, &QCheckBox::clicked, this, [this, i](bool checked) { emit signalChannel(i, checked); });
        mBoxes << box;
    }
}
