#include "ui/home/UiHome.h"

#include "app/DataHead.h"
#include "app/Settings.h"
#include "app/UI.h"
#include "files/OutData.h"
#include "files/RecoveryCopy.h"
#include "records/RecordSession.h"
#include "ui/data/ZDataList.h"
#include "ui/dialogs/ZMessageBox.h"
#include "ui/editor/ZParameterDialog.h"
#include "ui/newtest/NewDialog.h"
#include "ui/records/HistoryDialog.h"
#include "ui/records/LoginDialog.h"
#include "ui/records/RecordActions.h"
#include "ui/records/UsersDialog.h"
#include "ui/resources/Pictures.h"
#include "ui/run/ZRunAllWidget.h"
#include "ui/run/ZRunWidget.h"
#include "ui/update/AboutDiolog.h"
#include "ui_UiHome.h"

#include <algorithm>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QDebug>
#include <QFileInfo>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QStyle>

UiHome::UiHome(QWidget* parent, Machine* machine)
    : QWidget(parent), ui(nullptr), mRunWindow(new ZRunAllWidget(nullptr, machine)), mDataPage(new ZDataList),
      mMachine(machine ? machine : Machine::instance())
{
    Pictures::ensureLoaded();
    ui = new Ui::UiHome;
    ui->setupUi(this);
    setHomeNewState(false);
    const QString version = DataHead::instance()->getMSoftWareVersion().toString();
    setWindowTitle(UI::AppTitle.arg(version));
    ui->label->setText(QString("version:%0.%1").arg(version, DataHead::compilingDate()));
    connect(ui->pushButton_New, &QPushButton::clicked, this, &UiHome::slotPBnNewClicked);
    connect(ui->pushButton_List, &QPushButton::clicked, this, &UiHome::slotPBnListClicked);
    connect(ui->pBn_Set, &QPushButton::clicked, this, &UiHome::slotPBnSetClicked);
    connect(ui->pBn_Update, &QPushButton::clicked, this, &UiHome::slotPBnUpdateClicked);
    connect(mDataPage, &ZDataList::signalOpenFile, this, &UiHome::slotOpenFile);
    connect(mRunWindow, &ZRunAllWidget::signalShowHome, this, [this] {
        showMaximized();
        raise();
        activateWindow();
    });
    connect(ui->tabWidget_Buttons, &QTabWidget::tabCloseRequested, this, &UiHome::slotTabCloseRequested);
    connect(ui->pushButton_User, &QPushButton::clicked, this, [this] {
        // An administrator also manages the users here; everybody else only switches.
        if (!RecordActions::ask([](RecordSession& s) { return s.may(Permission::ManageUsers); }))
            return lockForLogin(QStringLiteral("切换用户"), false);
        QMenu menu(this);
        menu.addAction(QStringLiteral("切换用户"), this, [this] { lockForLogin(QStringLiteral("切换用户"), false); });
        menu.addAction(QStringLiteral("用户管理"), this, [this] { UsersDialog(this).exec(); });
        menu.addAction(UI::ActionHistory, this, [this] { HistoryDialog(QString(), this).exec(); });
        menu.exec(ui->pushButton_User->mapToGlobal(QPoint(0, ui->pushButton_User->height())));
    });
    showUser();
    showStopOwed();
    connect(mMachine, &Machine::signalStopUnconfirmed, this, &UiHome::showStopOwed);
    connect(mMachine, &Machine::signalSafeState, this, &UiHome::showStopOwed);
    connect(mMachine, &Machine::signalSafeState, this, &UiHome::rememberSafe);
    // Filled even where no window manager maximises it.
    const QSize screen = UI::ScreenSize();
    if (screen.isValid())
        resize(screen);
    showMaximized();
}

UiHome::~UiHome()
{
    delete mRunWindow;
    delete mDataPage;
    delete ui;
}

void UiHome::showUser()
{
    struct Shown {
        bool usersOn = false;
        UserAccount account;
        bool manages = false;
    };
    const Shown shown = RecordActions::ask([](RecordSession& s) { return Shown{s.usersOn(), s.account(), s.may(Permission::ManageUsers)}; });
    const bool signedIn = !shown.account.name.isEmpty();
    ui->pushButton_User->setVisible(shown.usersOn && signedIn);
    if (signedIn)
        ui->pushButton_User->setText(QStringLiteral("%1（%2） · %3")
                                         .arg(shown.account.fullName, Roles::name(shown.account.role),
                                              shown.manages ? QStringLiteral("用户 ▾") : QStringLiteral("切换用户")));
}

void UiHome::lockForLogin(const QString& reason, bool proposeSame)
{
    if (mLocked)
        return;
    // Logged out at once, in the same call that finds who was in: nobody acts in between.
    const QString user = RecordActions::ask([&reason](RecordSession& s) {
        if (!s.usersOn() || !s.signedIn())
            return QString();
        const QString name = s.account().name;
        s.logout(reason);
        return name;
    });
    if (user.isEmpty())
        return;
    mLocked = true;
    // Behind the login nobody is named as working any more.
    showUser();
    LoginDialog dialog(LoginDialog::Mode::Locked, this);
    if (proposeSame)
        dialog.setUser(user);
    dialog.exec();
    mLocked = false;
    showUser();
}

void UiHome::showStopOwed()
{
    QStringList owed;
    for (int number : mMachine->stopOwedModules())
        owed << UI::StopUnconfirmed.arg(number);
    ui->label_StopOwed->setText(owed.join(QStringLiteral("、")));
    ui->label_StopOwed->setToolTip(owed.isEmpty() ? QString() : QStringLiteral("加热可能仍在进行，请检查仪器；模块应答后将再次执行停止程序。"));
    ui->label_StopOwed->setVisible(!owed.isEmpty());
}

void UiHome::setHomeNewState(bool connected)
{
    ui->pushButton_New->setEnabled(connected);
    for (QLabel* label : {ui->label_Logo, ui->label_Name}) {
        label->setProperty("connect", connected);
        label->style()->unpolish(label);
        label->style()->polish(label);
        label->update();
    }
}

void UiHome::slotMachineData(MachineData data)
{
    mMachineData = data;
    setHomeNewState(data.isOpen);
    if (!data.silentPort.isEmpty() && !mToldSilentPort) {
        mToldSilentPort = true;
        ZMessageBox::notify(this, UI::ConfiguredPortSilent.arg(data.silentPort));
    }
}

void UiHome::slotPBnNewClicked()
{
    // Every answering module taken: said at once, rather than a wizard with an empty module list.
    bool free = false;
    for (int i = 1; i < mMachine->getPcrCount(); ++i)
        free = free || (mMachineData.pcrModels.value(i) != 0 && !mMachine->getMIsEmployed().value(i));
    if (!free)
        return ZMessageBox::tell(this, UI::AllModulesTaken);
    if (!RecordActions::allowed(this, RecordActions::refusal(Permission::RunTests)))
        return;
    NewDialog dialog(mMachineData, nullptr, mMachine);
    const QSize screen = UI::ScreenSize();
    if (screen.isValid())
        dialog.resize(screen * 0.666);
    if (dialog.exec() != 1)
        return;
    mRunWindow->addRunDataWidget(dialog.getMCurrentData(), dialog.getMFilePath());
    // The new test's page comes to the front, over the home window, every time; maximised, so
    // that a window manager's title bar never pushes its status line off the screen.
    mRunWindow->hide();
    mRunWindow->showMaximized();
    mRunWindow->raise();
    mRunWindow->activateWindow();
    if (!mToldMaySleep && !DataHead::instance()->keepsAwake()) {
        mToldMaySleep = true;
        ZMessageBox::notify(mRunWindow, UI::MaySleep);
    }
}

void UiHome::slotPBnListClicked()
{
    if (ui->tabWidget_Buttons->indexOf(mDataPage) < 0)
        ui->tabWidget_Buttons->addTab(mDataPage, UI::DataListTitle);
    ui->tabWidget_Buttons->setCurrentWidget(mDataPage);
}

void UiHome::slotPBnSetClicked()
{
    // The method files are the lab's: only an administrator changes them when users are on.
    if (!RecordActions::allowed(this, RecordActions::refusal(Permission::EditMethods)))
        return;
    ZParameterDialog dialog(this);
    connect(&dialog, &ZParameterDialog::methodSaved, this, [](const QString& path) {
        RecordActions::record(QStringLiteral("修改方法"), QStringLiteral("method"), QFileInfo(path).fileName());
    });
    dialog.exec();
}

void UiHome::slotPBnUpdateClicked()
{
    AboutDiolog dialog(this, mMachine);
    connect(&dialog, &AboutDiolog::signalLeave, qApp, [] { QCoreApplication::exit(0); });
    dialog.exec();
}

bool UiHome::slotOpenFile(QString path)
{
    // One page per experiment: an open one is brought to the front.
    for (int i = 1; i < ui->tabWidget_Buttons->count(); ++i) {
        auto* open = qobject_cast<ZRunWidget*>(ui->tabWidget_Buttons->widget(i));
        if (open && QFileInfo(open->filePath()) == QFileInfo(path)) {
            ui->tabWidget_Buttons->setCurrentIndex(i);
            return true;
        }
    }
    if (mRunWindow->showExperiment(path))
        return true;
    OutData data;
    // A file that holds no chip (any other file read as one) has nothing to review.
    if (data.openAs(path) != 0 || data.inData.method.Hole <= 0) {
        ZMessageBox::tell(this, UI::PcrdFileError);
        return false;
    }
    auto* page = new ZRunWidget(nullptr, mMachine);
    page->setMFilePath(path);
    page->setInData(data.inData);
    page->setOutData(data);
    ui->tabWidget_Buttons->addTab(page, QFileInfo(path).fileName());
    ui->tabWidget_Buttons->setCurrentWidget(page);
    return true;
}

void UiHome::slotTabCloseRequested(int index)
{
    QWidget* page = ui->tabWidget_Buttons->widget(index);
    if (!page || index == 0)
        return;
    qDebug() << "close tab" << page->objectName();
    // A review page plays no run, complete or not: it always closes.
    if (qobject_cast<ZRunWidget*>(page)) {
        delete page;
        return;
    }
    ui->tabWidget_Buttons->removeTab(index);
}

namespace {

// A recovery copy as remembered once its module was sent the stop sequence.
QString safeKey(const QString& copy)
{
    return QFileInfo(copy).fileName() + '@' + QFileInfo(copy).lastModified().toString(Qt::ISODate);
}

}

void UiHome::makeInterruptedSafe()
{
    const QStringList remembered = Settings(UI::SettingsFile, QSettings::IniFormat).getMadeSafe();
    for (const QString& copy : RecoveryCopy::pending(UI::UserDirName.arg(QDir::currentPath()))) {
        OutData data;
        const QString key = safeKey(copy);
        // An unreadable copy is left alone for a person to look at.
        if (data.openAs(copy) != 0 || remembered.contains(key) || mSafing.values().contains(copy))
            continue;
        if (mMachine->makeSafe(data.inData.pcrNumber, data.inData.method)) {
            mSafing.insert(data.inData.pcrNumber, copy);
            mSafeModules << QString::number(data.inData.pcrNumber);
        }
    }
}

void UiHome::restoreInterruptedTests()
{
    makeInterruptedSafe();
    QStringList modules = mSafeModules;
    mSafeModules.clear();
    for (const QString& copy : RecoveryCopy::pending(UI::UserDirName.arg(QDir::currentPath()))) {
        OutData data;
        if (data.openAs(copy) != 0)
            continue; // not readable: left alone for a person to look at
        const QString path = RecoveryCopy::experimentPathFor(copy);
        const QString name = QFileInfo(path).completeBaseName();
        if (ZMessageBox::ask(this, UI::RestoreRun.arg(name))) {
            if (!RecoveryCopy::restore(copy)) {
                ZMessageBox::tell(this, UI::RestoreFailed.arg(name));
            } else {
                const ExperimentRef restored = RecordActions::experimentOf(path);
                RecordActions::ask([&](RecordSession& s) {
                    s.recordOn(restored, QStringLiteral("恢复"), QFileInfo(copy).fileName(), QFileInfo(path).fileName());
                    s.indexExperiment(restored, path);
                });
                slotOpenFile(path);
            }
        } else if (ZMessageBox::ask(this, UI::DiscardRun.arg(name))) {
            RecoveryCopy::discard(path);
        }
    }
    rememberKeptCopies();
    // Named in module order, whatever order the copies were found in.
    std::sort(modules.begin(), modules.end());
    if (!modules.isEmpty())
        ZMessageBox::tell(this, UI::SafeModules.arg(modules.join("、")));
}

void UiHome::rememberSafe(char number)
{
    const QString copy = mSafing.take(int(number));
    if (copy.isEmpty())
        return;
    mSafeKeys << safeKey(copy);
    rememberKeptCopies();
}

void UiHome::rememberKeptCopies()
{
    // A copy kept for later is remembered once its module answered its stop sequence, so the next
    // start does not stop the module again; a program left at its login, or a module that stayed
    // silent, gets the stop sequence again at the next start. Restored or discarded copies are gone.
    Settings settings(UI::SettingsFile, QSettings::IniFormat);
    const QStringList madeSafe = settings.getMadeSafe() + mSafeKeys;
    QStringList kept;
    for (const QString& copy : RecoveryCopy::pending(UI::UserDirName.arg(QDir::currentPath())))
        if (madeSafe.contains(safeKey(copy)))
            kept << safeKey(copy);
    settings.setMadeSafe(kept);
}

bool UiHome::stopsUnderWay() const
{
    // While the port is down nothing is under way: the stop is owed, and said so.
    for (int number = 1; number < mMachine->getPcrCount(); ++number)
        if (mMachine->isSafing(number) && !mMachine->isStopOwed(number) && mMachine->isOpenState())
            return true;
    return false;
}

QStringList UiHome::stopOwedNames() const
{
    QStringList names;
    for (int number : mMachine->stopOwedModules())
        names << QStringLiteral("PCR %1").arg(number);
    return names;
}

void UiHome::closeEvent(QCloseEvent* event)
{
    if (mClosing) {
        // Closed again once the last stopped run is saved and every stop sequence played or
        // found unanswered.
        if (!mRunWindow->runningPages().isEmpty() || stopsUnderWay())
            return event->ignore();
        const QStringList owed = stopOwedNames();
        const bool told = std::all_of(owed.cbegin(), owed.cend(), [this](const QString& m) { return mToldOwed.contains(m); });
        if (!told && !ZMessageBox::ask(this, UI::ClosingStopOwed.arg(owed.join("\n")))) {
            mClosing = false;
            return event->ignore();
        }
        mRunWindow->hide();
        event->accept();
        emit signalEndMachine();
        return QWidget::closeEvent(event);
    }
    if (!mMachineData.isSync) {
        ZMessageBox::tell(this, UI::SyncInfo);
        event->ignore();
        return;
    }
    const QList<ZRunWidget*> running = mRunWindow->runningPages();
    QStringList tests;
    for (ZRunWidget* page : running)
        tests << QString("PCR %0 · %1").arg(page->pcrNumber()).arg(QFileInfo(page->filePath()).completeBaseName());
    const QStringList owed = stopOwedNames();
    const QString question = !running.isEmpty() ? UI::ClosingWithRuns.arg(tests.join("\n"))
                             : !owed.isEmpty()  ? UI::ClosingStopOwed.arg(owed.join("\n"))
                                                : UI::ClosingInfo;
    if (!ZMessageBox::ask(this, question)) {
        event->ignore();
        return;
    }
    mClosing = true;
    mToldOwed = owed;
    // A stop sequence under way is awaited: its outcome decides whether heaters may still be on.
    connect(mMachine, &Machine::signalSafeState, this, &QWidget::close, Qt::ConnectionType(Qt::QueuedConnection | Qt::UniqueConnection));
    connect(mMachine, &Machine::signalStopUnconfirmed, this, &QWidget::close,
            Qt::ConnectionType(Qt::QueuedConnection | Qt::UniqueConnection));
    connect(mMachine, &Machine::signalEngineError, this, &QWidget::close, Qt::ConnectionType(Qt::QueuedConnection | Qt::UniqueConnection));
    if (!running.isEmpty() || stopsUnderWay()) {
        // Every module plays its stop sequence and every page saves before the program ends.
        event->ignore();
        for (ZRunWidget* page : running) {
            connect(page, &ZRunWidget::signalRunOver, this, &QWidget::close, Qt::QueuedConnection);
            page->stopForClosing();
        }
        return;
    }
    event->accept();
    emit signalEndMachine();
    QWidget::closeEvent(event);
}
