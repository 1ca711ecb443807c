// The public RDML runs of other instruments (../shared/public-rdml), cut into parts of at most
// 26 reactions as the chip takes them, at their own scale and multiplied by 0.001 and 1000: how
// many reactions the peer tool found amplified are not called positive here (missed), and how many
// it found not amplified are (its "not amplified" includes reactions too early for its method), and
// the share of curves flagged `drift`.
#include "analysis/TempData.h"
#include "app/ZGLOBAL.h"
#include "files/RdmlImport.h"
#include "files/ZipArchive.h"
#include "tests/ScaledRdml.h"

#include <QDebug>
#include <QRegularExpression>
#include <benchmark/benchmark.h>

namespace {

const QString Folder = TAMARIN_SOURCE_DIR "/../shared/public-rdml/";

struct Plate
{
    const char* file;
    const char* run;     // empty: the file's only run
    const char* results; // the peer's table
};

// (well, target) -> amplified, from the peer's table; every reaction of a table without that
// column amplified (a dilution series of genomic DNA).
QMap<QPair<QString, QString>, bool> published(const QString& table, const QString& run)
{
    QMap<QPair<QString, QString>, bool> out;
    const QList<QByteArray> rows = ZGLOBAL::readFile(Folder + table).split('\n');
    const QStringList header = QString::fromUtf8(rows.value(0)).toLower().split('\t');
    for (const QByteArray& row : rows.mid(1)) {
        const QStringList f = QString::fromUtf8(row).split('\t');
        if (f.size() < header.size() - 5 || (!run.isEmpty() && header.contains("run") && f[header.indexOf("run")] != run))
            continue;
        const int amplification = header.indexOf("amplification");
        out[{f[header.indexOf("well")], f[header.indexOf("target")]}] = amplification < 0 || f.value(amplification) == "True";
    }
    return out;
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
            RdmlReader file;
            if (!file.readXml(scaledRdml(ZipArchive(Folder + p.file).read("rdml_data.xml", RdmlReader::MaxBytes), scale)))
                return state.SkipWithError(qPrintable(file.error()));
            int run = 0;
            while (run < file.runs().size() && QString(p.run) != "" && file.runs()[run].id != p.run)
                ++run;
            const auto peer = published(p.results, p.run);
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
                const TempData r(d);
                const int channels = d.inData.method.ChannelColor;
                // Placed on their own numbers when all lie on the chip, else one after the other.
                const bool byNumber = part.last() <= RdmlImport::ChipHoles;
                for (int hole = 1; hole <= RdmlImport::ChipHoles; ++hole) {
                    const int id = byNumber ? hole : part.value(hole - 1, -1);
                    if (id < 0)
                        continue;
                    const QString well = QChar('A' + (id - 1) / columns) + QString::number((id - 1) % columns + 1);
                    for (int c = 0; c < channels; ++c) {
                        const int s = (hole - 1) * channels + c;
                        const auto it = peer.find({well, r.targets[s].Name});
                        if (it == peer.end() || d.pdLines[s].isEmpty())
                            continue;
                        (it.value() ? amplified : notAmplified) += 1;
                        drift += r.flags[s].contains("drift") ? 1 : 0;
                        if (qEnvironmentVariableIsSet("SHOW_DRIFT") && r.flags[s].contains("drift"))
                            qInfo() << p.file << well << r.targets[s].Start << r.targets[s].End << r.targets[s].Threshold;
                        if (it.value() && !r.positives[s])
                            ++missed;
                        if (!it.value() && r.positives[s])
                            ++called;
                    }
                }
            }
        }
    }
    state.counters["missed"] = missed;
    state.counters["amplified"] = amplified;
    state.counters["called_not_amplified"] = called;
    state.counters["not_amplified"] = notAmplified;
    state.counters["drift_share"] = amplified + notAmplified > 0 ? double(drift) / (amplified + notAmplified) : 0;
}
BENCHMARK(BM_PublicPlates)->Arg(1)->Arg(1000)->Arg(1000000)->Iterations(1)->Unit(benchmark::kSecond);

}

BENCHMARK_MAIN();
