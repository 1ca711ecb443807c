#include "NoisyRun.h"
#include "instrument/Machine.h"
#include "instrument/RunRecorder.h"
#include "method/JsonControl.h"

using namespace NoisyRun;

namespace {
// Stands in for a run page: records one module's readings as the program saves them.
class ModuleRecord : public QObject
{
    Q_OBJECT
public:
    ModuleRecord(int module, int curves) : module(module), recorder(curves) {}
    int module;
    RunRecorder recorder;
    bool over = false;
    Machine::REACT_INFO info = Machine::REACT_ERROR;

public slots:
    void slotConnectData(const ConnectData& data)
    {
        if (data.pcrIndex == module)
            recorder.addReport(data);
    }
    void slotReactInfo(Machine::REACT_INFO outcome, char number)
    {
        if (int(number) == module) {
            over = true;
            info = outcome;
        }
    }
};
}

// Every link fault at once on every module, for as long as a whole run.
class TestSoak : public QObject
{
    Q_OBJECT
private slots:
    void fourModulesThroughEveryFault();
};

void TestSoak::fourModulesThroughEveryFault()
{
    // Four modules run the short method at once while readings come late, twice and for another
    // position: every saved reading is the one the simulator sent for its own position, none is
    // invented and none is lost.
    TestDir dir;
    SimProcess sim({"--speed", "250", "--reply-log", dir.file("replies.log"), "--late-every", "23", "--twice-every", "13",
                    "--wrong-position-every", "29", "--drop-codes", "c2"},
                   dir.path());
    Settings(UI::SettingsFile, QSettings::IniFormat).setComName(sim.path());
    Machine machine(1, 20);
    QCOMPARE(machine.getMachineData().pcrModels, QVector<quint8>({0, 1, 2, 3, 4}));
    SMethod method;
    QVERIFY(JsonControl().openJsonMethod(TAMARIN_SOURCE_DIR "/methods/short-demo.json", method));
    QVector<ModuleRecord*> records;
    for (int module = 1; module <= 4; ++module) {
        records << new ModuleRecord(module, 52);
        QVERIFY(machine.run(method, records.last(), module));
    }
    QVERIFY(QTest::qWaitFor([&] { return std::all_of(records.cbegin(), records.cend(), [](ModuleRecord* r) { return r->over; }); },
                            240000));
    for (ModuleRecord* r : records) {
        OutData saved;
        r->recorder.fill(saved);
        QCOMPARE(r->info, Machine::REACT_FINISHED);
        for (const Curve& curve : saved.pdLines)
            QCOMPARE(curve.size(), 55);
        const int misplaced = SimReadings::misplaced(saved, dir.file("replies.log"), r->module);
        qInfo("module %d: %d of %d position readings misplaced", r->module, misplaced, 55 * 13);
        QCOMPARE(misplaced, 0);
    }
    qDeleteAll(records);
}

QTEST_GUILESS_MAIN(TestSoak)
#include "tst_soak.moc"
