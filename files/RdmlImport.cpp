#include "files/RdmlImport.h"

#include "analysis/CurveWindow.h"
#include "analysis/ResultText.h"
#include "files/RdmlFormat.h"
#include "method/RecordEdits.h"
#include "method/RecordLimits.h"

#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <cmath>

namespace RdmlImport {

namespace {

// Dyes in the order of first use, with FAM and ROX (this instrument's channels) first.
QStringList dyesOf(const RdmlReader& file, const QVector<RdmlReader::React>& reacts)
{
    QStringList dyes;
    for (const RdmlReader::React& react : reacts)
        for (const RdmlReader::Data& data : react.data)
            if (!dyes.contains(file.dyeOf(data.target)))
                dyes << file.dyeOf(data.target);
    std::stable_sort(dyes.begin(), dyes.end(), [](const QString& a, const QString& b) {
        const auto rank = [](const QString& d) { return d == "FAM" ? 0 : d == "ROX" ? 1 : 2; };
        return rank(a) < rank(b);
    });
    return dyes;
}

// The amplification readings in cycle order, each at its own cycle (1 to cycles); a cycle the
// file has no reading of stays missing, never filled in.
Curve amplification(QVector<QPointF> adp, int cycles)
{
    std::stable_sort(adp.begin(), adp.end(), [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
    Curve c;
    for (const QPointF& p : adp) {
        const int cycle = qRound(p.x());
        if (cycle >= 1 && cycle <= cycles && (c.isEmpty() || cycle > c.last().x()))
            c.append(QPointF(cycle, p.y()));
    }
    return c;
}

// Cycles are counted: a fraction or a cycle read twice has no place on the curve, and a reading
// moved onto a neighbour's cycle would move the Ct. Empty when every cycle is a whole one, once.
QString cycleFault(const QVector<QPointF>& adp)
{
    QSet<int> seen;
    for (const QPointF& p : adp) {
        const int cycle = qRound(p.x());
        if (std::fabs(p.x() - cycle) > 1e-6)
            return QStringLiteral("循环号%1不是整数").arg(p.x());
        if (seen.contains(cycle))
            return QStringLiteral("循环%1有两个读数").arg(cycle);
        seen.insert(cycle);
    }
    return QString();
}

// The last cycle the reactions read: the number of cycles of the run.
int lastCycle(const QVector<QPointF>& adp)
{
    double last = 0;
    for (const QPointF& p : adp)
        last = qMax(last, p.x());
    return qMin(qRound(last), int(RecordLimits::MaxReadings));
}

// Melt points at lo, lo + 0.5, ...: a point at the grid temperature itself, else linear between
// its neighbours, the nearest end outside the file's range.
Curve melt(QVector<QPointF> mdp, double lo, int points, int firstX)
{
    std::stable_sort(mdp.begin(), mdp.end(), [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
    Curve c;
    for (int k = 0; k < points && !mdp.isEmpty(); ++k) {
        const double t = lo + 0.5 * k;
        auto above = std::lower_bound(mdp.cbegin(), mdp.cend(), t, [](const QPointF& p, double v) { return p.x() < v; });
        double y = 0;
        if (above == mdp.cend())
            y = mdp.last().y();
        else if (above->x() == t || above == mdp.cbegin())
            y = above->y();
        else {
            const QPointF& below = *(above - 1);
            y = below.y() + (above->y() - below.y()) * (t - below.x()) / (above->x() - below.x());
        }
        c.append(QPointF(firstX + k, y));
    }
    return c;
}

Step stage(Step::STEP_TYPE type, int count, const QVector<Node>& nodes)
{
    Step s;
    s.StepType = type;
    s.CycleCount = count;
    s.NodeList = nodes;
    return s;
}

// The file's own programme as this program's stages (constant holds, then the cycle, then
// holds after it), without its melt, which the readings define: empty when it has no single loop
// of cycles holds whose repeats match the readings (this program's exports before the loop counted
// its cycles wrote one repeat fewer).
QVector<Step> programmeStages(const QVector<RdmlReader::ProgrammeStep>& steps, int cycles)
{
    using PS = RdmlReader::ProgrammeStep;
    const int loops = int(std::count_if(steps.cbegin(), steps.cend(), [](const PS& s) { return s.loop; }));
    const auto loop = std::find_if(steps.cbegin(), steps.cend(), [](const PS& s) { return s.loop; });
    if (loops != 1 || (loop->repeat != cycles && loop->repeat + 1 != cycles))
        return {};
    QVector<Node> before, body, after;
    for (int i = 0; i < steps.size(); ++i) {
        const PS& s = steps[i];
        const bool meltStart = i + 1 < steps.size() && steps[i + 1].measure == QLatin1String("meltcurve");
        if (s.loop || s.measure == QLatin1String("meltcurve") || meltStart)
            continue;
        const Node node{qMax(1, s.duration), s.temperature, s.measure == QLatin1String("real time")};
        (s.nr < loop->to ? before : s.nr < loop->nr ? body : after) << node;
    }
    if (body.isEmpty())
        return {};
    QVector<Step> stages;
    if (!before.isEmpty())
        stages << stage(Step::STEP_CONSTANT, 1, before);
    stages << stage(Step::STEP_CYCLE, cycles, body);
    if (!after.isEmpty())
        stages << stage(Step::STEP_CONSTANT, 1, after);
    return stages;
}

// Twenty times the median noise of the channel's early readings (first differences over
// readings 3 to 15, whose SD is the noise times the square root of two).
double borderFor(const QVector<Curve>& curves)
{
    QVector<double> noise;
    for (const Curve& c : curves) {
        QVector<double> d;
        for (int i = 3; i + 1 < qMin(c.size(), 15); ++i)
            d << c[i + 1].y() - c[i].y();
        if (d.size() >= 3)
            noise << CurveWindow::sd(d) / std::sqrt(2.0);
    }
    return noise.isEmpty() ? 100 : qMax(1e-6, 20 * CurveWindow::median(noise));
}

}

bool parseWells(const QString& list, int columns, QVector<int>& picked, QString& error)
{
    static const QRegularExpression well(QStringLiteral("^([A-Za-z]{1,2})([0-9]{1,4})$"));
    auto number = [&](const QString& item, int& n) {
        bool ok = false;
        n = item.toInt(&ok);
        const QRegularExpressionMatch m = well.match(item);
        if (!ok && m.hasMatch()) {
            int row = 0;
            for (QChar c : m.captured(1).toUpper())
                row = row * 26 + (c.unicode() - 'A' + 1);
            const int column = m.captured(2).toInt();
            ok = column >= 1 && column <= columns;
            n = (row - 1) * columns + column;
        }
        if (!ok || n < 1 || n > 100000)
            error = QStringLiteral("无法识别孔位 %1").arg(item.left(20));
        return error.isEmpty();
    };
    picked.clear();
    for (const QString& part : list.split(',', Qt::SkipEmptyParts)) {
        const QStringList ends = part.trimmed().split('-');
        int from = 0, to = 0;
        if (ends.size() > 2 || !number(ends.first().trimmed(), from) || !number(ends.last().trimmed(), to))
            return error.isEmpty() ? (error = QStringLiteral("无法识别 %1").arg(part.left(20)), false) : false;
        for (int n = from; n <= to; ++n) {
            if (picked.size() >= MaxPicked) {
                error = QStringLiteral("选出的孔位超过 %1 个").arg(MaxPicked);
                return false;
            }
            if (!picked.contains(n))
                picked << n;
        }
    }
    if (picked.isEmpty())
        error = QStringLiteral("没有选出反应");
    return !picked.isEmpty();
}

bool toOutData(const RdmlReader& file, int runIndex, OutData& out, QString& error, const QVector<int>& picked)
{
    if (runIndex < 0 || runIndex >= file.runs().size()) {
        error = QStringLiteral("没有这个运行");
        return false;
    }
    const RdmlReader::Run& run = file.runs()[runIndex];
    // Wells listed without any points (a plate's empty wells) are no reactions to place.
    QVector<RdmlReader::React> reacts;
    for (const RdmlReader::React& react : run.reacts)
        if ((picked.isEmpty() || picked.contains(react.id)) && std::any_of(react.data.cbegin(), react.data.cend(), [](const RdmlReader::Data& d) { return !d.adp.isEmpty() || !d.mdp.isEmpty(); }))
            reacts << react;
    if (!picked.isEmpty() && reacts.isEmpty()) {
        error = QStringLiteral("运行 %1 的所选孔位中没有数据").arg(run.name());
        return false;
    }
    if (reacts.size() > ChipHoles) {
        error = QStringLiteral("运行 %1 有 %2 个反应，芯片只有 %3 孔；请选出至多 %3 个反应（如 --wells A1-A12,B1 或 1-26）")
                    .arg(run.name()).arg(reacts.size()).arg(ChipHoles);
        return false;
    }
    const QStringList dyes = dyesOf(file, reacts);
    if (dyes.size() > MaxDyes) {
        error = QStringLiteral("运行 %1 用了 %2 种染料（%3），仪器只有 %4 个通道").arg(run.name()).arg(dyes.size()).arg(dyes.join("、")).arg(MaxDyes);
        return false;
    }
    int cycles = 0;
    double lo = 1e9, hi = -1e9;
    for (const RdmlReader::React& react : reacts)
        for (const RdmlReader::Data& data : react.data) {
            cycles = qMax(cycles, lastCycle(data.adp));
            for (const QPointF& p : data.mdp) {
                lo = qMin(lo, p.x());
                hi = qMax(hi, p.x());
            }
        }
    if (cycles == 0) {
        error = QStringLiteral("运行 %1 没有原始扩增数据").arg(run.name());
        return false;
    }

    // Holes: the reactions' own numbers when all of them lie on the chip and none repeats.
    QVector<int> holes;
    bool byNumber = true;
    for (const RdmlReader::React& react : reacts) {
        byNumber = byNumber && react.id <= ChipHoles && !holes.contains(react.id);
        holes << react.id;
    }
    QVector<int> order(reacts.size());
    for (int i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&reacts](int a, int b) { return reacts[a].id < reacts[b].id; });
    for (int k = 0; k < order.size(); ++k)
        if (!byNumber)
            holes[order[k]] = k + 1;

    OutData d;
    SMethod& m = d.inData.method;
    m.Name = run.experiment;
    m.Id = run.id;
    m.Hole = ChipHoles;
    m.ChannelColor = qMax(1, dyes.size());
    m.ChannelNames = dyes.isEmpty() ? QStringList{QStringLiteral("FAM")} : dyes;
    // The file's programme where it fits the readings, else a plain one of the right cycles.
    m.Flow.steps = programmeStages(file.programme(run.programme), cycles);
    if (m.Flow.steps.isEmpty())
        m.Flow.steps = {stage(Step::STEP_CYCLE, cycles, {{10, 95.0, false}, {30, 60.0, true}})};
    // The melt stage spans whole degrees around the file's points; the readings cover the grid
    // up to its highest point, as a run read them.
    const bool hasMelt = hi > lo;
    const int meltLo = hasMelt ? int(std::floor(lo)) : 0;
    if (hasMelt)
        m.Flow.steps << stage(Step::STEP_MELT, 0, {{5, double(meltLo), false}, {5, std::ceil(hi), false}});
    const int meltPoints = hasMelt ? int(std::floor((hi - meltLo) / 0.5 + 1e-9)) + 1 : 0;

    m.holeTargets = QVector<TargetInfos>(ChipHoles);
    QVector<QVector<TargetInfo>> targets(ChipHoles, QVector<TargetInfo>(m.ChannelColor));
    QVector<bool> exported(ChipHoles * m.ChannelColor, false);
    d.pdLines.resize(ChipHoles * m.ChannelColor);
    QStringList sampleIds;
    for (int i = 0; i < reacts.size(); ++i) {
        const RdmlReader::React& react = reacts[i];
        const int hole = holes[i];
        int sample = sampleIds.indexOf(react.sample);
        if (sample < 0) {
            sample = sampleIds.size();
            sampleIds << react.sample;
        }
        m.sampleHoleMap[sample].append(hole);
        for (const RdmlReader::Data& data : react.data) {
            const QString odd = cycleFault(data.adp);
            if (!odd.isEmpty()) {
                error = QStringLiteral("运行 %1 的反应 %2（%3）：%4").arg(run.name()).arg(react.id).arg(data.target, odd);
                return false;
            }
            const int channel = qMax(0, dyes.indexOf(file.dyeOf(data.target)));
            const int s = (hole - 1) * m.ChannelColor + channel;
            d.pdLines[s] = amplification(data.adp, cycles) + melt(data.mdp, meltLo, meltPoints, cycles + 1);
            TargetInfo& t = targets[hole - 1][channel];
            t.Name = data.target;
            exported[s] = RdmlFormat::readSettingsNote(data.note, t);
            // The file's efficiency of a target stands for a standard curve the run may not have.
            if (file.targetFactor(data.target) > 1)
                d.inData.setup.fileEfficiencies.insert(data.target, file.targetFactor(data.target) - 1);
        }
    }
    for (int c = 0; c < m.ChannelColor; ++c) {
        QVector<Curve> channelCurves;
        for (int h = 0; h < ChipHoles; ++h)
            channelCurves << d.pdLines[h * m.ChannelColor + c];
        const double border = borderFor(channelCurves);
        for (int h = 0; h < ChipHoles; ++h) {
            TargetInfo& t = targets[h][c];
            if (!exported[h * m.ChannelColor + c])
                t = TargetInfo{t.Name, 2, 100.0, 1, 3, 15, border, 0.0};
            m.holeTargets[h].append(t);
        }
    }
    m.SampleNumber = sampleIds.size();
    d.inData.sampleNames = sampleIds.toVector();
    for (const QString& id : sampleIds) {
        d.inData.sampleRemarks << file.sampleDescription(id);
        d.inData.setup.sampleTypes << file.sampleType(id);
        if (!file.sampleTargetTypes(id).isEmpty())
            d.inData.setup.targetTypes.insert(d.inData.sampleNames.indexOf(id), file.sampleTargetTypes(id));
    }
    // A run of unknowns only is stored as before, without a block of run controls.
    if (std::all_of(d.inData.setup.sampleTypes.cbegin(), d.inData.setup.sampleTypes.cend(), [](const SampleType& t) { return t == SampleType(); }))
        d.inData.setup.sampleTypes.clear();
    d.inData.serialNumber = run.id;
    d.inData.remark = RdmlFormat::importRemark(run.name(), run.instrument);
    d.inData.dateTime = run.date.isValid() ? run.date : QDateTime::currentDateTime();
    // The description of a run this program exported says whether it was complete and how it was
    // edited after the run; the marks stay with the record.
    d.runComplete = !run.description.split(QStringLiteral("；")).contains(ResultText::incompleteRun());
    for (const QString& mark : RecordEdits::of(run.description))
        d.inData.appendRemark(mark);
    if (!d.withinLimits()) {
        error = QStringLiteral("运行 %1 超出记录的范围").arg(run.name());
        return false;
    }
    out = d;
    return true;
}

}
