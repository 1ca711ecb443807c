#include "method/SMethod.h"

#include <QtTest>

namespace {

Step stage(Step::STEP_TYPE type, int count, QVector<Node> nodes)
{
    Step s;
    s.StepType = type;
    s.CycleCount = count;
    s.NodeList = nodes;
    return s;
}

SMethod workedExample()
{
    SMethod m;
    m.UpTime = 3.5;
    m.DownTime = 3.5;
    m.Flow.steps = {stage(Step::STEP_CONSTANT, 1, {{120, 95.0, false}}),
                    stage(Step::STEP_CYCLE, 40, {{10, 95.0, false}, {30, 60.0, true}}),
                    stage(Step::STEP_MELT, 0, {{5, 60.0, false}, {5, 95.0, false}})};
    return m;
}

QStringList kinds(const QVector<ControlElement>& list)
{
    QStringList names;
    for (const ControlElement& e : list)
        names << controlKindName(e.kind);
    return names;
}

int count(const QStack<ControlElement>& list, int kind)
{
    return int(std::count_if(list.begin(), list.end(), [kind](const ControlElement& e) { return e.kind == kind; }));
}

// Runs of equal kinds, "GET_TEMP*7", for compact expectations.
QString compact(const QVector<ControlElement>& list)
{
    QStringList out;
    const QStringList names = kinds(list);
    for (int i = 0; i < names.size();) {
        int j = i;
        while (j < names.size() && names[j] == names[i])
            ++j;
        out << (j - i > 1 ? QString("%1*%2").arg(names[i]).arg(j - i) : names[i]);
        i = j;
    }
    return out.join(' ');
}

const QString CycleBlock = "IN_LED_OPEN GET_TEMP ROTOR_TEST DELAY*7 GET_TEMP IN_LED_CLOSE IMMUNE_CYCLE_DATA ROTOR_RESET";
const QString MeltBlock = "IN_LED_OPEN GET_TEMP ROTOR_TEST DELAY*7 IMMUNE_MELT_DATA IN_LED_CLOSE GET_TEMP ROTOR_RESET";
const QString EndSequence = "SET_TEMP_All GET_TEMP*5 OUT_LED_RED STOP_TEMP UD_ROTOR_UPRESET GET_TEMP STOP_TEMP";

}

class TestRunList : public QObject
{
    Q_OBJECT
private slots:
    void workedExample();
    void fixedSequences();
    void constantStages();
    void shortReadingNodeKeepsItsBlock();
    void meltDirectionAndBounds();
    void malformedMeltsYieldNothing();
    void rampTimes();
    void preRunProgram();
    void absurdCountsStayBounded();
};

void TestRunList::workedExample()
{
    const SMethod m = ::workedExample();
    const QStack<ControlElement> list = m.getAllRunCmd();
    QCOMPARE(list.size(), 4313);
    QCOMPARE(count(list, IMMUNE_CYCLE_DATA), 40);
    QCOMPARE(count(list, IMMUNE_MELT_DATA), 71);
    QCOMPARE(count(list, IMMUNE_DATA), 1);
    QCOMPARE(m.stepNumber(), 71);

    const QStack<ControlElement> run = m.getRunCmd();
    // Constant stage, then cycle 1 (95 degC without ramp, 60 degC with a 10 s ramp) and the start
    // of cycle 2, whose 95 degC node now ramps too.
    const QString expectedStart = "UD_ROTOR_DOWN_2 SET_TEMP_All GET_TEMP*119 SET_TEMP_All GET_TEMP*9 SET_TEMP_All GET_TEMP*28 "
        + CycleBlock + " SET_TEMP_All GET_TEMP*19 SET_TEMP_All GET_TEMP*28 " + CycleBlock;
    QVERIFY(compact(run).startsWith(expectedStart));
    QVERIFY(compact(run).endsWith("SET_TEMP_All GET_TEMP*4 " + MeltBlock + " GET_TEMP*4 " + EndSequence));
    QCOMPARE(run.at(1).upTemp, 95.0);
    QCOMPARE(run.at(1).downTemp, 95.0);

    // The melt points run 60.0, 60.5, ... 95.0, after the last cycle reading.
    QVector<double> meltTemps;
    int cycleReadings = 0;
    for (const ControlElement& e : run) {
        cycleReadings += e.kind == IMMUNE_CYCLE_DATA;
        if (cycleReadings == 40 && e.kind == SET_TEMP_All)
            meltTemps << e.upTemp;
    }
    QCOMPARE(meltTemps.size(), 72); // 71 points and the end sequence's 30 degC
    QCOMPARE(meltTemps.at(1), 60.5);
    QCOMPARE(meltTemps.at(70), 95.0);
    QCOMPARE(meltTemps.at(71), 30.0);
}

void TestRunList::fixedSequences()
{
    const SMethod empty;
    QCOMPARE(empty.getAllRunCmd().size(), 50);
    QCOMPARE(compact(empty.getAllRunCmd()),
             "UD_ROTOR_UPRESET ROTOR_TEST GET_TEMP*7 ROTOR_RESET IN_LED_CLOSE IMMUNE_DATA GET_TEMP*7 "
             "UD_ROTOR_DOWN_1 GET_TEMP*5 OUT_LED_BLUE UD_ROTOR_DOWN_1 OUT_FAN_OPEN UP_FAN_OPEN DOWN_FAN_OPEN "
             "ROTOR_RESET GET_TEMP*6 UD_ROTOR_DOWN_2*2 "
                 + EndSequence);
    QCOMPARE(empty.getUDCmd().size(), 19);
    QCOMPARE(compact(empty.getStopCmd()), QString("STOP_TEMP IN_LED_CLOSE UD_ROTOR_UPRESET ROTOR_RESET DELAY*5 OUT_LED_RED"));
    const QStack<ControlElement> end = empty.getRunCmd();
    QCOMPARE(end.at(1).upTemp, 30.0);
    QCOMPARE(end.at(1).downTemp, 30.0);
    QCOMPARE(end.last().kind, int(STOP_TEMP));
    QCOMPARE(::workedExample().getAllRunCmd().last().kind, int(STOP_TEMP));
    QCOMPARE(::workedExample().getStopCmd().last().kind, int(OUT_LED_RED));
}

void TestRunList::constantStages()
{
    SMethod m;
    m.Flow.steps = {stage(Step::STEP_CONSTANT, 0, {{50, 95.0, false}})};
    QCOMPARE(m.getRunCmd().size(), 12);
    m.Flow.steps = {stage(Step::STEP_CONSTANT, 2, {{1, 50.0, false}, {0, 70.0, false}, {3, 90.0, true}})};
    QCOMPARE(compact(m.getRunCmd()), "UD_ROTOR_DOWN_2 SET_TEMP_All*3 GET_TEMP*2 SET_TEMP_All*3 GET_TEMP*2 " + EndSequence);
    // The ramp after a constant stage at the same temperature is zero.
    m.UpTime = m.DownTime = 3.5;
    m.Flow.steps = {stage(Step::STEP_CONSTANT, 1, {{2, 95.0, false}}), stage(Step::STEP_CYCLE, 1, {{5, 95.0, false}})};
    QCOMPARE(compact(m.getRunCmd()), "UD_ROTOR_DOWN_2 SET_TEMP_All GET_TEMP SET_TEMP_All GET_TEMP*4 " + EndSequence);
    // Unknown stage kinds expand to nothing.
    m.Flow.steps = {stage(Step::STEP_TYPE(7), 3, {{5, 95.0, false}})};
    QCOMPARE(m.getRunCmd().size(), 12);
}

void TestRunList::shortReadingNodeKeepsItsBlock()
{
    SMethod m;
    m.UpTime = m.DownTime = 0; // no ramps
    m.Flow.steps = {stage(Step::STEP_CYCLE, 1, {{5, 60.0, true}})};
    QCOMPARE(compact(m.getRunCmd()), "UD_ROTOR_DOWN_2 SET_TEMP_All " + CycleBlock + " " + EndSequence);
    m.Flow.steps = {stage(Step::STEP_CYCLE, 1, {{13, 60.0, true}})};
    QCOMPARE(compact(m.getRunCmd()), "UD_ROTOR_DOWN_2 SET_TEMP_All GET_TEMP " + CycleBlock + " " + EndSequence);
}

void TestRunList::meltDirectionAndBounds()
{
    SMethod up;
    up.Flow.steps = {stage(Step::STEP_MELT, 0, {{3, 60.0, false}, {2, 61.0, false}})};
    SMethod down;
    down.Flow.steps = {stage(Step::STEP_MELT, 0, {{2, 61.0, false}, {3, 60.0, false}})};
    const QString point = "SET_TEMP_All GET_TEMP*2 " + MeltBlock + " GET_TEMP ";
    QCOMPARE(compact(up.getRunCmd()), "UD_ROTOR_DOWN_2 " + point + point + point + EndSequence);
    const QString swapped = "SET_TEMP_All GET_TEMP " + MeltBlock + " GET_TEMP*2 ";
    QCOMPARE(compact(down.getRunCmd()), "UD_ROTOR_DOWN_2 " + swapped + swapped + swapped + EndSequence);
    // Both directions start at the cooler end.
    QCOMPARE(down.getRunCmd().at(1).upTemp, 60.0);
    QCOMPARE(down.getRunCmd().at(19).upTemp, 60.5);

    SMethod truncated;
    truncated.Flow.steps = {stage(Step::STEP_MELT, 0, {{1, 60.7, false}, {1, 95.9, false}})};
    const QStack<ControlElement> list = truncated.getRunCmd();
    QCOMPARE(count(list, IMMUNE_MELT_DATA), 71);
    QCOMPARE(list.at(1).upTemp, 60.0);
}

void TestRunList::malformedMeltsYieldNothing()
{
    SMethod m;
    m.Flow.steps = {stage(Step::STEP_MELT, 0, {{5, 60.0, false}, {5, 95.0, false}, {5, 97.0, false}})};
    QCOMPARE(m.getRunCmd().size(), 12);
    QCOMPARE(m.stepNumber(), 0);
    m.Flow.steps = {stage(Step::STEP_MELT, 1, {{5, 60.0, false}, {5, 95.0, false}})};
    QCOMPARE(m.getRunCmd().size(), 12);
    QCOMPARE(m.stepNumber(), 0);
}

void TestRunList::rampTimes()
{
    SMethod m;
    m.UpTime = 3.5;
    m.DownTime = 4;
    QCOMPARE(m.getUdTime(25, 95), 20);
    QCOMPARE(m.getUdTime(95, 60), 8);
    QCOMPARE(m.getUdTime(60, 60), 0);
    m.UpTime = 0;
    QCOMPARE(m.getUdTime(25, 95), 0);
    m.DownTime = -2; // a negative rate still gives a positive duration
    QCOMPARE(m.getUdTime(95, 60), 17);
}

void TestRunList::preRunProgram()
{
    SMethod m;
    m.ReDissolveCycle = 2;
    m.ReDissolveTime = 3;
    m.ReDissolveTempHigh = 90;
    m.ReDissolveTempLow = 40;
    const QStack<ControlElement> list = m.getReSRunCmd();
    QCOMPARE(compact(list), QString("SET_TEMP_All GET_TEMP*2 SET_TEMP_All GET_TEMP*2 SET_TEMP_All GET_TEMP*2 SET_TEMP_All GET_TEMP*2"));
    QCOMPARE(list.at(0).upTemp, 40.0);
    QCOMPARE(list.at(0).downTemp, 90.0);
    QCOMPARE(list.at(3).upTemp, 90.0);
    QCOMPARE(list.at(3).downTemp, 40.0);
    QCOMPARE(count(m.getAllRunCmd(), SET_TEMP_All), 1);
}

void TestRunList::absurdCountsStayBounded()
{
    SMethod m;
    m.UpTime = m.DownTime = 1e-300;
    m.Flow.steps = {stage(Step::STEP_CYCLE, 1000000000, {{1000000000, 95.0, false}, {1000000000, 60.0, true}})};
    const QStack<ControlElement> list = m.getAllRunCmd();
    QVERIFY(list.size() <= 3'000'000);
    QCOMPARE(compact(list.mid(list.size() - 11)), EndSequence);
}

QTEST_GUILESS_MAIN(TestRunList)
#include "tst_runlist.moc"
