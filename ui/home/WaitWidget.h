#pragma once

#include <QDialog>

// A small busy indicator: eight frames turning every 200 ms while the program waits.
class WaitWidget : public QDialog
{
    Q_OBJECT
public:
    explicit WaitWidget(QWidget* parent = nullptr);
    ~WaitWidget() override;

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    int mTimerId;
};
