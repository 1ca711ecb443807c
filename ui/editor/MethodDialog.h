#pragma once

#include "method/SMethod.h"

#include <QDialog>

class QRadioButton;

namespace Ui {
class MethodDialog;
}

// Edits the method of one experiment: names, validity, chip layout and temperature program; the
// instrument's fixed values (26 holes, FAM and ROX, 3.5 degC/s ramps) are filled in on saving.
// Nothing is written to disk: the run page takes the edited method.
class MethodDialog : public QDialog
{
    Q_OBJECT
public:
    explicit MethodDialog(QWidget* parent = nullptr);
    ~MethodDialog() override;

    void setMethod(const SMethod& method);
    SMethod getMMethod() const { return mMethod; }
    // Shows the method without a way to change it (the method of a test that is running).
    void setReadOnly();

public slots:
    void slotSaveAsJson();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    // The layout buttons in the order of the chip layouts.
    QVector<QRadioButton*> layoutButtons() const;

    Ui::MethodDialog* ui;
    SMethod mMethod;
};
