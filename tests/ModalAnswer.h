#pragma once

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

// Answers the next modal dialog the code under test opens, as a person would: it waits (a bounded
// number of short polls) for the dialog, keeps the text of its "label_Info" and presses the
// button with the given object name. No test ever waits for a person.
class ModalAnswer
{
public:
    explicit ModalAnswer(const QString& button) : mButton(button)
    {
        QObject::connect(&mTimer, &QTimer::timeout, [this] { poll(); });
        mTimer.start(5);
    }
    QString text() const { return mText; }
    bool answered() const { return mAnswered; }

private:
    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            if (++mPolls > 400)
                mTimer.stop();
            return;
        }
        mTimer.stop();
        if (auto* label = modal->findChild<QLabel*>("label_Info"))
            mText = label->text();
        if (auto* button = modal->findChild<QPushButton*>(mButton))
            button->click();
        else
            modal->close();
        mAnswered = true;
    }

    QString mButton;
    QString mText;
    QTimer mTimer;
    int mPolls = 0;
    bool mAnswered = false;
};
