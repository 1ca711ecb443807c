#include "records/LisDelivery.h"

#include "app/Settings.h"
#include "files/LisOptions.h"
#include "files/LisOutbox.h"
#include "files/OutData.h"
#include "records/RecordSession.h"
#include "records/ReportRecords.h"

#include <QDir>
#include <QFileInfo>

namespace LisDelivery {

bool sends(const QString& meaning)
{
    return meaning == QStringLiteral("批准");
}

QString deliver(RecordSession& session, const Settings& settings, const QString& path, Moment moment, bool& sent)
{
    sent = false;
    const LisOptions options = LisOptions::from(settings);
    if (options.folder.isEmpty() || (moment == Moment::RunEnded && !options.sendAfterRun))
        return QString();
    OutData data;
    QString written;
    QString fault = data.openAs(path) == 0 ? QString() : QStringLiteral("无法读取实验文件");
    const ExperimentRef experiment = ExperimentRef::of(path, data);
    if (fault.isEmpty())
        fault = LisOutbox::drop(data, ReportRecords::facts(session, experiment, path, settings.getReportHeader()), options, written);
    sent = fault.isEmpty();
    if (!sent) {
        session.recordOn(experiment, QStringLiteral("未发送LIS"), QString(), QString(), fault);
        return QStringLiteral("结果未发送到LIS：") + fault;
    }
    // A message the trail does not know of is taken back before the LIS takes it up.
    if (!session.recordOn(experiment, QStringLiteral("发送LIS"), QString(), QFileInfo(written).fileName())) {
        QFile::remove(written);
        sent = false;
        return QStringLiteral("结果未发送到LIS：记录库未记下发送（%1）").arg(session.fault());
    }
    return QStringLiteral("结果已发送到LIS：") + QDir::toNativeSeparators(written);
}

}
