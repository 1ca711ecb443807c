#pragma once

#include <QDialog>
#include <QVariant>

namespace Ui {
class InputTextDialog;
}

// Asks for the new name of an experiment file; the field shows the name without ".pcrd".
class InputTextDialog : public QDialog
{
    Q_OBJECT
public:
    InputTextDialog(const QVariant& value, QWidget* parent = nullptr);
    ~InputTextDialog() override;

    QVariant getVariant() const;

private:
    Ui::InputTextDialog* ui;
};
