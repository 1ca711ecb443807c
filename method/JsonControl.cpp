#include "method/JsonControl.h"

#include "app/UI.h"
#include "app/ZGLOBAL.h"

#include <QBuffer>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <cmath>

namespace {

// Far above any method within the record limits; the version file is a few lines.
constexpr qint64 MaxMethodFileBytes = 16 * 1024 * 1024;
constexpr qint64 MaxVersionFileBytes = 64 * 1024;

// A whole number within int range, else 0: the reading rule for every integer field.
int toInt(const QJsonValue& v)
{
    if (!v.isDouble())
        return 0;
    const double d = v.toDouble();
    if (std::trunc(d) != d || d < -2147483648.0 || d > 2147483647.0)
        return 0;
    return int(d);
}

bool countInRange(const QJsonObject& o, const char* key, int max, int& out)
{
    out = toInt(o.value(QString::fromUtf8(key)));
    if (!RecordLimits::countInRange(out, max)) {
        qDebug() << "json method: bad count under" << QString::fromUtf8(key) << o.value(QString::fromUtf8(key));
        return false;
    }
    return true;
}

Flow readFlow(const QJsonArray& stages)
{
    Flow flow;
    for (const QJsonValue& stageValue : stages) {
        const QJsonArray stage = stageValue.toArray();
        Step step;
        step.StepType = Step::STEP_TYPE(toInt(stage.at(0)));
        step.CycleCount = toInt(stage.at(1));
        for (int i = 2; i < stage.size(); ++i) {
            const QJsonArray nodeArray = stage.at(i).toArray();
            Node node;
            node.Time = toInt(nodeArray.at(0));
            node.Temp = nodeArray.at(1).toDouble();
            node.Test = nodeArray.at(2).toBool(false);
            step.NodeList.append(node);
        }
        flow.steps.append(step);
    }
    return flow;
}

TargetInfo readTarget(const QJsonArray& a)
{
    TargetInfo t;
    t.Name = a.at(0).toString();
    t.AutoThreshold = toInt(a.at(1));
    t.Threshold = a.at(2).toDouble();
    t.AutoRange = toInt(a.at(3));
    t.Start = toInt(a.at(4));
    t.End = toInt(a.at(5));
    t.BorderThreshold = a.at(6).toDouble();
    t.CtThreshold = a.at(7).toDouble();
    return t;
}

QJsonArray writeTarget(const TargetInfo& t)
{
    return {t.Name, t.AutoThreshold, t.Threshold, t.AutoRange, t.Start, t.End, t.BorderThreshold, t.CtThreshold};
}

QJsonArray writeFlow(const Flow& flow)
{
    QJsonArray stages;
    for (const Step& step : flow.steps) {
        QJsonArray stage{int(step.StepType), step.CycleCount};
        for (const Node& n : step.NodeList)
            stage.append(QJsonArray{n.Time, n.Temp, n.Test});
        stages.append(stage);
    }
    return stages;
}

QJsonArray toJsonArray(const QVector<int>& list)
{
    QJsonArray a;
    for (int v : list)
        a.append(v);
    return a;
}

// A file that cannot be opened, is larger than maxBytes or holds no JSON object gives false.
bool readJsonObject(const QString& path, qint64 maxBytes, QJsonObject& object)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    if (file.size() > maxBytes) {
        qDebug() << "json file too large:" << file.size();
        return false;
    }
    // As much as the file holds: read(maxBytes) would reserve the whole bound for every file.
    const QByteArray bytes = file.read(file.size());
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        qDebug() << "json error!" << error.errorString();
        return false;
    }
    if (!doc.isObject()) {
        qDebug() << "json document is not object.";
        return false;
    }
    object = doc.object();
    return true;
}

}

bool JsonControl::openJsonMethod(const QString& path, SMethod& m) const
{
    QJsonObject o;
    if (!readJsonObject(path, MaxMethodFileBytes, o))
        return false;
    int samples = 0, holes = 0, channels = 0;
    if (!countInRange(o, "样本", RecordLimits::MaxSamples, samples) || !countInRange(o, "孔数", RecordLimits::MaxHoles, holes)
        || !countInRange(o, "荧光", RecordLimits::MaxChannels, channels))
        return false;

    const QJsonObject pre = o.value("前置程序").toObject();
    m.ReDissolveCycle = toInt(pre.value("cycle"));
    m.ReDissolveTempHigh = pre.value("high").toDouble();
    m.ReDissolveTempLow = pre.value("low").toDouble();
    m.ReDissolveTime = toInt(pre.value("time"));

    m.Name = o.value("名称").toString();
    m.Id = o.value("ID").toString();
    m.Date = o.value("生产日期").toString();
    m.Valid = o.value("有效期").toString();
    m.Explain = o.value("说明").toString();
    m.SampleNumber = samples;
    m.Hole = holes;
    m.ChannelColor = channels;
    m.UpTime = o.value("上升").toDouble();
    m.DownTime = o.value("下降").toDouble();

    m.ChannelNames.clear();
    for (const QJsonValue& name : o.value("通道名").toArray())
        m.ChannelNames.append(name.toString());

    m.Flow = readFlow(o.value("流程").toArray());

    m.sampleHoleMap.clear();
    const QJsonArray relation = o.value("控制关系").toArray();
    for (int i = 0; i < samples && i < relation.size(); ++i)
        for (const QJsonValue& hole : relation.at(i).toArray())
            m.sampleHoleMap[i].append(toInt(hole));

    m.holeTargets.clear();
    for (int h = 0; h < holes; ++h) {
        const QJsonArray hole = o.value(QString::number(h + 1)).toArray();
        TargetInfos targets;
        for (int c = 0; c < channels; ++c)
            targets.append(readTarget(hole.at(c).toArray()));
        m.holeTargets.append(targets);
    }
    m.controlRules = RunControls::rulesFromJson(o.value("质控规则").toArray());
    m.acceptances = RunControls::acceptancesFromJson(o.value("标准曲线验收").toArray());
    return true;
}

bool JsonControl::saveJsonMethod(const QString& path, const SMethod& m) const
{
    QJsonObject o;
    o.insert("version", 0);
    o.insert("前置程序", QJsonObject{{"cycle", m.ReDissolveCycle},
                                     {"high", m.ReDissolveTempHigh},
                                     {"low", m.ReDissolveTempLow},
                                     {"time", m.ReDissolveTime}});
    o.insert("名称", m.Name);
    o.insert("ID", m.Id);
    o.insert("生产日期", m.Date);
    o.insert("有效期", m.Valid);
    o.insert("说明", m.Explain);
    o.insert("样本", m.SampleNumber);
    o.insert("孔数", m.Hole);
    o.insert("荧光", m.ChannelColor);
    QJsonArray names;
    for (int c = 0; c < m.ChannelColor; ++c)
        names.append(m.ChannelNames.value(c));
    o.insert("通道名", names);
    o.insert("上升", m.UpTime);
    o.insert("下降", m.DownTime);
    o.insert("流程", writeFlow(m.Flow));
    QJsonArray relation;
    for (int i = 0; i < m.SampleNumber; ++i)
        relation.append(toJsonArray(m.sampleHoleMap.value(i)));
    o.insert("控制关系", relation);
    for (int h = 0; h < m.Hole; ++h) {
        QJsonArray hole;
        const TargetInfos targets = m.holeTargets.value(h);
        for (int c = 0; c < m.ChannelColor; ++c)
            hole.append(writeTarget(targets.at(c)));
        o.insert(QString::number(h + 1), hole);
    }
    if (!m.controlRules.isEmpty())
        o.insert("质控规则", RunControls::rulesToJson(m.controlRules));
    if (!m.acceptances.isEmpty())
        o.insert("标准曲线验收", RunControls::acceptancesToJson(m.acceptances));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QJsonDocument(o).toJson());
    return file.flush() && file.commit();
}

bool SMethod::saveMethodAsFile(const QString& path)
{
    Version = 0;
    QJsonObject o;
    o.insert("Name", Name);
    o.insert("Id", Id);
    o.insert("Date", Date);
    o.insert("Valid", Valid);
    o.insert("Explain", Explain);
    o.insert("Version", Version);
    o.insert("SampleNumber", SampleNumber);
    o.insert("Hole", Hole);
    o.insert("ChannelColor", ChannelColor);
    o.insert("ChannelNames", QJsonArray::fromStringList(ChannelNames));
    o.insert("UpTime", UpTime);
    o.insert("DownTime", DownTime);
    QJsonArray stages;
    for (const Step& step : Flow.steps) {
        QJsonArray nodes;
        for (const Node& n : step.NodeList)
            nodes.append(QJsonObject{{"Time", n.Time}, {"Temp", n.Temp}, {"Test", n.Test}});
        stages.append(QJsonObject{{"StepType", int(step.StepType)}, {"CycleCount", step.CycleCount}, {"NodeList", nodes}});
    }
    o.insert("Flow", stages);
    QJsonArray sampleHole;
    for (const QVector<int>& list : SampleHole)
        sampleHole.append(toJsonArray(list));
    o.insert("SampleHole", sampleHole);
    QJsonArray targets;
    for (const TargetInfo& t : targetList)
        targets.append(QJsonObject{{"Name", t.Name},
                                   {"AutoThreshold", t.AutoThreshold},
                                   {"Threshold", t.Threshold},
                                   {"AutoRange", t.AutoRange},
                                   {"Start", t.Start},
                                   {"End", t.End},
                                   {"BorderThreshold", t.BorderThreshold},
                                   {"CtThreshold", t.CtThreshold}});
    o.insert("TargetInfos", targets);
    QByteArray png;
    if (!image.isNull()) {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
    }
    o.insert("ImageBase64", QString::fromLatin1(png.toBase64()));
    o.insert("FrontRun", QJsonObject{{"ReDissolveCycle", ReDissolveCycle},
                                     {"ReDissolveTime", ReDissolveTime},
                                     {"ReDissolveTempHigh", ReDissolveTempHigh},
                                     {"ReDissolveTempLow", ReDissolveTempLow}});
    return ZGLOBAL::writeFile(path, qCompress(QJsonDocument(o).toJson(QJsonDocument::Compact)));
}

QString JsonControl::compressedCopyName(const QString& jsonFileName)
{
    QString name = jsonFileName;
    if (name.endsWith("json"))
        name.remove("json");
    return name + "qvi";
}

bool JsonControl::saveCompressedCopy(SMethod method, const QString& jsonFileName) const
{
    const QString name = compressedCopyName(QFileInfo(jsonFileName).fileName());
    return method.saveMethodAsFile(QString("%0/%1%2").arg(QDir::currentPath(), UI::InDirName, name));
}

bool JsonControl::openAppVersion(const QString& path, AppVersionInfo& info) const
{
    QJsonObject o;
    if (!readJsonObject(path, MaxVersionFileBytes, o))
        return false;
    info.name = o.value("name").toString();
    info.version = QVersionNumber(toInt(o.value("major")), toInt(o.value("minor")), toInt(o.value("micro")));
    info.control = toInt(o.value("control"));
    info.md5 = o.value("md5").toString();
    return true;
}
