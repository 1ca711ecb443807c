#include "Synthetic.h"
#include "TestDir.h"
#include "analysis/ControlTrend.h"
#include "analysis/Quantification.h"
#include "analysis/SampleResults.h"
#include "analysis/TempData.h"
#include "analysis/ResultText.h"
#include "files/PdfReport.h"
#include "files/RdmlImport.h"
#include "files/RdmlReader.h"

#include <QFile>
#include <QProcess>
#include <QTest>

#include <cmath>

class TestQuant : public QObject
{
    Q_OBJECT
private slots:
    void standardCurveByHand();
    void foldChangeByHand();
    void runsMadeInvalidByTheirControls();
    void controlsKeptWithTheRecord();
    void publicDilutionSeries();
    void controlTrendRules();
    void printedReport();
};

namespace {
// The report's text as a reader of PDF files extracts it.
QString reportText(const OutData& d)
{
    if (!PdfReport::write(d, ReportFacts{{}, "q", {}, {}, {}, {}}, "q.pdf").isEmpty())
        return QString();
    QProcess text;
    text.start("pdftotext", {"q.pdf", "-"});
    text.waitForFinished(30000);
    return QString::fromUtf8(text.readAllStandardOutput());
}
}

void TestQuant::standardCurveByHand()
{
    // Five tenfold standards. By hand: Sxx = 10, Sxy = -33.3, so slope -3.33 and intercept
    // 23.3 + 3.33 x 3 = 33.49; residual sum 0.011 of Syy 110.9 (R2 0.99990); E = 10^(1/3.33) - 1;
    // slope SE = sqrt(0.011 / 3 / 10) and t(0.975, 3) = 3.18245.
    const StandardCurve c = StandardCurve::fit({{1, 30.1}, {2, 26.9}, {3, 23.5}, {4, 20.2}, {5, 16.8}});
    QVERIFY(c.usable());
    QCOMPARE(c.points, 5);
    QVERIFY(std::fabs(c.slope + 3.33) < 1e-9);
    QVERIFY(std::fabs(c.intercept - 33.49) < 1e-9);
    QVERIFY(std::fabs(c.r2 - 0.999900812) < 1e-8);
    QVERIFY(std::fabs(c.efficiency - 0.996642450) < 1e-8);
    QVERIFY(std::fabs(c.slopeSe - 0.019148542) < 1e-8);
    QVERIFY(std::fabs(c.efficiencyLow - 0.971984727) < 1e-6);
    QVERIFY(std::fabs(c.efficiencyHigh - 1.022545300) < 1e-6);
    QVERIFY(std::fabs(c.quantityOf(25) - 354.4455674) < 1e-4);
    QVERIFY(c.withinStandards(25) && !c.withinStandards(31));
    QVERIFY(c.fault().isEmpty() && c.warnings().isEmpty());
    // Fewer than three quantities are no curve: no numbers, and why.
    for (const StandardCurve& none : {StandardCurve::fit({{2, 26}, {2, 26.1}}), StandardCurve::fit({{2, 26}, {3, 22.7}}),
                                      StandardCurve::fit({{2, 26}, {2, 26.2}, {3, 22.7}, {3, 22.6}})}) {
        QVERIFY(!none.usable() && std::isnan(none.slope) && std::isnan(none.efficiency));
        QVERIFY(none.fault().startsWith("无法拟合"));
    }
    // A curve outside the acceptance is fitted, and says what falls short.
    const StandardCurve poor = StandardCurve::fit({{1, 30}, {2, 29.4}, {3, 28.1}, {4, 29.0}});
    QVERIFY(poor.usable());
    QCOMPARE(poor.warnings().size(), 2);
}

void TestQuant::foldChangeByHand()
{
    // Calibrator: target 25.0, references 20.0 and 22.0; the sample: 23.0 (SD 0.2), 20.5 and 21.5
    // (SD 0.1 each), all doubling. RQ 4, the references' RQ 2^-0.5 and 2^0.5 (geometric mean 1):
    // fold 4. Its SD: 4 x sqrt((0.2 ln2)^2 + 2 x (0.1 ln2 / 2)^2) = 0.58815; range 4 e^-+0.14704.
    using Quantification::CtStats;
    RelativeResult r;
    QVERIFY(Quantification::foldChange({23.0, 0.2, 3}, {25.0, 0, 3}, 2.0, {{20.5, 0.1, 3}, {21.5, 0.1, 3}},
                                       {{20.0, 0, 3}, {22.0, 0, 3}}, {2.0, 2.0}, r));
    QVERIFY(std::fabs(r.fold - 4) < 1e-12);
    QVERIFY(std::fabs(r.sd - 0.588154886) < 1e-8);
    QVERIFY(std::fabs(r.foldLow - 3.453042200) < 1e-8);
    QVERIFY(std::fabs(r.foldHigh - 4.633595268) < 1e-8);
    // With a target efficiency of 90 %: 1.9^2 = 3.61.
    QVERIFY(Quantification::foldChange({23.0, 0, 1}, {25.0, 0, 1}, 1.9, {{20, 0, 1}}, {{20, 0, 1}}, {2.0}, r));
    QVERIFY(std::fabs(r.fold - 3.61) < 1e-12);
    // A sample without a Ct is listed with why it has no fold change.
    OutData d = Synthetic::controlledPlate();
    d.inData.setup.calibrator = QStringLiteral("甲");
    d.inData.setup.references = QStringList{QStringLiteral("内参")};
    const QuantResult q = Quantification::of(d, TempData(d));
    const auto without = std::find_if(q.relative.cbegin(), q.relative.cend(), [](const RelativeResult& x) { return x.sample == "乙"; });
    QVERIFY(without != q.relative.cend() && without->missing == "样本无Ct" && std::isnan(without->fold));
    d.inData.setup.references.clear();
    QCOMPARE(Quantification::of(d, TempData(d)).relativeNote, QString("未选择内参靶标：不计算倍数变化"));
    // Single replicates have no spread: SD and range unknown, not zero.
    QVERIFY(std::isnan(r.sd) && std::isnan(r.foldLow) && std::isnan(r.foldHigh));
    // A reference without a Ct in the sample: nothing to say.
    QVERIFY(!Quantification::foldChange({23.0, 0, 1}, {25.0, 0, 1}, 2.0, {{0, 0, 0}}, {{20, 0, 1}}, {2.0}, r));
}

void TestQuant::runsMadeInvalidByTheirControls()
{
    // 甲 (holes 1-3) amplifies its target, 乙 (4-6) does not, 丙's internal control fails in one hole.
    OutData d = Synthetic::controlledPlate();
    d.inData.method.controlRules = {{QStringLiteral("靶标"), true, 0, 0, 0, 0, 0}};
    d.inData.setup.sampleTypes = {{"ntc", 0, {}}, {"unkn", 0, {}}, {"unkn", 0, {}}};
    QVector<SampleResult> r = SampleResults::of(d, TempData(d));
    QCOMPARE(r[1].call, SampleResults::invalid()); // every sample, by the NTC that amplified
    QCOMPARE(r[1].flags.value(0), QString("run-invalid"));
    QVERIFY(SampleResults::cells(r[1], {"FAM", "ROX"}).contains(QString("运行无效（阴性对照扩增：孔位 1-3（靶标））")));
    QCOMPARE(r[0].call, QString("阳性")); // a control keeps its own call
    RunValidity v = RunValidity::of(d, TempData(d));
    QVERIFY(!v.valid && v.samplesInvalid);

    // Without a rule an amplifying negative control invalidates the run all the same; a rule that
    // asks for a control not on the chip makes it invalid too.
    d.inData.method.controlRules.clear();
    QVERIFY(RunValidity::of(d, TempData(d)).samplesInvalid);
    d.inData.method.controlRules = {{QStringLiteral("靶标"), true, 0, 10, 20, 0, 0}};
    d.inData.setup.sampleTypes = {{"unkn", 0, {}}, {"unkn", 0, {}}, {"unkn", 0, {}}};
    QCOMPARE(RunValidity::of(d, TempData(d)).reasons, QStringList({"缺少对照：阴性对照（靶标）、阳性对照（靶标）"}));
    QCOMPARE(SampleResults::of(d, TempData(d))[0].call, SampleResults::invalid()); // nothing showed a call true

    // Without any rule, a positive control that did not amplify fails all the same.
    d.inData.method.controlRules.clear();
    d.inData.setup.sampleTypes = {{"unkn", 0, {}}, {"pos", 0, {}}, {"unkn", 0, {}}};
    QCOMPARE(RunValidity::of(d, TempData(d)).reasons, QStringList({"阳性对照失败：孔位 4-6"}));
    d.inData.method.controlRules = {{QStringLiteral("靶标"), true, 0, 10, 20, 0, 0}};

    // A positive control outside its range (Ct about 24, range 10-20) invalidates the negatives only.
    d.inData.method.controlRules[0].checkNtc = false;
    d.inData.setup.sampleTypes = {{"pos", 0, {}}, {"unkn", 0, {}}, {"unkn", 0, {}}};
    r = SampleResults::of(d, TempData(d));
    QCOMPARE(r[1].call, SampleResults::invalid());
    QCOMPARE(r[1].runReasons, QStringList({"阳性对照失败：孔位 1-3"}));
    d.inData.method.controlRules[0].posCtHigh = 30;
    r = SampleResults::of(d, TempData(d));
    QCOMPARE(r[1].call, QString("阴性"));
    QVERIFY(RunValidity::of(d, TempData(d)).valid);

    // An internal control Ct outside the method's range makes its sample invalid.
    d.inData.method.controlRules << ControlRule{SampleResults::internalControl(), false, 0, 0, 0, 10, 20};
    r = SampleResults::of(d, TempData(d));
    QCOMPARE(r[1].call, SampleResults::invalid());
    QCOMPARE(r[1].flags.value(0), QString("control-failed"));
}

void TestQuant::controlsKeptWithTheRecord()
{
    TestDir dir;
    // A record of unknowns keeps the stored form its readers know, byte for byte.
    OutData plain = Synthetic::controlledPlate();
    QVERIFY(plain.saveAsFilePath("plain.pcrd"));
    OutData back;
    QCOMPARE(back.openAs("plain.pcrd"), 0);
    QVERIFY(back.inData.setup.isEmpty() && back.inData.method.controlRules.isEmpty());
    QFile file("plain.pcrd");
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().right(1), QByteArray(1, '\1')); // ends with the completion flag

    OutData typed = plain;
    typed.inData.setup.sampleTypes = {{"std", 1000, "cop"}, {"ntc", 0, {}}, {"unkn", 0, {}}};
    typed.inData.setup.excludedWells.insert(4, QStringLiteral("气泡"));
    typed.inData.setup.calibrator = QStringLiteral("甲");
    typed.inData.setup.references = QStringList{QStringLiteral("内参")};
    typed.inData.method.controlRules = {{QStringLiteral("靶标"), true, 38, 15, 30, 0, 0}};
    typed.inData.method.acceptances = {{QStringLiteral("靶标"), 0.8, 1.2, 0.95}};
    QVERIFY(typed.saveAsFilePath("typed.pcrd"));
    QCOMPARE(back.openAs("typed.pcrd"), 0);
    QVERIFY(back == typed);
    // Cut inside the block: read as far as it is sound, the run controls dropped.
    QVERIFY(QFile::copy("typed.pcrd", "cut.pcrd"));
    QVERIFY(QFile::resize("cut.pcrd", QFileInfo("typed.pcrd").size() - 5));
    QCOMPARE(back.openAs("cut.pcrd"), 0);
    QVERIFY(back.inData.setup.isEmpty());
}

void TestQuant::publicDilutionSeries()
{
    // Another instrument's standards (750, 210, 75 and 26 copies in triplicates) and two unknowns.
    // The peer tool's Cq (TD0) give slope -3.490, R2 0.9925 and quantities 524 and 1037 copies
    // (fitted apart from its published table); its Cq method differs, so ours may differ a little.
    RdmlReader file;
    QVERIFY(file.read(TAMARIN_PUBLIC_RDML "dilutions_f109.rdml"));
    OutData d;
    QString error;
    QVERIFY2(RdmlImport::toOutData(file, 0, d, error), qPrintable(error));
    const QuantResult q = Quantification::of(d, TempData(d));
    QCOMPARE(q.curves.size(), 1);
    const StandardCurve& c = q.curves[0].fit;
    QCOMPARE(c.points, 12);
    QVERIFY2(std::fabs(c.slope + 3.490) < 0.3, qPrintable(QString::number(c.slope)));
    QVERIFY(c.r2 > 0.99);
    QVERIFY(c.efficiencyLow < 0.896 && c.efficiencyHigh > 0.876); // the peer's 89.6 % and the file's 87.6 %
    QCOMPARE(q.samples[0].unit, QString("cop"));
    QVERIFY2(std::fabs(q.samples[0].quantity / 524 - 1) < 0.15, qPrintable(QString::number(q.samples[0].quantity)));
    QVERIFY2(std::fabs(q.samples[1].quantity / 1037 - 1) < 0.15, qPrintable(QString::number(q.samples[1].quantity)));
    // Each standard read back off the curve, with how far from its typed quantity.
    const QuantCurve& curve = q.curves[0];
    QCOMPARE(curve.checks.size(), curve.wells.size());
    for (const StandardCheck& check : curve.checks) {
        QVERIFY(std::fabs(check.error - 100 * (check.backCalculated / check.quantity - 1)) < 1e-9);
        QVERIFY2(std::fabs(check.error) < 50, qPrintable(QString::number(check.error)));
    }
    // A method's own acceptance for the target is the one the curve is judged by.
    QVERIFY(!q.curves[0].fit.efficiencyAccepted()); // about 87 %: short of the usual 90 %
    d.inData.method.acceptances = {{q.curves[0].target, 0.85, 1.05, 0.99}};
    const QuantResult lenient = Quantification::of(d, TempData(d));
    QVERIFY(lenient.curves[0].fit.warnings().isEmpty());
    QVERIFY(lenient.run.valid);

    // Read off the failing curve, a quantity is flagged as none to report.
    QVERIFY(q.samples[0].flags.contains("curve-failed") && !lenient.samples[0].flags.contains("curve-failed"));
    // Dilutions are the reciprocal of an amount: 1:1 to 1:28.8 of the 750-copy standard give the
    // same slope, and an unknown reads 750 / its copies.
    const QuantCurve& c0 = q.curves[0];
    OutData diluted = d;
    for (SampleType& t : diluted.inData.setup.sampleTypes)
        if (t.type == "std")
            t = {"std", 750 / t.quantity, "dil"};
    const QuantResult dil = Quantification::of(diluted, TempData(diluted));
    QVERIFY(dil.curves[0].fit.usable() && std::fabs(dil.curves[0].fit.slope - c.slope) < 1e-9);
    QString unit;
    const double ct = 25;
    QVERIFY(std::fabs(Quantification::holeQuantity(diluted, dil, 0, c0.target, c0.channel, ct, unit)
                      - 750 / Quantification::holeQuantity(d, q, 0, c0.target, c0.channel, ct, unit)) < 1e-9);
    QCOMPARE(unit, QString("cop"));
    // Standards in two units make no curve, and no quantity is read off one.
    OutData mixed = d;
    for (SampleType& t : mixed.inData.setup.sampleTypes)
        if (t.type == "std" && t.quantity == 750)
            t.unit = "ng";
    const QuantResult none = Quantification::of(mixed, TempData(mixed));
    QVERIFY(none.curves[0].fit.fault().contains("单位不同") && std::isnan(none.samples[0].quantity));
}

void TestQuant::controlTrendRules()
{
    // Twenty baseline runs alternating 30.5 and 29.5 (mean 30, SD 0.513), then two at 31.2 (+2.34
    // SD: 2-2s on the second) and ten at 30.3 (+0.58 SD): ten in a row above the mean from the
    // first 31.2 on, 10-x from the eighth 30.3. One run without a Ct is marked and left out.
    QVector<ControlTrend::Point> points;
    const QDateTime start(QDate(2026, 11, 1), QTime(8, 0), Qt::UTC);
    const auto add = [&](double ct) { points.append({QString::number(points.size()), start.addDays(points.size()), ct}); };
    for (int i = 0; i < 20; ++i)
        add(i % 2 ? 29.5 : 30.5);
    add(31.2);
    add(31.2);
    add(qQNaN());
    for (int i = 0; i < 10; ++i)
        add(30.3);
    std::reverse(points.begin(), points.end()); // any order in, time order out
    const ControlTrend t = ControlTrend::of(points);
    QCOMPARE(t.baseline, 20);
    QVERIFY(std::fabs(t.mean - 30) < 1e-12 && std::fabs(t.sd - std::sqrt(5.0 / 19)) < 1e-12);
    QStringList found;
    for (const ControlTrend::Violation& v : t.violations)
        found << v.rule + '@' + v.experiment;
    QCOMPARE(found, QStringList({"2-2s@21", "no-ct@22", "10-x@30", "10-x@31", "10-x@32"}));
    // A fixed period is the baseline instead: the last ten runs alone have no spread to judge by.
    const ControlTrend fixed = ControlTrend::of(points, start.addDays(23), start.addDays(32));
    QCOMPARE(fixed.baseline, 10);
    QVERIFY(fixed.sd < 1e-6 && fixed.violations.size() == 1);
}

void TestQuant::printedReport()
{
    TestDir dir;
    // An ordinary run prints no quantification.
    OutData d = Synthetic::controlledPlate();
    QString pdf = reportText(d);
    QVERIFY(pdf.contains("样本结果") && !pdf.contains("定量分析") && !pdf.contains("标准曲线"));

    // A dilution series: its curve with E outside the acceptance marked, a standard left out with
    // its reason, and the quantities as every table writes them.
    RdmlReader file;
    QString error;
    QVERIFY(file.read(TAMARIN_PUBLIC_RDML "dilutions_f109.rdml") && RdmlImport::toOutData(file, 0, d, error));
    QuantResult q = Quantification::of(d, TempData(d));
    d.inData.setup.excludedWells.insert(q.curves[0].wells.last().curveIndex, QStringLiteral("加样误差"));
    q = Quantification::of(d, TempData(d));
    QVERIFY(!q.curves[0].fit.efficiencyAccepted() && q.curves[0].fit.r2Accepted());
    QCOMPARE(Quantification::unknownsOn(q, q.curves[0]).size(), 2); // the two swabs on the line
    pdf = reportText(d);
    QVERIFY2(pdf.contains("标准曲线：") && pdf.contains(QString("E = %1 % ⚠").arg(100 * q.curves[0].fit.efficiency, 0, 'f', 1))
                 && pdf.contains(QString("R² = %1，").arg(q.curves[0].fit.r2, 0, 'f', 4)),
             qPrintable(pdf));
    QVERIFY(pdf.contains("排除的标准品") && pdf.contains("加样误差"));
    QVERIFY(pdf.contains(ResultText::quantity(q.samples[0].quantity)) && pdf.contains("拷贝"));
    QVERIFY(pdf.contains("超出标准品范围：Ct在标准品的Ct范围之外"));

    // One standard is no curve; the fold changes follow, and an invalid sample gives no number.
    d = Synthetic::controlledPlate();
    d.inData.setup.sampleTypes = {{"std", 1000, "cop"}, {"unkn", 0, {}}, {"unkn", 0, {}}};
    d.inData.setup.calibrator = QStringLiteral("甲");
    d.inData.setup.references = QStringList{QStringLiteral("内参")};
    pdf = reportText(d);
    QVERIFY(pdf.contains("无法拟合：标准品只有1个浓度有Ct") && pdf.contains("相对定量") && pdf.contains("1.000"));
    QVERIFY(pdf.mid(pdf.indexOf("定量结果")).contains(SampleResults::invalid()));
}

QTEST_MAIN(TestQuant)
#include "tst_quant.moc"
