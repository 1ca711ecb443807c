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
    const double magnitude = value != 0 ? std::floor(std::log10(std::abs(value))) : 0;
    return QString::number(value, 'f', int(qBound(0.0, 2 - magnitude, 6.0)));
}

QString typeNote(const SampleType& type)
{
    QString note = QStringLiteral("样本类型：") + RunControls::typeName(type.type);
    if (type.type == QLatin1String("std"))
        note += QStringLiteral(" %1 %2").arg(ResultText::quantity(type.quantity), RunControls::unitName(type.unit));
    return note;
}

}

Hl7Results::Hl7Results(const OutData& data, const QString& status, const QDateTime& now)
    : mData(data), mStatus(status), mNow(now), mRunTime(data.inData.dateTime.isValid() ? data.runTime() : now)
{
}

void Hl7Results::note(const QString& text)
{
    if (!text.isEmpty())
        mMessage.add("NTE", {{QString::number(++mNotes)}, {"L"}, {text}});
}

void Hl7Results::order(int setId, const QString& placer, const QString& filler)
{
    const SMethod& m = mData.inData.method;
    mMessage.add("PID", {{QString::number(setId)}, {}, {placer.isEmpty() ? filler : placer}});
    QVector<Field> obr(25);
    obr[0] = Field{QString::number(setId)};
    obr[1] = Field{placer};
    obr[2] = Field{filler};
    obr[3] = Field{m.Id.isEmpty() ? m.Name : m.Id, m.Name, "L"};
    obr[6] = Field{Hl7Message::time(mRunTime)};
    obr[21] = Field{Hl7Message::time(mNow)};
    obr[24] = Field{mStatus};
    mMessage.add("OBR", obr);
    mNotes = 0;
    mObservations = 0;
}

void Hl7Results::observe(const QString& valueType, const Field& id, int subId, const Field& value, const Field& unit)
{
    mMessage.add("OBX", {{QString::number(++mObservations)}, {valueType}, id, {QString::number(subId)}, value, unit,
                         {}, {}, {}, {}, {mStatus}, {}, {}, {Hl7Message::time(mRunTime)}});
    mNotes = 0;
}

void Hl7Results::sample(const QuantSample& s, const ReportFacts& facts, const QString& validity)
{
    order(++mOrders, s.name, QStringLiteral("%1-%2").arg(facts.experiment).arg(s.sample + 1));
    note(typeNote(mData.inData.setup.sampleTypes.value(s.sample)));
    const QString remark = mData.inData.sampleRemarks.value(s.sample);
    note(remark.isEmpty() ? QString() : QStringLiteral("备注：") + remark);
    note(validity);
    note(facts.operatorName.isEmpty() ? QString() : QStringLiteral("操作者：") + facts.operatorName);
    for (const ReportFacts::Signer& signer : facts.signatures)
        note(QStringLiteral("签名：%1 %2 %3").arg(signer.meaning, signer.name, signer.at.toString(Qt::ISODate)));
    // Which store vouches for those signatures.
    note(facts.signatures.isEmpty() ? QString() : facts.records);
}

void Hl7Results::target(const QuantSample& s, int subId, double meanCt)
{
    // A quantity's own flags go with the quantity, the replicates' with the call.
    static const QRegularExpression quantityFlags("^(outside-standards|few-replicates|curve-failed)$");
    const QStringList own = s.flags.filter(quantityFlags);
    QStringList flags = s.flags;
    for (const QString& f : own)
        flags.removeAll(f);
    observe("CWE", {s.target, s.target, "L"}, subId, callCode(s.call));
    note(flags.isEmpty() ? QString() : QStringLiteral("质控：") + QcFlags::names(flags));
    if (meanCt > 0)
        observe("NM", {s.target + "-Ct", s.target + " Ct", "L"}, subId, {ResultText::ct(meanCt)});
    if (!std::isfinite(s.quantity))
        return;
    observe("NM", {s.target + "-Q", s.target + QStringLiteral(" 定量"), "L"}, subId, {number(s.quantity)},
            {s.unit, RunControls::unitName(s.unit), "L"});
    note(own.isEmpty() ? QString() : QStringLiteral("质控：") + QcFlags::names(own));
}

QByteArray Hl7Results::message(const OutData& data, const ReportFacts& facts, const LisOptions& options, const QDateTime& now)
{
    const TempData results(data);
    const QuantResult quant = Quantification::of(data, results);
    const QVector<SampleResult> calls = SampleResults::of(data, results);
    QStringList why;
    if (!data.runComplete)
        why << ResultText::incompleteRun();
    if (!quant.run.valid)
        why << QStringLiteral("检测无效：") + quant.run.reasons.join(QStringLiteral("；"));
    Hl7Results w(data, why.isEmpty() ? QStringLiteral("F") : QStringLiteral("P"), now);
    w.mMessage.add("MSH", {{"tamarin"}, {options.facility}, {options.receivingApplication}, {options.receivingFacility},
                           {Hl7Message::time(now)}, {}, {"ORU", "R01", "ORU_R01"}, {now.toString("yyyyMMddHHmmsszzz")},
                           {"P"}, {"2.5.1"}, {}, {}, {}, {}, {}, {"UNICODE UTF-8"}});
    int previous = -1, targets = 0;
    for (const QuantSample& s : quant.samples) {
        if (s.sample != previous) {
            previous = s.sample;
            targets = 0;
            w.sample(s, facts, why.isEmpty() ? QStringLiteral("检测有效") : why.join(QStringLiteral("；")));
        }
        double meanCt = 0;
        for (const SampleResult& r : calls)
            if (r.sample == s.sample && r.target == s.target && r.channel == s.channel && r.positive > 0)
                meanCt = r.meanCt;
        w.target(s, ++targets, meanCt);
    }
    return w.mMessage.bytes();
}
