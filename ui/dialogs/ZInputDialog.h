#pragma once

#include <QDialog>
#include <QVariant>

namespace Ui {
class ZInputDialog;
}

// Asks for a whole number from 0 to 100. The value stays the one given at construction until
// "确认", so a caller may read getMValue() whatever exec() returned.
class ZInputDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ZInputDialog(QVariant value, QWidget* parent = nullptr);
    ~ZInputDialog() override;

    QVariant getMValue() const { return mValue; }

public slots:
    void slotConfirmClicked();

private:
    Ui::ZInputDialog* ui;
    QVariant mValue;
};
