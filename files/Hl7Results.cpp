#include "files/Hl7Results.h"

#include "analysis/QcFlags.h"
#include "analysis/Quantification.h"
#include "analysis/ResultText.h"
#include "analysis/SampleResults.h"
#include "analysis/TempData.h"
#include "files/Hl7Message.h"
#include "files/LisOptions.h"
#include "files/PdfReport.h"
#include "files/OutData.h"

#include <QRegularExpression>

#include <cmath>

namespace Hl7Results {

namespace {

using Field = Hl7Message::Field;

// A call as the LIS codes it, with the word a person reads.
Field callCode(const QString& call)
{
    static const QStringList words = {ResultText::call(true, true), ResultText::call(false, true), SampleResults::invalid()};
    static const QStringList codes = {"POS", "NEG", "INV"};
    const int i = words.indexOf(call);
    return {i >= 0 ? codes[i] : QStringLiteral("INC"), call, "L"};
}

// HL7's numbers have no exponent: three significant digits in fixed notation, as the tables round.
QString number(double value)
{
    const int digits = qBound(0, 2 - int(std::floor(std::log10(std::abs(value)))), 6);
    return QString::number(value, 'f', digits);
}

QString typeNote(const SampleType& type)
{
    QString note = QStringLiteral("样本类型：") + RunControls::typeName(type.type);
    if (type.type == QLatin1String("std"))
        note += QStringLiteral(" %1 %2").arg(ResultText::quantity(type.quantity), RunControls::unitName(type.unit));
    return note;
}

class Writer
{
public:
    Writer(const OutData& data, const QString& status, const QDateTime& runTime) : mData(data), mStatus(status), mRunTime(runTime) {}
    Hl7Message message;

    void note(const QString& text)
    {
        if (!text.isEmpty())
            message.add("NTE", {{QString::number(++mNotes)}, {"L"}, {text}});
    }
    void order(int setId, const QString& placer, const QString& filler, const QDateTime& now)
    {
        const SMethod& m = mData.inData.method;
        message.add("PID", {{QString::number(setId)}, {}, {placer.isEmpty() ? filler : placer}});
        QVector<Field> obr(25);
        obr[0] = Field{QString::number(setId)};
        obr[1] = Field{placer};
        obr[2] = Field{filler};
        obr[3] = Field{m.Id.isEmpty() ? m.Name : m.Id, m.Name, "L"};
        obr[6] = Field{Hl7Message::time(mRunTime)};
        obr[21] = Field{Hl7Message::time(now)};
        obr[24] = Field{mStatus};
        message.add("OBR", obr);
        mNotes = 0;
        mObservations = 0;
    }
    void observe(const QString& valueType, const Field& id, int subId, const Field& value, const Field& unit = {})
    {
        message.add("OBX", {{QString::number(++mObservations)}, {valueType}, id, {QString::number(subId)}, value, unit,
                            {}, {}, {}, {}, {mStatus}, {}, {}, {Hl7Message::time(mRunTime)}});
        mNotes = 0;
    }

private:
    const OutData& mData;
    QString mStatus;
    QDateTime mRunTime;
    int mNotes = 0;
    int mObservations = 0;
};

}

QByteArray message(const OutData& data, const ReportFacts& facts, const LisOptions& options, const QDateTime& now)
{
    const TempData results(data);
    const QuantResult quant = Quantification::of(data, results);
    const QVector<SampleResult> calls = SampleResults::of(data, results);
    QStringList why;
    if (!data.runComplete)
        why << ResultText::incompleteRun();
    if (!quant.run.valid)
        why << QStringLiteral("检测无效：") + quant.run.reasons.join(QStringLiteral("；"));
    const QDateTime runTime = data.inData.dateTime.isValid() ? data.inData.dateTime : now;
    Writer w(data, why.isEmpty() ? QStringLiteral("F") : QStringLiteral("P"), runTime);
    w.message.add("MSH", {{"tamarin"}, {options.facility}, {options.receivingApplication}, {options.receivingFacility},
                          {Hl7Message::time(now)}, {}, {"ORU", "R01", "ORU_R01"}, {now.toString("yyyyMMddHHmmsszzz")},
                          {"P"}, {"2.5.1"}, {}, {}, {}, {}, {}, {"UNICODE UTF-8"}});
    int previous = -1, orders = 0, targets = 0;
    for (const QuantSample& s : quant.samples) {
        if (s.sample != previous) {
            previous = s.sample;
            targets = 0;
            w.order(++orders, s.name, QStringLiteral("%1-%2").arg(facts.experiment).arg(s.sample + 1), now);
            w.note(typeNote(data.inData.setup.sampleTypes.value(s.sample)));
            w.note(data.inData.sampleRemarks.value(s.sample).isEmpty() ? QString() : QStringLiteral("备注：") + data.inData.sampleRemarks.value(s.sample));
            w.note(why.isEmpty() ? QStringLiteral("检测有效") : why.join(QStringLiteral("；")));
            w.note(facts.operatorName.isEmpty() ? QString() : QStringLiteral("操作者：") + facts.operatorName);
            for (const ReportFacts::Signer& signer : facts.signatures)
                w.note(QStringLiteral("签名：%1 %2 %3").arg(signer.meaning, signer.name, signer.at.toString(Qt::ISODate)));
        }
        ++targets;
        w.observe("CWE", {s.target, s.target, "L"}, targets, callCode(s.call));
        QStringList flags = s.flags;
        flags.removeAll(QStringLiteral("outside-standards"));
        flags.removeAll(QStringLiteral("few-replicates"));
        w.note(flags.isEmpty() ? QString() : QStringLiteral("质控：") + QcFlags::names(flags));
        for (const SampleResult& r : calls)
            if (r.sample == s.sample && r.target == s.target && r.channel == s.channel && r.positive > 0)
                w.observe("NM", {s.target + "-Ct", s.target + " Ct", "L"}, targets, {ResultText::ct(r.meanCt)});
        if (std::isfinite(s.quantity)) {
            w.observe("NM", {s.target + "-Q", s.target + QStringLiteral(" 定量"), "L"}, targets, {number(s.quantity)},
                      {s.unit, RunControls::unitName(s.unit), "L"});
            const QStringList own = s.flags.filter(QRegularExpression("^(outside-standards|few-replicates)$"));
            w.note(own.isEmpty() ? QString() : QStringLiteral("质控：") + QcFlags::names(own));
        }
    }
    return w.message.bytes();
}

}
