#include "ui/home/WaitWidget.h"

#include "ui/resources/Pictures.h"

namespace {
// Shared by every indicator, so a new one continues the turn.
int frame = 0;
}

WaitWidget::WaitWidget(QWidget* parent) : QDialog(parent)
{
    Pictures::ensureLoaded();
    setWindowFlag(Qt::SplashScreen);
    resize(200, 200);
    mTimerId = startTimer(200, Qt::CoarseTimer);
}

WaitWidget::~WaitWidget()
{
    killTimer(mTimerId);
}

void WaitWidget::timerEvent(QTimerEvent*)
{
    setStyleSheet(QString("QWidget{border-image: url(:/png/wait_%0.png);}").arg(frame % 8));
    ++frame;
}
