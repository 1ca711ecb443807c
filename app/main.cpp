#include "app/DataHead.h"
#include "app/LogFile.h"
#include "app/Settings.h"
#include "app/UI.h"
#include "app/ZTo.h"
#include "instrument/ListenInterface.h"
#include "instrument/Machine.h"
#include "records/RecordSession.h"
#include "ui/dialogs/ZMessageBox.h"
#include "ui/home/UiHome.h"
#include "ui/records/IdleLock.h"
#include "ui/records/LoginDialog.h"
#include "ui/records/RecordActions.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyleFactory>
#include <QTimer>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    // Dates and numbers in lists and dialogs read as the operator reads them.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    // The toolkit's own dialogs (file choosers) speak the program's language.
    QTranslator toolkit;
    if (toolkit.load(QLocale(QLocale::Chinese, QLocale::China), "qtbase", "_", QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&toolkit);
    QCommandLineParser parser;
    parser.setApplicationDescription("The control and analysis program of the two-colour real-time PCR instrument.");
    parser.addHelpOption();
    parser.addOption({"step-ms", "milliseconds each module spends on a step (1000 on the instrument; shorter only for demos and tests)",
                      "MS", "1000"});
    parser.addOption({"verbose", "write every serial frame and step to the log (log/tamarin.log)"});
    parser.addPositionalArgument("file", "an experiment file (.pcrd) to open for review", "[FILE.pcrd]");
    parser.process(app);
    bool ok = false;
    const int stepMs = parser.value("step-ms").toInt(&ok);
    if (!ok || stepMs < 4)
        parser.showHelp(2);
    Machine::setInstanceTickMs(stepMs / 4);
    ZTo::setStepMs(stepMs / 4 * 4);
    QDir().mkpath(UI::LogDirName);
    LogFile::install(UI::LogDirName + "tamarin.log", parser.isSet("verbose"));

    // Without its record store the program cannot know who may do what; it does not run blind.
    // Read before any other call can be under way on the store's thread.
    RecordSession& records = *DataHead::instance()->getMpRecords();
    if (!records.isOpen()) {
        ZMessageBox::tell(nullptr, UI::StoreFailed.arg(records.store().describe(), records.fault()));
        return 1;
    }
    // The window waits for a slow store with its events going; a person sees why their input waits.
    DataHead::instance()->getMpStore()->setWaitSign([](bool waiting) {
        if (waiting)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });
    auto* home = new UiHome;
    ListenInterface listen;
    app.installNativeEventFilter(&listen);
    home->show();
    // Wired before any login: the instrument is found meanwhile, and the window must learn of it.
    QObject::connect(&listen, &ListenInterface::signalMachineData, home, &UiHome::slotMachineData);
    QObject::connect(home, &UiHome::signalEndMachine, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    // A module that a crash left with its heaters on gets its stop sequence now: it waits for
    // nobody's login.
    home->makeInterruptedSafe();
    if (RecordActions::ask([](RecordSession& s) { return s.usersOn(); }) && LoginDialog(LoginDialog::Mode::Start, home).exec() != QDialog::Accepted) {
        delete home;
        Machine::instance()->shutdown();
        return 0;
    }
    home->showUser();
    IdleLock idleLock(DataHead::instance()->getMpSettings()->getIdleMinutes() * 60000);
    app.installEventFilter(&idleLock);
    QObject::connect(&idleLock, &IdleLock::idle, home, [home] { home->lockForLogin(QStringLiteral("无操作锁定"), true); });
    // Opened once the event loop runs, so that a message about a bad file has a window to sit on.
    if (!parser.positionalArguments().isEmpty())
        QTimer::singleShot(0, home, [home, path = parser.positionalArguments().first()] { home->slotOpenFile(path); });
    QTimer::singleShot(0, home, &UiHome::restoreInterruptedTests);
    const int code = app.exec();
    delete home;
    RecordActions::ask([](RecordSession& s) { s.logout(); });
    // The link's thread ends (the port closed) while the application still serves it.
    Machine::instance()->shutdown();
    return code;
}
