#include "files/LisOutbox.h"

#include "analysis/Quantification.h"
#include "analysis/SampleResults.h"
#include "analysis/TempData.h"
#include "analysis/ResultText.h"
#include "files/Hl7Results.h"
#include "files/LisOptions.h"
#include "files/OutData.h"
#include "files/PdfReport.h"

#include <QDir>
#include <QSaveFile>

namespace LisOutbox {

QString refusal(const OutData& data, const LisOptions& options)
{
    if (!data.withinLimits())
        return QStringLiteral("实验文件超出记录限制");
    const TempData results(data);
    if (SampleResults::of(data, results).isEmpty())
        return QStringLiteral("实验没有样本结果");
    if (options.sendIncomplete)
        return QString();
    if (!data.runComplete)
        return ResultText::incompleteRun() + QStringLiteral("（LIS/SendIncomplete未开启）");
    // The run as the message judges it: its controls and its standard curves.
    const RunValidity run = Quantification::of(data, results).run;
    if (!run.valid)
        return QStringLiteral("检测无效：%1（LIS/SendIncomplete未开启）").arg(run.reasons.join(QStringLiteral("；")));
    return QString();
}

QString write(const OutData& data, const ReportFacts& facts, const LisOptions& options, const QString& path, const QDateTime& now)
{
    const QString refused = refusal(data, options);
    if (!refused.isEmpty())
        return refused;
    // Results whose signatures do not fit the file (or cannot be checked) are sent by nobody's
    // approval: never, whatever the lab lets through otherwise.
    if (!facts.warning.isEmpty())
        return QStringLiteral("签名与文件不符或无法核实：") + facts.warning;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(Hl7Results::message(data, facts, options, now)) < 0 || !file.flush() || !file.commit())
        return QStringLiteral("无法写入%1").arg(QDir::toNativeSeparators(path));
    return QString();
}

QString drop(const OutData& data, const ReportFacts& facts, const LisOptions& options, QString& written)
{
    if (options.folder.isEmpty())
        return QStringLiteral("设置中没有LIS文件夹（LIS/Folder）");
    if (!QDir(options.folder).exists())
        return QStringLiteral("LIS文件夹%1不存在").arg(QDir::toNativeSeparators(options.folder));
    // The name's start keeps the file name within what any file system takes, whatever the script;
    // a message sent again within the same millisecond takes the next one, so that neither its file
    // nor its control id (the same time) is one the LIS has seen.
    QDateTime now = QDateTime::currentDateTime();
    const auto pathAt = [&](const QDateTime& at) {
        return QDir(options.folder).filePath(QStringLiteral("%1-%2.hl7").arg(facts.experiment.left(60), at.toString("yyyyMMddHHmmsszzz")));
    };
    while (QFile::exists(pathAt(now)))
        now = now.addMSecs(1);
    const QString path = pathAt(now);
    const QString fault = write(data, facts, options, path, now);
    if (fault.isEmpty())
        written = path;
    return fault;
}

}
