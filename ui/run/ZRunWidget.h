#pragma once

#include "files/ExperimentExport.h"
#include "files/OutData.h"
#include "instrument/ConnectData.h"
#include "instrument/Machine.h"
#include "instrument/RunRecorder.h"

#include <QWidget>

class QButtonGroup;
class TempData;

namespace Ui {
class ZRunWidget;
}

// The page of one experiment. For a new test it starts and stops the run on its module, shows
// every report as it comes, keeps the readings, saves the experiment file when the run ends and
// then shows the results. Opened from a file it is a review page. After the run the operator may
// change analysis settings per cell, export the report, replace the method or the readings;
// every such change is saved again.
class ZRunWidget : public QWidget
{
    Q_OBJECT
public:
    // machine: the one that plays the run (the program's own unless a test brings one).
    explicit ZRunWidget(QWidget* parent = nullptr, Machine* machine = nullptr);
    ~ZRunWidget() override;

    // The experiment this page shows: taken as open (no other test may take its name, no rename
    // or delete touches it) until the page closes or shows another.
    void setMFilePath(const QString& path);
    QString filePath() const { return mFilePath; }
    void setInData(const InData& in);
    void setOutData(const OutData& data);
    bool saveOutData(bool complete);
    int pcrNumber() const { return mInData.pcrNumber; }
    bool isRunComplete() const { return mOutData.runComplete; }
    // From the start until the run's end is saved, its stop sequence included.
    bool isRunning() const { return mRunning; }
    // "PCR n · NAME": what a question about the run names.
    QString name() const;
    // The name, followed by the run's state once it started.
    QString title() const;
    // Stops the run without asking, as the program closes: the stop sequence is played and the
    // readings saved, incomplete, whatever happens at the end.
    void stopForClosing();
    const OutData& outData() const { return mOutData; }
    void setPushButtonStart(bool running);

signals:
    // The run is over and its end saved (or given up).
    void signalRunOver();
    // The run started, or ended and was saved: the page's title follows.
    void signalStateChanged(ZRunWidget* page);

public slots:
    void slotStartClicked();
    void slotConnectData(const ConnectData& data);
    void slotReactInfo(Machine::REACT_INFO info, char number);
    void slotButtonGroupClicked(int id);
    void slotCellDoubleClicked(int row, int column);
    void slotMethodClicked();
    void slotCustomContextMenuRequested(const QPoint& at);
    void slotTableWidgetCustomContextMenuRequested(const QPoint& at);

private:
    void wireChartsAndTable();
    void showProjectInfo();
    // Shows, from the run's end on, whether the module's stop sequence is still unconfirmed.
    void followStop();
    bool runIsOver() const;
    // Saves the record again after an edit; false (and the operator told) when it failed.
    // Writes the record again when it changed: only where the store allows it (role, signature),
    // with a reason when users are on, and into the audit trail; otherwise the page goes back to
    // the file.
    // reason: why the change was made, when the person already said it; else it is asked.
    bool resave(const QString& reason = QString());
    // Says why the record may not be changed, if it may not.
    bool mayChange();
    // The trail and the index learn of a run saved.
    void recordSaved();
    void showSignatures();
    void showResults(const TempData& results);
    // A choice of the 定量 tab (an excluded standard, the calibrator, references): kept and shown.
    void changeSetup(const RunSetup& setup, const QString& reason);
    void exportAs(ExperimentExport::Format format);
    void replaceMethod();
    void saveMethodAs();
    void replaceReadings();
    // Marks the record with an edit of its readings or method (from the file source), logs,
    // saves and shows it again.
    void recordEdit(const QString& mark, const QString& source);

    Ui::ZRunWidget* ui;
    Machine* mMachine;
    QButtonGroup* mViews;
    InData mInData;
    OutData mOutData;
    QString mFilePath;
    RunRecorder mRecorder{0};
    bool mRunning = false;
    bool mClosing = false;
    bool mStarted = false;
};
