#include "records/ReportRecords.h"

#include "records/RecordSession.h"

namespace ReportRecords {

ReportFacts facts(RecordSession& session, const ExperimentRef& experiment, const QString& path, const QString& header)
{
    ReportFacts f;
    f.header = header;
    f.experiment = experiment.name;
    f.warning = session.warning(experiment, path);
    const Signatures::State state = session.signatures().of(experiment);
    const QString storeId = session.store().id();
    // A store that does not answer vouches for nothing: the report says the signatures cannot be
    // told rather than that there are none.
    if (!session.isOpen() || !state.answered || storeId.isEmpty()) {
        f.warning = QStringLiteral("签名状态无法核实");
        return f;
    }
    for (const AuditEntry& e : session.trail().ofExperiment(experiment)) {
        if (e.action == QStringLiteral("开始运行")) {
            UserAccount account;
            f.operatorName = session.users().find(e.user, account) ? account.fullName : e.user;
        }
    }
    for (const Signature& s : state.holding)
        f.signatures.append({s.fullName.isEmpty() ? s.user : s.fullName, s.meaning, s.at, s.fileHash});
    // Which store vouches for the signatures, and how far its trail reached: a report printed
    // from another store, or a trail cut later, shows against these.
    const AuditTrail::Head head = session.trail().head();
    f.records = QStringLiteral("记录库 %1 · 审计追踪第%2条 %3").arg(storeId).arg(head.id).arg(head.hash);
    return f;
}

QVector<QStringList> exportRows(RecordSession& session, const ExperimentRef& experiment, const QString& path)
{
    if (!session.usersOn())
        return {};
    const ReportFacts f = facts(session, experiment, path, QString());
    QVector<QStringList> rows;
    for (const ReportFacts::Signer& s : f.signatures)
        rows.append({QStringLiteral("签名"), s.name, s.meaning, s.at.toUTC().toString(Qt::ISODate)});
    const QString lock = !f.warning.isEmpty() ? f.warning : f.signatures.isEmpty() ? QStringLiteral("未签名") : QStringLiteral("已签名锁定");
    rows.append({QStringLiteral("锁定状态"), lock});
    rows.append({QStringLiteral("记录库"), f.records});
    return rows;
}

}
