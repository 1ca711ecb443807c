#include "files/RdmlReader.h"

#include "files/ZipArchive.h"
#include "method/RecordLimits.h"

#include <QFile>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>

bool RdmlReader::fail(const QString& why)
{
    if (mError.isEmpty())
        mError = why;
    return false;
}

bool RdmlReader::read(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("无法读取文件"));
    if (file.size() > MaxBytes)
        return fail(QStringLiteral("文件超过 64 MB"));
    const QByteArray head = file.read(4);
    file.close();
    if (!head.startsWith("PK")) {
        QFile plain(path);
        plain.open(QIODevice::ReadOnly);
        return readXml(plain.readAll());
    }
    bool tooLarge = false;
    const QByteArray xml = ZipArchive(path).read(QStringLiteral("rdml_data.xml"), MaxBytes, &tooLarge);
    if (tooLarge)
        return fail(QStringLiteral("压缩包中的 rdml_data.xml 超过 64 MB"));
    if (xml.isEmpty())
        return fail(QStringLiteral("压缩包损坏，或其中没有 rdml_data.xml"));
    return readXml(xml);
}

bool RdmlReader::withinDepth(const QByteArray& bytes)
{
    // A pass that only counts levels, stopped at the first too many, before anything is kept.
    QXmlStreamReader xml(bytes);
    xml.setNamespaceProcessing(false);
    int depth = 0;
    while (!xml.atEnd() && !xml.hasError()) {
        xml.readNext();
        if (xml.isStartElement() && ++depth > MaxDepth)
            return fail(QStringLiteral("XML 嵌套超过 %1 层（第 %2 行）").arg(MaxDepth).arg(xml.lineNumber()));
        if (xml.isEndElement())
            --depth;
    }
    return true;
}

bool RdmlReader::once(QSet<QString>& seen, const QString& id, const QString& what)
{
    if (seen.contains(id))
        return fail(QStringLiteral("%1 %2 出现了两次").arg(what, id));
    seen.insert(id);
    return true;
}

bool RdmlReader::readXml(const QByteArray& bytes)
{
    mRuns.clear();
    mTargets.clear();
    mSamples.clear();
    mRunNames.clear();
    mProgrammes.clear();
    if (!withinDepth(bytes))
        return false;
    QXmlStreamReader xml(bytes);
    mXml = &xml;
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("rdml"))
        return fail(QStringLiteral("不是 RDML 文件"));
    const QString version = xml.attributes().value("version").toString();
    if (version != "1.1" && version != "1.2" && version != "1.3" && version != "1.4")
        return fail(QStringLiteral("不支持的 RDML 版本 %1（支持 1.1–1.4）").arg(version.left(20)));
    while (mError.isEmpty() && xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("target"))
            readTarget();
        else if (xml.name() == QLatin1String("sample"))
            readSample();
        else if (xml.name() == QLatin1String("experiment"))
            readExperiment();
        else if (xml.name() == QLatin1String("thermalCyclingConditions"))
            readProgramme();
        else
            xml.skipCurrentElement();
    }
    if (xml.hasError())
        fail(QStringLiteral("XML 格式错误（第 %1 行）：%2").arg(xml.lineNumber()).arg(xml.errorString()));
    mXml = nullptr;
    if (mError.isEmpty() && mRuns.isEmpty())
        fail(QStringLiteral("文件中没有运行（run）"));
    return mError.isEmpty();
}

QString RdmlReader::idOf(const QString& attribute)
{
    const QString id = mXml->attributes().value(attribute).toString();
    if (id.size() > MaxIdLength)
        fail(QStringLiteral("标识过长"));
    return id.left(MaxIdLength);
}

QString RdmlReader::text()
{
    const QString t = mXml->readElementText(QXmlStreamReader::SkipChildElements).trimmed();
    if (t.size() > 10000)
        fail(QStringLiteral("文本过长"));
    return t.left(10000);
}

bool RdmlReader::number(double& out, double lo, double hi)
{
    bool ok = false;
    out = text().toDouble(&ok);
    if (!ok || !std::isfinite(out) || out < lo || out > hi)
        return fail(QStringLiteral("数值无效或超出范围（第 %1 行）").arg(mXml->lineNumber()));
    return true;
}

void RdmlReader::readTarget()
{
    const QString id = idOf();
    if (!once(mTargets, id, QStringLiteral("靶标")))
        return;
    while (mXml->readNextStartElement()) {
        if (mXml->name() == QLatin1String("dyeId")) {
            mTargetDyes.insert(id, idOf());
            mXml->skipCurrentElement();
        } else if (mXml->name() == QLatin1String("type")) {
            mTargetTypes.insert(id, text());
        } else if (mXml->name() == QLatin1String("amplificationEfficiency")) {
            // The amplification factor per cycle (2 = perfect doubling), as RDML writes it; a value
            // in another convention is left out rather than taken 16-fold wrong.
            bool ok = false;
            const double factor = text().toDouble(&ok);
            if (ok && factor > 1 && factor <= 2.5)
                mTargetFactors.insert(id, factor);
        } else {
            mXml->skipCurrentElement();
        }
    }
}

void RdmlReader::readSample()
{
    const QString id = idOf();
    if (!once(mSamples, id, QStringLiteral("样本")))
        return;
    // An entry without a target holds for every target; one with a target only for that one.
    QMap<QString, QString> types;
    QMap<QString, SampleType> quantities;
    while (mError.isEmpty() && mXml->readNextStartElement()) {
        const QString target = idOf(QStringLiteral("targetId"));
        if (mXml->name() == QLatin1String("description")) {
            mSampleDescriptions.insert(id, text());
        } else if (mXml->name() == QLatin1String("type")) {
            const QString code = text();
            if (RunControls::typeCodes().contains(code) && !types.contains(target))
                types.insert(target, code);
        } else if (mXml->name() == QLatin1String("quantity")) {
            SampleType quantity;
            if (readQuantity(quantity))
                quantities.insert(target, quantity);
        } else {
            mXml->skipCurrentElement();
        }
    }
    const auto typeFor = [&](const QString& target) {
        SampleType type = quantities.value(target, quantities.value(QString()));
        type.type = types.value(target, types.value(QString(), SampleType().type));
        if (type.type != QLatin1String("std") || type.quantity <= 0)
            type = SampleType{type.type, 0, QString()};
        return type;
    };
    const SampleType own = typeFor(QString());
    mSampleTypes.insert(id, own);
    for (const QString& target : types.keys() + quantities.keys()) {
        const SampleType type = typeFor(target);
        if (!target.isEmpty() && !(type == own))
            mSampleTargetTypes[id].insert(target, type);
    }
}

bool RdmlReader::readQuantity(SampleType& type)
{
    double value = 0;
    QString unit;
    while (mError.isEmpty() && mXml->readNextStartElement()) {
        if (mXml->name() == QLatin1String("value"))
            number(value, 0, 1e15);
        else if (mXml->name() == QLatin1String("unit"))
            unit = text();
        else
            mXml->skipCurrentElement();
    }
    if (!(value > 0 && RunControls::unitCodes().contains(unit)))
        return false;
    type.quantity = value;
    type.unit = unit;
    return true;
}

bool RdmlReader::readExperiment()
{
    const QString experiment = idOf();
    while (mError.isEmpty() && mXml->readNextStartElement()) {
        if (mXml->name() != QLatin1String("run")) {
            mXml->skipCurrentElement();
            continue;
        }
        if (mRuns.size() >= MaxRuns)
            return fail(QStringLiteral("运行（run）超过 %1 个").arg(MaxRuns));
        Run run;
        run.experiment = experiment;
        run.id = idOf();
        if (!once(mRunNames, run.name(), QStringLiteral("运行")) || !readRun(run))
            return false;
        mRuns.append(run);
    }
    return mError.isEmpty();
}

bool RdmlReader::readRun(Run& run)
{
    QSet<QString> reacts;
    while (mError.isEmpty() && mXml->readNextStartElement()) {
        const QStringRef name = mXml->name();
        if (name == QLatin1String("description")) {
            run.description = text();
        } else if (name == QLatin1String("runDate")) {
            run.date = QDateTime::fromString(text(), Qt::ISODate);
        } else if (name == QLatin1String("pcrFormat")) {
            readFormat(run);
        } else if (name == QLatin1String("instrument")) {
            run.instrument = text();
        } else if (name == QLatin1String("thermalCyclingConditions")) {
            run.programme = idOf();
            mXml->skipCurrentElement();
        } else if (name == QLatin1String("react")) {
            if (run.reacts.size() >= MaxReacts)
                return fail(QStringLiteral("运行 %1 的反应超过 %2 个").arg(run.id).arg(MaxReacts));
            React react;
            bool ok = false;
            react.id = mXml->attributes().value("id").toInt(&ok);
            if (!ok || react.id < 1)
                return fail(QStringLiteral("反应编号无效（第 %1 行）").arg(mXml->lineNumber()));
            if (!once(reacts, QString::number(react.id), QStringLiteral("运行 %1 中的反应").arg(run.id)) || !readReact(react))
                return false;
            run.reacts.append(react);
        } else {
            mXml->skipCurrentElement();
        }
    }
    return mError.isEmpty();
}

void RdmlReader::readProgramme()
{
    const QString id = idOf();
    QVector<ProgrammeStep> steps;
    while (mError.isEmpty() && mXml->readNextStartElement()) {
        if (mXml->name() != QLatin1String("step")) {
            mXml->skipCurrentElement();
            continue;
        }
        if (steps.size() >= MaxProgrammeSteps) {
            fail(QStringLiteral("温度程序 %1 超过 %2 步").arg(id).arg(MaxProgrammeSteps));
            return;
        }
        ProgrammeStep step;
        if (readProgrammeStep(step))
            steps << step;
    }
    std::sort(steps.begin(), steps.end(), [](const ProgrammeStep& a, const ProgrammeStep& b) { return a.nr < b.nr; });
    mProgrammes.insert(id, steps);
}

bool RdmlReader::readProgrammeStep(ProgrammeStep& step)
{
    double v = 0;
    while (mError.isEmpty() && mXml->readNextStartElement()) {
        const QStringRef name = mXml->name();
        if (name == QLatin1String("nr") && number(v, 0, 10000)) {
            step.nr = int(v);
        } else if (name == QLatin1String("temperature") || name == QLatin1String("loop")) {
            step.loop = name == QLatin1String("loop");
            while (mError.isEmpty() && mXml->readNextStartElement()) {
                const QStringRef part = mXml->name();
                if (part == QLatin1String("temperature") && number(v, RecordLimits::MinTemp, RecordLimits::MaxTemp))
                    step.temperature = v;
                else if (part == QLatin1String("duration") && number(v, 0, 1e6))
                    step.duration = int(v);
                else if (part == QLatin1String("measure"))
                    step.measure = text();
                else if (part == QLatin1String("goto") && number(v, 0, 10000))
                    step.to = int(v);
                else if (part == QLatin1String("repeat") && number(v, 0, RecordLimits::MaxReadings))
                    step.repeat = int(v);
                else if (mError.isEmpty() && part != QLatin1String("temperature") && part != QLatin1String("duration")
                         && part != QLatin1String("goto") && part != QLatin1String("repeat"))
                    mXml->skipCurrentElement();
            }
        } else if (name != QLatin1String("nr")) {
            mXml->skipCurrentElement();
        }
    }
    return mError.isEmpty();
}

void RdmlReader::readFormat(Run& run)
{
    while (mError.isEmpty() && mXml->readNextStartElement()) {
        double columns = 0;
        if (mXml->name() == QLatin1String("columns") && number(columns, 1, 1000))
            run.columns = int(columns);
        else if (mXml->name() != QLatin1String("columns"))
            mXml->skipCurrentElement();
    }
}

bool RdmlReader::readReact(React& react)
{
    QSet<QString> targets;
    while (mError.isEmpty() && mXml->readNextStartElement()) {
        if (mXml->name() == QLatin1String("sample")) {
            react.sample = idOf();
            mXml->skipCurrentElement();
        } else if (mXml->name() == QLatin1String("data")) {
            if (react.data.size() >= MaxDataPerReact)
                return fail(QStringLiteral("反应 %1 的数据超过 %2 组").arg(react.id).arg(MaxDataPerReact));
            Data data;
            if (!readData(data))
                return false;
            if (!mTargets.contains(data.target))
                return fail(QStringLiteral("反应 %1 的数据引用了未定义的靶标 %2").arg(react.id).arg(data.target));
            if (!once(targets, data.target, QStringLiteral("反应 %1 中靶标的数据").arg(react.id)))
                return false;
            react.data.append(data);
        } else {
            mXml->skipCurrentElement();
        }
    }
    return mError.isEmpty();
}

bool RdmlReader::readData(Data& data)
{
    while (mError.isEmpty() && mXml->readNextStartElement()) {
        const QStringRef name = mXml->name();
        if (name == QLatin1String("tar")) {
            data.target = idOf();
            mXml->skipCurrentElement();
        } else if (name == QLatin1String("note")) {
            data.note = text();
        } else if (name == QLatin1String("adp") || name == QLatin1String("mdp")) {
            const bool melt = name == QLatin1String("mdp");
            QVector<QPointF>& points = melt ? data.mdp : data.adp;
            if (points.size() >= RecordLimits::MaxReadings)
                return fail(QStringLiteral("一条曲线的读数超过 %1 个").arg(RecordLimits::MaxReadings));
            QPointF p;
            if (!readPoint(p, melt))
                return false;
            points.append(p);
        } else {
            mXml->skipCurrentElement();
        }
    }
    return mError.isEmpty();
}

bool RdmlReader::readPoint(QPointF& point, bool melt)
{
    bool x = false, y = false;
    while (mError.isEmpty() && mXml->readNextStartElement()) {
        const QStringRef name = mXml->name();
        double v = 0;
        if (name == QLatin1String(melt ? "tmp" : "cyc")) {
            x = melt ? number(v, RecordLimits::MinTemp, RecordLimits::MaxTemp) : number(v, 0, RecordLimits::MaxReadings);
            point.setX(v);
        } else if (name == QLatin1String("fluor")) {
            y = number(v, -1e12, 1e12);
            point.setY(v);
        } else {
            mXml->skipCurrentElement();
        }
    }
    if (mError.isEmpty() && !(x && y))
        return fail(QStringLiteral("数据点不完整（第 %1 行）").arg(mXml->lineNumber()));
    return mError.isEmpty();
}
