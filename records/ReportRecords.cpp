#include "records/ReportRecords.h"

#include "records/RecordSession.h"

namespace ReportRecords {

ReportFacts facts(RecordSession& session, const ExperimentRef& experiment, const QString& path, const QString& header)
{
    ReportFacts f;
    f.header = header;
    f.experiment = experiment.name;
    f.warning = session.warning(experiment, path);
    if (!session.isOpen())
        return f;
    for (const AuditEntry& e : session.trail().ofExperiment(experiment)) {
        if (e.action == QStringLiteral("开始运行")) {
            UserAccount account;
            f.operatorName = session.users().find(e.user, account) ? account.fullName : e.user;
        }
    }
    for (const Signature& s : session.signatures().of(experiment).holding)
        f.signatures.append({s.fullName, s.meaning, s.at, s.fileHash});
    // Which store vouches for the signatures, and how far its trail reached: a report printed
    // from another store, or a trail cut later, shows against these.
    const AuditTrail::Head head = session.trail().head();
    f.records = QStringLiteral("记录库 %1 · 审计追踪第%2条 %3").arg(session.store().id()).arg(head.id).arg(head.hash);
    return f;
}

}
