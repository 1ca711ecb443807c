#pragma once

#include <QDialog>

namespace Ui {
class TrendDialog;
}

// 质控趋势: a control's Ct over the indexed runs as a Levey–Jennings chart, its mean and SD from
// the first runs or a baseline period the lab fixes, and the runs that break a Westgard rule.
class TrendDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TrendDialog(QWidget* parent = nullptr);
    ~TrendDialog() override;

private:
    void showTrend();

    Ui::TrendDialog* ui;
};
