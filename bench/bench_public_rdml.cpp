// The public RDML runs of other instruments (../shared/public-rdml), cut into parts of at most
// 26 reactions as the chip takes them, at their own scale and multiplied by 0.001 and 1000: how
// many reactions the peer tool found amplified are not called positive here (missed), and how many
// it found not amplified are (its "not amplified" includes reactions too early for its method), and
// the share of curves flagged `drift`.
#include "analysis/CurveWindow.h"
#include "analysis/TempData.h"
#include "app/ZGLOBAL.h"
#include "files/RdmlImport.h"
#include "files/ZipArchive.h"
#include "tests/ScaledRdml.h"

#include <QDebug>
#include <QRegularExpression>
#include <benchmark/benchmark.h>

#include <functional>

namespace {

const QString Folder = TAMARIN_SOURCE_DIR "/../shared/public-rdml/";

struct Plate
{
    const char* file;
    const char* run;     // empty: the file's only run
    const char* results; // the peer's table
};

using Key = QPair<QString, QString>; // (well, target)

// (well, target) -> the peer table's column (lower case); empty for a table without it.
QMap<Key, QString> peerColumn(const QString& table, const QString& run, const QString& column)
{
    QMap<Key, QString> out;
    const QList<QByteArray> rows = ZGLOBAL::readFile(Folder + table).split('\n');
    const QStringList header = QString::fromUtf8(rows.value(0)).toLower().split('\t');
    for (const QByteArray& row : rows.mid(1)) {
        const QStringList f = QString::fromUtf8(row).split('\t');
        if (f.size() < header.size() - 5 || (!run.isEmpty() && header.contains("run") && f[header.indexOf("run")] != run))
            continue;
        out[{f[header.indexOf("well")], f[header.indexOf("target")]}] = f.value(header.indexOf(column));
    }
    return out;
}

// (well, target) -> amplified; every reaction of a table without that column amplified (a
// dilution series of genomic DNA).
QMap<Key, bool> published(const QString& table, const QString& run)
{
    QMap<Key, bool> out;
    const QMap<Key, QString> column = peerColumn(table, run, "amplification");
    for (auto it = column.cbegin(); it != column.cend(); ++it)
        out[it.key()] = it.value().isEmpty() || it.value() == "True";
    return out;
}

using Reaction = std::function<void(const QString& well, const QString& target, const TempData& r, int s)>;

// Every reaction of one plate at scale, cut into chips, analysed with the threshold mode the import
// gives (mode -1) or the one asked; reaction() sees each curve with its well and target.
bool analysePlate(const Plate& p, double scale, int mode, const Reaction& reaction, QString& error)
{
    RdmlReader file;
    if (!file.readXml(scaledRdml(ZipArchive(Folder + p.file).read("rdml_data.xml", RdmlReader::MaxBytes), scale))) {
        error = file.error();
        return false;
    }
    int run = 0;
    while (run < file.runs().size() && QString(p.run) != "" && file.runs()[run].id != p.run)
        ++run;
    QVector<int> ids; // of the reactions with points, as the import places them
    for (const RdmlReader::React& react : file.runs()[run].reacts)
        if (std::any_of(react.data.cbegin(), react.data.cend(), [](const RdmlReader::Data& x) { return !x.adp.isEmpty(); }))
            ids << react.id;
    std::sort(ids.begin(), ids.end());
    const int columns = file.runs()[run].columns;
    for (int from = 0; from < ids.size(); from += RdmlImport::ChipHoles) {
        const QVector<int> part = ids.mid(from, RdmlImport::ChipHoles);
        OutData d;
        QString why;
        if (!RdmlImport::toOutData(file, run, d, why, part))
            continue; // more dyes than the chip's channels
        const int channels = d.inData.method.ChannelColor;
        for (int s = 0; mode >= 0 && s < RdmlImport::ChipHoles * channels; ++s) {
            TargetInfo t = d.targetOf(s);
            t.AutoThreshold = mode;
            d.setTargetInfo(t, s, false);
        }
        const TempData r(d);
        // Placed on their own numbers when all lie on the chip, else one after the other.
        const bool byNumber = part.last() <= RdmlImport::ChipHoles;
        for (int hole = 1; hole <= RdmlImport::ChipHoles; ++hole) {
            const int id = byNumber ? hole : part.value(hole - 1, -1);
            if (id < 0)
                continue;
            const QString well = QChar('A' + (id - 1) / columns) + QString::number((id - 1) % columns + 1);
            for (int c = 0; c < channels; ++c)
                if (!d.pdLines[(hole - 1) * channels + c].isEmpty())
                    reaction(well, r.targets[(hole - 1) * channels + c].Name, r, (hole - 1) * channels + c);
        }
    }
    return true;
}

void BM_PublicPlates(benchmark::State& state)
{
    const Plate plates[] = {{"own_mix_a.rdml", "", "own_mix_a_results.tsv"},
                            {"shifted_baseline.rdml", "", "shifted_baseline.tsv"},
                            {"quantification_methods.rdml", "", "quantification_methods_results.tsv"},
                            {"large_DNA_dilutions.rdml", "P10 - DNA Dilutions", "large_DNA_dilutions_results.tsv"}};
    const double scale = state.range(0) / 1000.0;
    int missed = 0, amplified = 0, called = 0, notAmplified = 0, drift = 0;
    for (auto _ : state) {
        for (const Plate& p : plates) {
            const auto peer = published(p.results, p.run);
            QString error;
            const bool read = analysePlate(p, scale, -1, [&](const QString& well, const QString& target, const TempData& r, int s) {
                const auto it = peer.find({well, target});
                if (it == peer.end())
                    return;
                (it.value() ? amplified : notAmplified) += 1;
                drift += r.flags[s].contains("drift") ? 1 : 0;
                if (it.value() && !r.positives[s])
                    ++missed;
                if (!it.value() && r.positives[s])
                    ++called;
            }, error);
            if (!read)
                return state.SkipWithError(qPrintable(error));
        }
    }
    state.counters["missed"] = missed;
    state.counters["amplified"] = amplified;
    state.counters["called_not_amplified"] = called;
    state.counters["not_amplified"] = notAmplified;
    state.counters["drift_share"] = amplified + notAmplified > 0 ? double(drift) / (amplified + notAmplified) : 0;
}
BENCHMARK(BM_PublicPlates)->Arg(1)->Arg(1000)->Arg(1000000)->Iterations(1)->Unit(benchmark::kSecond);

// Replicate agreement on the public dilution plate: the median SD of the Ct of each standard's
// replicates at the four highest inputs that amplified (10^5 to 10^8 copies, both dilution
// series, every target), with the per-curve (1) or plate-wide (2) threshold; and how many baseline
// windows end less than four cycles before their Ct.
void BM_PublicReplicates(benchmark::State& state)
{
    const Plate plate{"large_DNA_dilutions.rdml", "P10 - DNA Dilutions", "large_DNA_dilutions_results.tsv"};
    const QMap<Key, QString> samples = peerColumn(plate.results, plate.run, "sample");
    const QMap<Key, QString> peerCq = peerColumn(plate.results, plate.run, "td0");
    const QRegularExpression top("10e[5-8]$");
    QMap<QString, QVector<double>> groups, peerGroups;
    int windows = 0, close = 0;
    for (auto _ : state) {
        QString error;
        const bool read = analysePlate(plate, state.range(1) / 1000.0, int(state.range(0)),
                                       [&](const QString& well, const QString& target, const TempData& r, int s) {
                                           if (r.ctValues[s] == 0 || !r.positives[s])
                                               return;
                                           ++windows;
                                           close += r.targets[s].End > r.ctValues[s] - 4 ? 1 : 0;
                                           const QString sample = samples.value({well, target});
                                           if (!top.match(sample).hasMatch())
                                               return;
                                           groups[sample + "/" + target] << r.ctValues[s];
                                           peerGroups[sample + "/" + target] << peerCq.value({well, target}).toDouble();
                                       }, error);
        if (!read)
            return state.SkipWithError(qPrintable(error));
    }
    auto medianSd = [](const QMap<QString, QVector<double>>& g) {
        QVector<double> sds;
        for (const QVector<double>& cts : g)
            if (cts.size() > 1)
                sds << CurveWindow::sd(cts);
        return CurveWindow::median(sds);
    };
    state.counters["median_sd"] = medianSd(groups);
    state.counters["peer_median_sd"] = medianSd(peerGroups);
    state.counters["groups"] = groups.size();
    state.counters["windows_close_to_ct"] = close;
    state.counters["windows"] = windows;
}
BENCHMARK(BM_PublicReplicates)->ArgsProduct({{1, 2}, {1, 1000, 1000000}})->Iterations(1)->Unit(benchmark::kSecond);

}

BENCHMARK_MAIN();
