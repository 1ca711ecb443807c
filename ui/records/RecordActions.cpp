#include "ui/records/RecordActions.h"

#include "app/DataHead.h"
#include "app/Settings.h"
#include "app/UI.h"
#include "files/OutData.h"
#include "records/RecordSession.h"
#include "records/ReportRecords.h"
#include "ui/dialogs/SavePath.h"
#include "ui/dialogs/ZMessageBox.h"
#include "ui/records/HistoryDialog.h"
#include "ui/records/ReasonDialog.h"
#include "ui/records/SignDialog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>

#include <algorithm>

namespace RecordActions {

RecordSession& session()
{
    return *DataHead::instance()->getMpRecords();
}

bool allowed(QWidget* parent, const QString& refusal)
{
    if (refusal.isEmpty())
        return true;
    // What someone tried and was refused is the trail's too.
    session().record(QStringLiteral("拒绝"), QStringLiteral("session"), session().actor(), QString(), refusal);
    ZMessageBox::tell(parent, refusal);
    return false;
}

ExperimentRef experimentOf(const QString& path)
{
    return ExperimentRef::of(path);
}

void addTo(QMenu& menu, QWidget* parent, const QString& path, const std::function<void()>& changed)
{
    const ExperimentRef experiment = experimentOf(path);
    menu.addSeparator();
    menu.addAction(UI::ActionReport, parent, [parent, path] { printReport(parent, path); });
    menu.addAction(UI::ActionHistory, parent, [parent, experiment] { HistoryDialog(session(), experiment, parent).exec(); });
    if (!session().usersOn() || !session().may(Permission::Sign))
        return;
    menu.addAction(UI::ActionSign, parent, [parent, path, experiment, changed] {
        if (!allowed(parent, session().refusal(Permission::Sign)))
            return;
        SignDialog dialog(session(), experiment, path, parent);
        if (dialog.exec() != QDialog::Accepted)
            return;
        changed();
        // An approval sends the results on; the signature holds whether or not they could be sent.
        if (LisDelivery::sends(dialog.meaning()))
            sendToLis(parent, path, LisDelivery::Moment::Approved);
    });
    // An approved experiment's results may go again: the folder may have been away the first time.
    const QVector<Signature> signatures = session().signatures().of(experiment).holding;
    const bool approved = std::any_of(signatures.cbegin(), signatures.cend(), [](const Signature& s) { return LisDelivery::sends(s.meaning); });
    if (approved && !DataHead::instance()->getMpSettings()->getLisFolder().isEmpty())
        menu.addAction(UI::ActionResendLis, parent, [parent, path] { sendToLis(parent, path, LisDelivery::Moment::Approved); });
    if (session().may(Permission::Unlock) && session().signatures().isLocked(experiment)) {
        menu.addAction(UI::ActionUnlock, parent, [parent, experiment, changed] {
            QString reason;
            if (!ReasonDialog::ask(parent, UI::UnlockReason.arg(experiment.name), reason))
                return;
            if (allowed(parent, session().unlock(experiment, reason)))
                changed();
        });
    }
    // A file changed outside the program is signed only after an administrator says why.
    if (session().may(Permission::Unlock) && !session().fileChange(experiment, path).isEmpty()) {
        menu.addAction(QStringLiteral("说明文件改动…"), parent, [parent, path, experiment, changed] {
            QString reason;
            const QString question = QStringLiteral("实验%1的文件在程序之外被改动，请填写原因（将记入审计记录）：").arg(experiment.name);
            if (ReasonDialog::ask(parent, question, reason) && allowed(parent, session().explainChange(experiment, path, reason)))
                changed();
        });
    }
}

void printReport(QWidget* parent, const QString& path)
{
    OutData data;
    if (data.openAs(path) != 0)
        return ZMessageBox::tell(parent, UI::PcrdFileError);
    QString proposed = path;
    proposed.chop(QFileInfo(path).suffix().size() + 1);
    const QString out = askSavePath(parent, UI::ReportExport, proposed, "pdf");
    if (out.isEmpty())
        return;
    const ExperimentRef experiment = experimentOf(path);
    const ReportFacts facts = ReportRecords::facts(session(), experiment, path, DataHead::instance()->getMpSettings()->getReportHeader());
    const QString fault = PdfReport::write(data, facts, out);
    if (fault.isEmpty())
        recordExport(path, out);
    ZMessageBox::tell(parent, fault.isEmpty() ? UI::FileWritten.arg(QDir::toNativeSeparators(out)) : fault);
}

QVector<QStringList> exportRows(const QString& path)
{
    return ReportRecords::exportRows(session(), experimentOf(path), path);
}

void recordExport(const QString& path, const QString& written)
{
    if (!written.isEmpty())
        session().recordOn(experimentOf(path), QStringLiteral("导出"), QString(), QFileInfo(written).fileName());
}

bool recordImport(const QString& path, const QString& source)
{
    const ExperimentRef experiment = experimentOf(path);
    if (session().recordOn(experiment, QStringLiteral("导入"), QString(), QFileInfo(source).fileName())
        && session().indexExperiment(experiment, path))
        return true;
    // An import the trail does not take is not kept.
    QFile::remove(path);
    return false;
}

void sendToLis(QWidget* parent, const QString& path, LisDelivery::Moment moment)
{
    bool sent = false;
    const QString said = LisDelivery::deliver(session(), *DataHead::instance()->getMpSettings(), path, moment, sent);
    if (!said.isEmpty())
        ZMessageBox::notify(parent, said);
}

QString signatureLine(const QString& path, bool& red)
{
    const ExperimentRef experiment = experimentOf(path);
    const QString mismatch = session().warning(experiment, path);
    red = !mismatch.isEmpty();
    if (red)
        return mismatch;
    QStringList signers;
    for (const Signature& s : session().signatures().of(experiment).holding)
        signers << QStringLiteral("%1 %2 %3").arg(s.fullName, s.meaning, s.at.toLocalTime().toString("yyyy-MM-dd HH:mm"));
    return signers.isEmpty() ? QString() : QStringLiteral("已签名锁定：") + signers.join(QStringLiteral("；"));
}

}
