#include "ui/update/AboutDiolog.h"

#include "app/DataHead.h"
#include "app/Settings.h"
#include "app/UI.h"
#include "app/ZGLOBAL.h"
#include "app/ZTo.h"
#include "instrument/Machine.h"
#include "method/JsonControl.h"
#include "records/RecordSession.h"
#include "ui/dialogs/ZMessageBox.h"
#include "ui/home/WaitWidget.h"
#include "ui/records/RecordActions.h"
#include "ui/resources/Pictures.h"
#include "update/HttpManager.h"
#include "ui_AboutDiolog.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QProcess>

AboutDiolog::AboutDiolog(QWidget* parent, Machine* machine, int leaveDelayMs, int transferTimeoutMs)
    : QDialog(parent), ui(new Ui::AboutDiolog), mWait(new WaitWidget(this)), mHttp(new HttpManager(this, transferTimeoutMs)),
      mMachine(machine ? machine : Machine::instance()), mLeaveDelayMs(leaveDelayMs)
{
    Pictures::ensureLoaded();
    ui->setupUi(this);
    setWindowTitle(UI::AboutTitle);
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(455, 303);
    ui->label_Info->setText(UI::AboutInfo.arg(DataHead::instance()->getMSoftWareVersion().toString()));
    ui->stackedWidget->setCurrentWidget(ui->page_Info);
    mWait->hide();
    connect(ui->pushButton_Update, &QPushButton::clicked, this, &AboutDiolog::slotPBnUpdateClicked);
    connect(ui->pushButton_Close, &QPushButton::clicked, this, &QDialog::close);
    connect(mHttp, &HttpManager::signalInfoFinished, this, &AboutDiolog::slotInfoFinished);
    connect(mHttp, &HttpManager::signalInfoError, this, &AboutDiolog::slotInfoError);
    connect(mHttp, &HttpManager::downloadProgress, this, &AboutDiolog::slotDownloadProgress);
}

AboutDiolog::~AboutDiolog()
{
    delete ui;
}

void AboutDiolog::fail(const QString& reason)
{
    mWait->hide();
    ZMessageBox::tell(this, UI::UpdateInfoError.arg(reason));
}

QString AboutDiolog::remote(const QString& path)
{
    const QString base = DataHead::instance()->getMpSettings()->updateBaseAddress();
    if (!HttpManager::isSafeAddress(QUrl::fromUserInput(base))) {
        mWait->hide();
        ZMessageBox::tell(this, UI::UpdateAddressError.arg(base));
        return QString();
    }
    return base + path;
}

void AboutDiolog::slotPBnUpdateClicked()
{
    mWait->show();
    if (QFile::exists(UI::VersionFilePath) && !QFile::remove(UI::VersionFilePath))
        return fail(QStringLiteral("权限不足"));
    const QString url = remote(UI::VersionRemoteFilePath);
    if (url.isEmpty())
        return;
    mChecking = true;
    QDir().mkpath(UI::TempDirName);
    if (!mHttp->get(url, UI::VersionFilePath))
        fail(QStringLiteral("权限不足"));
}

void AboutDiolog::slotInfoFinished()
{
    mWait->hide();
    if (mChecking)
        checkVersionFile();
    else
        checkInstaller();
}

QString AboutDiolog::installerPath() const
{
    return UI::DownLoadPath.arg(QDir::currentPath(), mVersion.version.toString());
}

void AboutDiolog::checkVersionFile()
{
    QFile file(UI::VersionFilePath);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("文件权限不足"));
    file.close();
    AppVersionInfo info;
    if (!DataHead::instance()->getMpJsonControl()->openAppVersion(UI::VersionFilePath, info))
        return fail(QStringLiteral("文件信息错误"));
    // The server names every installer this way; any other name is not ours.
    const QString expected = QString("%0_setup_%1.exe").arg(QCoreApplication::applicationName(), info.version.toString());
    if (info.name != expected)
        return fail(QStringLiteral("软件信息错误"));
    if (info.version <= DataHead::instance()->getMSoftWareVersion()) {
        ZMessageBox::tell(this, UI::HasNewest);
        return;
    }
    if (!ZMessageBox::ask(this, UI::IsDownLoad.arg(info.version.toString())))
        return;
    const QString url = remote(UI::SetupRemoteFilePath.arg(info.name));
    if (url.isEmpty())
        return;
    mVersion = info;
    mChecking = false;
    ui->progressBar->setValue(0);
    ui->stackedWidget->setCurrentWidget(ui->page_Download);
    if (!mHttp->get(url, installerPath()))
        fail(QStringLiteral("文件权限不足"));
}

void AboutDiolog::checkInstaller()
{
    const QString path = installerPath();
    const QString md5 = ZGLOBAL::getFileMd5(path);
    qDebug() << "installer digest" << md5 << "announced" << mVersion.md5;
    if (md5.isEmpty() || md5 != mVersion.md5) {
        ZMessageBox::tell(this, UI::Md5Error);
        return;
    }
    if (!RecordActions::allowed(this, RecordActions::refusal(Permission::ChangeSettings)))
        return;
    if (!ZMessageBox::ask(this, UI::UpdateFileSuccess))
        return;
    // The installer takes the port: never from under a run or a stop sequence.
    QStringList busy;
    for (int module = 1; module <= 4; ++module)
        if (mMachine->isPcrRunning(module) || mMachine->isSafing(module))
            busy << QString("PCR %0").arg(module);
    if (!busy.isEmpty()) {
        ZMessageBox::tell(this, UI::InstallWhileRunning.arg(busy.join(QStringLiteral("、"))));
        return;
    }
    qDebug() << "installer" << path;
    mMachine->closeMachine();
    // A download carries no run permission; only the owner may run it.
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const bool started = QProcess::startDetached(path, {});
    qDebug() << "installer started:" << started;
    if (!started) {
        ZMessageBox::tell(this, UI::InstallerStartError.arg(mVersion.version.toString()));
        return;
    }
    RecordActions::record(QStringLiteral("安装更新"), QStringLiteral("setting"), QStringLiteral("版本"),
                          DataHead::instance()->getMSoftWareVersion().toString(), mVersion.version.toString());
    ZTo::delayMs(mLeaveDelayMs);
    emit signalLeave();
}

void AboutDiolog::slotInfoError(QNetworkReply::NetworkError error)
{
    if (error == QNetworkReply::NoError)
        return;
    // Said in words; the dialog stays, back on its first page, to try again or close.
    fail(HttpManager::errorText(error));
    ui->stackedWidget->setCurrentWidget(ui->page_Info);
}

void AboutDiolog::slotDownloadProgress(qint64 received, qint64 total)
{
    if (total > 0)
        ui->progressBar->setValue(int(received * 100 / total));
}
