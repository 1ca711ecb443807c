#pragma once

#include "instrument/MachineData.h"

#include <QMap>
#include <QWidget>

class Machine;
class ZDataList;
class ZRunAllWidget;

namespace Ui {
class UiHome;
}

// The main window: the instrument's connection state, the four entries (new test, data
// management, parameter settings, about) and a tab strip with the home page, the data page and
// the experiments opened for review. New tests run in the separate run window.
class UiHome : public QWidget
{
    Q_OBJECT
public:
    explicit UiHome(QWidget* parent = nullptr, Machine* machine = nullptr);
    ~UiHome() override;

    ZRunAllWidget* runWindow() const { return mRunWindow; }
    ZDataList* dataPage() const { return mDataPage; }
    void setHomeNewState(bool connected);

signals:
    void signalEndMachine();

public slots:
    void slotPBnNewClicked();
    void slotPBnListClicked();
    void slotPBnSetClicked();
    void slotPBnUpdateClicked();
    void slotMachineData(MachineData data);
    // Opens an experiment file as a review page; false (and the operator told) when it does not open.
    bool slotOpenFile(QString path);
    void slotTabCloseRequested(int index);
    // Offers each test that a crash or a kill interrupted for restoring, and has the modules
    // those tests left played to a safe state.
    void restoreInterruptedTests();
    // Sends the stop sequence to the module of each test a crash interrupted, asking nobody:
    // at start, before anyone logs in. restoreInterruptedTests() names those modules later.
    void makeInterruptedSafe();
    // The button that names who works, after a login.
    void showUser();
    // Signs the user out and asks for a login (the same person or another); runs go on meanwhile.
    // proposeSame: the login proposes the user who worked before (a lock after an idle time).
    void lockForLogin(const QString& reason, bool proposeSame);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool mLocked = false;
    // The modules of interrupted tests; only a stop they answered makes them safe.
    void showStopOwed();
    void rememberSafe(char number);
    void rememberKeptCopies();

    QStringList mSafeModules; // sent the stop sequence, not yet named to the operator
    QMap<int, QString> mSafing; // module -> the recovery copy whose stop sequence it plays
    QStringList mSafeKeys;    // the copies whose modules answered their stop sequence at this start
    Ui::UiHome* ui;
    ZRunAllWidget* mRunWindow;
    ZDataList* mDataPage;
    MachineData mMachineData;
    bool mToldSilentPort = false;
    bool mToldMaySleep = false;
    bool mClosing = false; // the operator chose to close: runs are being stopped and saved
    QStringList mToldOwed; // the unconfirmed stops the operator chose to close with
    bool stopsUnderWay() const;
    QStringList stopOwedNames() const;
    Machine* mMachine;
};
