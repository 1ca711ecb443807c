#include "ui/run/ZRunAllWidget.h"

#include "app/UI.h"
#include "instrument/Machine.h"
#include "records/RecordSession.h"
#include "ui/dialogs/ZMessageBox.h"
#include "ui/records/RecordActions.h"
#include "ui/resources/Pictures.h"
#include "ui/run/ZRunWidget.h"
#include "ui_ZRunAllWidget.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QPushButton>
#include <QTabBar>

ZRunAllWidget::ZRunAllWidget(QWidget* parent, Machine* machine)
    : QWidget(parent), ui(new Ui::ZRunAllWidget), mMachine(machine ? machine : Machine::instance())
{
    Pictures::ensureLoaded();
    ui->setupUi(this);
    setWindowTitle(UI::RunTitle);
    const QSize screen = UI::ScreenSize();
    resize(screen.isValid() ? screen : QSize(1400, 900));
    // Experiment names are long and all alike at the start; show them whole.
    ui->tabWidget->setElideMode(Qt::ElideNone);
    QFont font = ui->tabWidget->tabBar()->font();
    font.setPixelSize(14);
    ui->tabWidget->tabBar()->setFont(font);
    connect(ui->tabWidget, &QTabWidget::tabCloseRequested, this, &ZRunAllWidget::slotTabCloseRequested);
    // The way back to the home window, whatever runs here.
    auto* home = new QPushButton(UI::HomeTitle, this);
    home->setObjectName("pushButton_Home");
    ui->tabWidget->setCornerWidget(home, Qt::TopRightCorner);
    connect(home, &QPushButton::clicked, this, &ZRunAllWidget::signalShowHome);
}

QList<ZRunWidget*> ZRunAllWidget::runningPages() const
{
    QList<ZRunWidget*> running;
    for (int i = 0; i < pageCount(); ++i)
        if (page(i)->isRunning())
            running << page(i);
    return running;
}

ZRunAllWidget::~ZRunAllWidget()
{
    delete ui;
}

ZRunWidget* ZRunAllWidget::addRunDataWidget(const InData& in, const QString& filePath)
{
    auto* page = new ZRunWidget(this, mMachine);
    page->setMFilePath(filePath);
    page->setInData(in);
    ui->tabWidget->addTab(page, page->title());
    connect(page, &ZRunWidget::signalStateChanged, this, [this](ZRunWidget* changed) {
        ui->tabWidget->setTabText(ui->tabWidget->indexOf(changed), changed->title());
    });
    // The end of a run is told wherever the operator is looking, without waiting for an answer.
    connect(page, &ZRunWidget::signalRunOver, this, [this, page] {
        // An incomplete run says why: no answer, or the link broken.
        QString state = page->title().section(" · ", 2);
        const QString why = mMachine->runNote(page->pcrNumber());
        if (!page->isRunComplete() && !why.isEmpty())
            state += QStringLiteral("（%1）").arg(why);
        ZMessageBox::notify(this, UI::RunOver.arg(page->pcrNumber()).arg(QFileInfo(page->filePath()).completeBaseName(), state));
    });
    ui->tabWidget->setCurrentWidget(page);
    mMachine->setPcrEmployed(true, in.pcrNumber, page);
    RecordActions::recordRun(RecordActions::experimentOf(filePath), QStringLiteral("创建实验"),
                             QStringLiteral("%1，PCR %2").arg(in.method.Name).arg(in.pcrNumber));
    return page;
}

ZRunWidget* ZRunAllWidget::page(int index) const
{
    return qobject_cast<ZRunWidget*>(ui->tabWidget->widget(index));
}

int ZRunAllWidget::pageCount() const
{
    return ui->tabWidget->count();
}

bool ZRunAllWidget::showExperiment(const QString& path)
{
    for (int i = 0; i < pageCount(); ++i) {
        if (QFileInfo(page(i)->filePath()) != QFileInfo(path))
            continue;
        ui->tabWidget->setCurrentIndex(i);
        showMaximized();
        raise();
        activateWindow();
        return true;
    }
    return false;
}

void ZRunAllWidget::slotTabCloseRequested(int index)
{
    ZRunWidget* run = page(index);
    if (!run)
        return;
    if (run->isRunning()) {
        ZMessageBox::tell(this, UI::WaitRunWidget);
        return;
    }
    if (!ZMessageBox::ask(this, UI::CloseRunWidget + "\n" + run->name()))
        return;
    delete run;
    if (pageCount() == 0)
        hide();
}

void ZRunAllWidget::closeEvent(QCloseEvent* event)
{
    if (mMachine->isPcrRunning()) {
        showMinimized();
        event->ignore();
        return;
    }
    if (!ZMessageBox::ask(this, UI::CloseRunWidget)) {
        event->ignore();
        return;
    }
    for (int i = 0; i < pageCount(); ++i)
        page(i)->deleteLater();
    event->accept();
}
