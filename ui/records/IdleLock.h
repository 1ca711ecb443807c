#pragma once

#include <QObject>
#include <QTimer>

// Watches the person's input to the whole program and says when there was none for idleMs.
class IdleLock : public QObject
{
    Q_OBJECT
public:
    explicit IdleLock(int idleMs, QObject* parent = nullptr);

    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    void idle();

private:
    QTimer mTimer;
    int mIdleMs = 0;
    static constexpr int RetryMs = 500;
};
