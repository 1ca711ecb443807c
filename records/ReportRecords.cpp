#include "records/ReportRecords.h"

#include "records/RecordSession.h"

namespace ReportRecords {

ReportFacts facts(RecordSession& session, const QString& experiment, const QString& path, const QString& header)
{
    ReportFacts f;
    f.header = header;
    f.experiment = experiment;
    if (!session.isOpen())
        return f;
    const QVector<AuditEntry> history = session.trail().list(QStringLiteral("experiment"), experiment);
    for (const AuditEntry& e : history) {
        if (e.action == QStringLiteral("开始运行")) {
            UserAccount account;
            f.operatorName = session.users().find(e.user, account) ? account.fullName : e.user;
        }
    }
    for (const Signature& s : session.signatures().of(experiment))
        f.signatures.append({s.fullName.isEmpty() ? s.user : s.fullName, s.meaning, s.at, s.fileHash});
    f.warning = session.signatureMismatch(experiment, path);
    return f;
}

}
