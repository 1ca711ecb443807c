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

QString refusal(Permission permission)
{
    return ask([permission](RecordSession& s) { return s.refusal(permission); });
}

QString changeRefusal(const QString& path, Permission permission)
{
    const ExperimentRef experiment = experimentOf(path);
    return ask([&experiment, permission](RecordSession& s) { return s.changeRefusal(experiment, permission); });
}

bool record(const QString& action, const QString& objectType, const QString& objectName, const QString& oldValue, const QString& newValue)
{
    return ask([&](RecordSession& s) { return s.record(action, objectType, objectName, oldValue, newValue); });
}

void stamp(OutData& record)
{
    // Only the stamp crosses: the page's own record is for the window's thread alone.
    OutData stamped;
    stamped.recordId = record.recordId;
    stamped.storeId = record.storeId;
    ask([&stamped](RecordSession& s) { s.stamp(stamped); });
    record.recordId = stamped.recordId;
    record.storeId = stamped.storeId;
    record.trailEntry = stamped.trailEntry;
    record.trailHash = stamped.trailHash;
}

void recordRun(const ExperimentRef& experiment, const QString& action, const QString& newValue)
{
    DataHead::instance()->getMpStore()->post([experiment, action, newValue](RecordSession& s) { s.recordRun(experiment, action, newValue); });
}

void recordRunSave(const QString& path)
{
    DataHead::instance()->getMpStore()->post([experiment = experimentOf(path), path](RecordSession& s) { s.indexExperiment(experiment, path, true); });
}

bool allowed(QWidget* parent, const QString& refusal)
{
    if (refusal.isEmpty())
        return true;
    // What someone tried and was refused is the trail's too.
    ask([&refusal](RecordSession& s) { s.record(QStringLiteral("拒绝"), QStringLiteral("session"), s.actor(), QString(), refusal); });
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
    menu.addAction(UI::ActionHistory, parent, [parent, experiment] { HistoryDialog(experiment, parent).exec(); });
    // What the menu offers, asked in one go.
    struct Offers {
        bool sign = false;
        bool approved = false;
        bool unlock = false;
        bool explain = false;
    };
    const Offers offers = ask([&experiment, &path](RecordSession& s) {
        Offers o;
        if (!s.usersOn() || !s.may(Permission::Sign))
            return o;
        o.sign = true;
        const QVector<Signature> signatures = s.signatures().of(experiment).holding;
        o.approved = std::any_of(signatures.cbegin(), signatures.cend(), [](const Signature& g) { return LisDelivery::sends(g.meaning); });
        o.unlock = s.may(Permission::Unlock) && s.signatures().isLocked(experiment);
        o.explain = s.may(Permission::Unlock) && !s.fileChange(experiment, path).isEmpty();
        return o;
    });
    if (!offers.sign)
        return;
    menu.addAction(UI::ActionSign, parent, [parent, path, experiment, changed] {
        if (!allowed(parent, refusal(Permission::Sign)))
            return;
        SignDialog dialog(experiment, path, parent);
        if (dialog.exec() != QDialog::Accepted)
            return;
        changed();
        // An approval sends the results on; the signature holds whether or not they could be sent.
        if (LisDelivery::sends(dialog.meaning()))
            sendToLis(parent, path, LisDelivery::Moment::Approved);
    });
    // An approved experiment's results may go again: the folder may have been away the first time.
    if (offers.approved && !DataHead::instance()->getMpSettings()->getLisFolder().isEmpty())
        menu.addAction(UI::ActionResendLis, parent, [parent, path] { sendToLis(parent, path, LisDelivery::Moment::Approved); });
    if (offers.unlock) {
        menu.addAction(UI::ActionUnlock, parent, [parent, experiment, changed] {
            QString reason;
            if (!ReasonDialog::ask(parent, UI::UnlockReason.arg(experiment.name), reason))
                return;
            if (allowed(parent, ask([&](RecordSession& s) { return s.unlock(experiment, reason); })))
                changed();
        });
    }
    // A file changed outside the program is signed only after an administrator says why.
    if (offers.explain) {
        menu.addAction(QStringLiteral("说明文件改动…"), parent, [parent, path, experiment, changed] {
            QString reason;
            const QString question = QStringLiteral("实验%1的文件在程序之外被改动，请填写原因（将记入审计记录）：").arg(experiment.name);
            if (ReasonDialog::ask(parent, question, reason)
                && allowed(parent, ask([&](RecordSession& s) { return s.explainChange(experiment, path, reason); })))
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
    const QString header = DataHead::instance()->getMpSettings()->getReportHeader();
    const ReportFacts facts = ask([&](RecordSession& s) { return ReportRecords::facts(s, experiment, path, header); });
    const QString fault = PdfReport::write(data, facts, out);
    if (fault.isEmpty())
        recordExport(path, out);
    ZMessageBox::tell(parent, fault.isEmpty() ? UI::FileWritten.arg(QDir::toNativeSeparators(out)) : fault);
}

QVector<QStringList> exportRows(const QString& path)
{
    const ExperimentRef experiment = experimentOf(path);
    return ask([&](RecordSession& s) { return ReportRecords::exportRows(s, experiment, path); });
}

void recordExport(const QString& path, const QString& written)
{
    if (written.isEmpty())
        return;
    const ExperimentRef experiment = experimentOf(path);
    ask([&](RecordSession& s) { s.recordOn(experiment, QStringLiteral("导出"), QString(), QFileInfo(written).fileName()); });
}

bool recordImport(const QString& path, const QString& source)
{
    const ExperimentRef experiment = experimentOf(path);
    if (ask([&](RecordSession& s) {
            return s.recordOn(experiment, QStringLiteral("导入"), QString(), QFileInfo(source).fileName()) && s.indexExperiment(experiment, path);
        }))
        return true;
    // An import the trail does not take is not kept.
    QFile::remove(path);
    return false;
}

void sendToLis(QWidget* parent, const QString& path, LisDelivery::Moment moment)
{
    bool sent = false;
    // The store's thread reads the settings through an object of its own: one is not for two threads.
    const QString said = ask([&](RecordSession& s) {
        return LisDelivery::deliver(s, Settings(UI::SettingsFile, QSettings::IniFormat), path, moment, sent);
    });
    if (!said.isEmpty())
        ZMessageBox::notify(parent, said);
}

QString signatureLine(const QString& path, bool& red)
{
    const ExperimentRef experiment = experimentOf(path);
    QVector<Signature> holding;
    const QString mismatch = ask([&](RecordSession& s) {
        const QString warning = s.warning(experiment, path);
        if (warning.isEmpty())
            holding = s.signatures().of(experiment).holding;
        return warning;
    });
    red = !mismatch.isEmpty();
    if (red)
        return mismatch;
    QStringList signers;
    for (const Signature& s : holding)
        signers << QStringLiteral("%1 %2 %3").arg(s.fullName, s.meaning, s.at.toLocalTime().toString("yyyy-MM-dd HH:mm"));
    return signers.isEmpty() ? QString() : QStringLiteral("已签名锁定：") + signers.join(QStringLiteral("；"));
}

}
