#pragma once

#include "records/ResultIndex.h"

#include <QDialog>

namespace Ui {
class SearchDialog;
}

// Asks what to find experiments by: a part of a sample name, a target, a call, run dates, who made
// them and whether they are signed. An empty field is no criterion.
class SearchDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SearchDialog(const ResultIndex::Query& last, QWidget* parent = nullptr);
    ~SearchDialog() override;

    ResultIndex::Query query() const;

private:
    Ui::SearchDialog* ui;
};
