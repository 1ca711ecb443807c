#pragma once

#include "instrument/MachineData.h"
#include "method/InData.h"

#include <QDialog>

namespace Ui {
class NewDialog;
}

class Machine;

// Creates a test in three pages: a free PCR module; the test's name, serial number, remark,
// method file and sample names; the temperature program, which may still be edited. Accepted, it
// hands back the test's inputs and the path of the experiment file the run will write.
class NewDialog : public QDialog
{
    Q_OBJECT
public:
    // machine: whose employed marks tell which modules are free (the program's own by default).
    explicit NewDialog(const MachineData& data, QWidget* parent = nullptr, Machine* machine = nullptr);
    ~NewDialog() override;

    int exec() override;
    InData getMCurrentData() const { return mCurrentData; }
    QString getMFilePath() const;
    void setNewDialogMachineData(const MachineData& data);

public slots:
    void slotNextClicked();
    void slotPreClicked();
    void slotCurrentTextChanged(const QString& text);
    void slotTextNameChanged(const QString& text);
    void slotSaveAsJson();
    void slotExportJson();
    void slotImportSheet();
    void slotSaveSheetTemplate();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void methodDataToUi(const SMethod& method);
    void uiToInData(InData& data);
    void fillMethodList(bool writeCopies);
    // The first check that stops the Next click, as its message; empty when none does.
    QString nextFault() const;

    Ui::NewDialog* ui;
    InData mCurrentData;
    QString mName;
    bool mNameInvalid = false;
    bool mAskedNames = false; // unnamed samples are asked about once
    Machine* mMachine;
};
