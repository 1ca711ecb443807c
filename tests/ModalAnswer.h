#pragma once

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

// Answers the next modal dialog the code under test opens, as a person would: it waits (a bounded
// number of short polls) for the dialog, keeps the text of its "label_Info" and presses the
// button with the given object name. No test ever waits for a person.
class ModalAnswer
{
public:
    // waitMs: how long the dialog may take to appear.
    explicit ModalAnswer(const QString& button, int waitMs = 2000) : mButton(button), mMaxPolls(waitMs / 5)
    {
        QObject::connect(&mTimer, &QTimer::timeout, [this] { poll(); });
        mTimer.start(5);
    }
    // Instead of pressing a button, hands the dialog to act (which must end it).
    ModalAnswer(std::function<void(QWidget*)> act, int waitMs = 2000) : ModalAnswer(QString(), waitMs) { mAct = act; }
    QString text() const { return mText; }
    bool answered() const { return mAnswered; }

private:
    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            if (++mPolls > mMaxPolls)
                mTimer.stop();
            return;
        }
        mTimer.stop();
        mAnswered = true;
        if (mAct)
            return mAct(modal);
        if (auto* label = modal->findChild<QLabel*>("label_Info"))
            mText = label->text();
        if (auto* button = modal->findChild<QPushButton*>(mButton))
            button->click();
        else
            modal->close();
    }

    QString mButton;
    QString mText;
    QTimer mTimer;
    int mPolls = 0;
    int mMaxPolls;
    std::function<void(QWidget*)> mAct;
    bool mAnswered = false;
};

// Answers the modal dialogs that open one after another, each with the next of the given buttons,
// and keeps their texts; dialogs beyond the list are left alone.
class ModalAnswers
{
public:
    explicit ModalAnswers(const QStringList& buttons) : mButtons(buttons)
    {
        QObject::connect(&mTimer, &QTimer::timeout, [this] { poll(); });
        mTimer.start(5);
    }
    QStringList texts() const { return mTexts; }

private:
    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || mButtons.isEmpty())
            return;
        auto* label = modal->findChild<QLabel*>("label_Info");
        mTexts << (label ? label->text() : QString());
        if (auto* button = modal->findChild<QPushButton*>(mButtons.takeFirst()))
            button->click();
        else
            modal->close();
    }

    QStringList mButtons;
    QStringList mTexts;
    QTimer mTimer;
};

// Hands the popup menu that opens next to act, which triggers an entry or leaves it; the menu is
// closed afterwards either way.
inline void inNextMenu(std::function<void(QMenu*)> act)
{
    QTimer::singleShot(50, [act] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            act(menu);
            menu->close();
        }
    });
}
