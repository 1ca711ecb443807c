#include "method/RunControls.h"

#include <QDebug>

#include <cmath>

bool ControlRule::operator==(const ControlRule& o) const
{
    return target == o.target && checkNtc == o.checkNtc && ntcMaxCt == o.ntcMaxCt && posCtLow == o.posCtLow && posCtHigh == o.posCtHigh
        && icCtLow == o.icCtLow && icCtHigh == o.icCtHigh;
}

bool RunSetup::operator==(const RunSetup& o) const
{
    return sampleTypes == o.sampleTypes && targetTypes == o.targetTypes && excludedWells == o.excludedWells && calibrator == o.calibrator
        && references == o.references && efficiencies == o.efficiencies
        && fileEfficiencies == o.fileEfficiencies;
}

SampleType RunSetup::typeOf(int sample, const QString& target) const
{
    return targetTypes.value(sample).value(target, sampleTypes.value(sample));
}

namespace RunControls {

namespace {
constexpr double MaxQuantity = 1e15;
constexpr double MaxCt = 100;
constexpr int MaxText = 200; // names and reasons kept from a file

bool ctLimit(const QJsonValue& v, double& out)
{
    out = v.toDouble(0);
    return std::isfinite(out) && out >= 0 && out <= MaxCt;
}

QJsonObject typeToJson(const SampleType& t)
{
    return {{"type", t.type}, {"quantity", t.quantity}, {"unit", t.unit}};
}

SampleType typeFromJson(const QJsonObject& t)
{
    SampleType type;
    if (typeCodes().contains(t.value("type").toString()))
        type.type = t.value("type").toString();
    const double q = t.value("quantity").toDouble(0);
    if (type.type == "std" && RunControls::soundQuantity(q) && unitCodes().contains(t.value("unit").toString())) {
        type.quantity = q;
        type.unit = t.value("unit").toString();
    }
    return type;
}
}

bool soundQuantity(double quantity)
{
    // Below the least a quantity is a mistyped exponent, not an amount: a femtogram in ng is 1e-6.
    return std::isfinite(quantity) && quantity >= 1e-12 && quantity <= MaxQuantity;
}

QStringList typeCodes()
{
    return {"unkn", "ntc", "nac", "pos", "ntp", "std", "nrt", "opt"};
}

QStringList unitCodes()
{
    return {"cop", "fold", "dil", "ng", "nMol", "other"};
}

QString typeName(const QString& code)
{
    static const QStringList names = {QStringLiteral("未知"), QStringLiteral("无模板对照"), QStringLiteral("无扩增对照"),
                                      QStringLiteral("阳性对照"), QStringLiteral("阴性提取对照"), QStringLiteral("标准品"),
                                      QStringLiteral("无逆转录对照"), QStringLiteral("光学校准品")};
    const int i = typeCodes().indexOf(code);
    return i >= 0 ? names[i] : code;
}

QString unitName(const QString& code)
{
    static const QStringList names = {QStringLiteral("拷贝"), QStringLiteral("倍"), QStringLiteral("稀释度"), QStringLiteral("ng"),
                                      QStringLiteral("nmol"), QStringLiteral("其他")};
    const int i = unitCodes().indexOf(code);
    return i >= 0 ? names[i] : code;
}

QString typeCode(const QString& name)
{
    for (const QString& code : typeCodes())
        if (typeName(code) == name || code == name)
            return code;
    return QString();
}

bool parseTypes(const QString& list, int samples, QVector<SampleType>& out, QString& error)
{
    const QStringList items = list.split(',');
    if (items.size() > samples) {
        error = QStringLiteral("%1 types for %2 samples").arg(items.size()).arg(samples);
        return false;
    }
    QVector<SampleType> types;
    for (const QString& item : items) {
        const QStringList parts = item.trimmed().split(':');
        SampleType t;
        t.type = parts.value(0);
        bool ok = typeCodes().contains(t.type) && (t.type == QLatin1String("std") ? parts.size() == 3 : parts.size() == 1);
        if (ok && t.type == QLatin1String("std")) {
            t.quantity = parts[1].toDouble(&ok);
            t.unit = parts[2];
            ok = ok && soundQuantity(t.quantity) && unitCodes().contains(t.unit);
        }
        if (!ok) {
            QStringList plain = typeCodes();
            plain.removeAll(QStringLiteral("std"));
            error = QStringLiteral("bad sample type \"%1\" (%2, or std:QUANTITY:UNIT with QUANTITY from 1e-12 to 1e15 and UNIT one of %3)")
                        .arg(item.left(40), plain.join('|'), unitCodes().join('|'));
            return false;
        }
        types << t;
    }
    out = types;
    return true;
}

QJsonArray rulesToJson(const QVector<ControlRule>& rules)
{
    QJsonArray a;
    for (const ControlRule& r : rules)
        a.append(QJsonObject{{"target", r.target},
                             {"ntc", r.checkNtc},
                             {"ntcMaxCt", r.ntcMaxCt},
                             {"posCtLow", r.posCtLow},
                             {"posCtHigh", r.posCtHigh},
                             {"icCtLow", r.icCtLow},
                             {"icCtHigh", r.icCtHigh}});
    return a;
}

QVector<ControlRule> rulesFromJson(const QJsonArray& array)
{
    QVector<ControlRule> rules;
    for (const QJsonValue& v : array) {
        const QJsonObject o = v.toObject();
        ControlRule r;
        r.target = o.value("target").toString().left(MaxText);
        r.checkNtc = o.value("ntc").toBool(false);
        const bool sound = !r.target.isEmpty() && ctLimit(o.value("ntcMaxCt"), r.ntcMaxCt) && ctLimit(o.value("posCtLow"), r.posCtLow)
            && ctLimit(o.value("posCtHigh"), r.posCtHigh) && ctLimit(o.value("icCtLow"), r.icCtLow)
            && ctLimit(o.value("icCtHigh"), r.icCtHigh) && r.posCtLow <= r.posCtHigh && r.icCtLow <= r.icCtHigh;
        if (sound && rules.size() < MaxText)
            rules.append(r);
    }
    return rules;
}

QJsonArray acceptancesToJson(const QVector<CurveAcceptance>& list)
{
    QJsonArray a;
    for (const CurveAcceptance& c : list)
        a.append(QJsonObject{{"target", c.target}, {"efficiencyLow", c.efficiencyLow}, {"efficiencyHigh", c.efficiencyHigh}, {"r2Low", c.r2Low}});
    return a;
}

QVector<CurveAcceptance> acceptancesFromJson(const QJsonArray& array)
{
    QVector<CurveAcceptance> list;
    for (const QJsonValue& v : array) {
        const QJsonObject o = v.toObject();
        // Efficiencies as fractions, or as percents where a person wrote them so (above 2).
        const auto fraction = [&o](const char* key) {
            const double v = o.value(key).toDouble(-1);
            return v > 2 ? v / 100 : v;
        };
        const CurveAcceptance c{o.value("target").toString().left(MaxText), fraction("efficiencyLow"), fraction("efficiencyHigh"),
                                o.value("r2Low").toDouble(-1)};
        if (CurveAcceptance::sound(c) && list.size() < MaxText)
            list.append(c);
        else
            qWarning().noquote() << "standard curve acceptance of" << c.target << "out of bounds, the usual one applies";
    }
    return list;
}

namespace {
QJsonObject efficienciesToJson(const QMap<QString, double>& efficiencies)
{
    QJsonObject o;
    for (auto it = efficiencies.cbegin(); it != efficiencies.cend(); ++it)
        o.insert(it.key(), it.value());
    return o;
}

QMap<QString, double> efficienciesFromJson(const QJsonObject& o)
{
    QMap<QString, double> efficiencies;
    for (auto it = o.begin(); it != o.end() && efficiencies.size() < MaxText; ++it) {
        const double e = it.value().toDouble(-1);
        if (std::isfinite(e) && e > 0 && e <= 2)
            efficiencies.insert(it.key().left(MaxText), e);
    }
    return efficiencies;
}
}

QJsonObject setupToJson(const RunSetup& setup)
{
    QJsonArray types;
    for (const SampleType& t : setup.sampleTypes)
        types.append(typeToJson(t));
    QJsonArray excluded;
    for (auto it = setup.excludedWells.cbegin(); it != setup.excludedWells.cend(); ++it)
        excluded.append(QJsonObject{{"curve", it.key()}, {"reason", it.value()}});
    QJsonObject o{{"types", types},
                  {"excluded", excluded},
                  {"calibrator", setup.calibrator},
                  {"references", QJsonArray::fromStringList(setup.references)},
                  {"efficiencies", efficienciesToJson(setup.efficiencies)}};
    if (!setup.fileEfficiencies.isEmpty())
        o.insert("fileEfficiencies", efficienciesToJson(setup.fileEfficiencies));
    // Written only where there are some, so that a record without them is stored as before.
    QJsonArray targetTypes;
    for (auto sample = setup.targetTypes.cbegin(); sample != setup.targetTypes.cend(); ++sample)
        for (auto it = sample.value().cbegin(); it != sample.value().cend(); ++it) {
            QJsonObject t = typeToJson(it.value());
            t.insert("sample", sample.key());
            t.insert("target", it.key());
            targetTypes.append(t);
        }
    if (!targetTypes.isEmpty())
        o.insert("targetTypes", targetTypes);
    return o;
}

RunSetup setupFromJson(const QJsonObject& o, int maxSamples, int maxCurves)
{
    RunSetup setup;
    for (const QJsonValue& v : o.value("types").toArray()) {
        if (setup.sampleTypes.size() >= maxSamples)
            break;
        setup.sampleTypes.append(typeFromJson(v.toObject()));
    }
    int targetTypes = 0;
    for (const QJsonValue& v : o.value("targetTypes").toArray()) {
        const QJsonObject t = v.toObject();
        const int sample = t.value("sample").toInt(-1);
        const QString target = t.value("target").toString();
        if (sample >= 0 && sample < maxSamples && !target.isEmpty() && target.size() <= MaxText && targetTypes++ < maxCurves)
            setup.targetTypes[sample].insert(target, typeFromJson(t));
    }
    for (const QJsonValue& v : o.value("excluded").toArray()) {
        const int curve = v.toObject().value("curve").toInt(-1);
        if (curve >= 0 && curve < maxCurves)
            setup.excludedWells.insert(curve, v.toObject().value("reason").toString().left(MaxText));
    }
    setup.calibrator = o.value("calibrator").toString().left(MaxText);
    for (const QJsonValue& v : o.value("references").toArray())
        if (setup.references.size() < MaxText)
            setup.references << v.toString().left(MaxText);
    setup.efficiencies = efficienciesFromJson(o.value("efficiencies").toObject());
    setup.fileEfficiencies = efficienciesFromJson(o.value("fileEfficiencies").toObject());
    return setup;
}

}
