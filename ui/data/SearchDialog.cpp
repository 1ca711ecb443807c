#include "ui/data/SearchDialog.h"

#include "analysis/SampleResults.h"
#include "ui_SearchDialog.h"

SearchDialog::SearchDialog(const ResultIndex::Query& last, QWidget* parent) : QDialog(parent), ui(new Ui::SearchDialog)
{
    ui->setupUi(this);
    ui->comboBox_Call->addItem(QStringLiteral("全部"), QString());
    for (const QString& call : {QStringLiteral("阳性"), QStringLiteral("阴性"), SampleResults::invalid()})
        ui->comboBox_Call->addItem(call, call);
    ui->comboBox_Signed->addItem(QStringLiteral("全部"), -1);
    ui->comboBox_Signed->addItem(QStringLiteral("已签名"), 1);
    ui->comboBox_Signed->addItem(QStringLiteral("未签名"), 0);
    ui->lineEdit_Sample->setText(last.sample);
    ui->lineEdit_Target->setText(last.target);
    ui->lineEdit_Operator->setText(last.madeBy);
    ui->comboBox_Call->setCurrentIndex(qMax(0, ui->comboBox_Call->findData(last.call)));
    ui->comboBox_Signed->setCurrentIndex(qMax(0, ui->comboBox_Signed->findData(last.signedState)));
    const bool dated = last.from.isValid();
    ui->checkBox_Dates->setChecked(dated);
    ui->dateEdit_From->setDate(dated ? last.from : QDate::currentDate().addMonths(-1));
    ui->dateEdit_To->setDate(dated ? last.to : QDate::currentDate());
    const auto datesOn = [this](bool on) {
        ui->dateEdit_From->setEnabled(on);
        ui->dateEdit_To->setEnabled(on);
    };
    datesOn(dated);
    connect(ui->checkBox_Dates, &QCheckBox::toggled, this, datesOn);
    connect(ui->pushButton_Confirm, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->pushButton_Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

SearchDialog::~SearchDialog()
{
    delete ui;
}

ResultIndex::Query SearchDialog::query() const
{
    ResultIndex::Query q;
    q.sample = ui->lineEdit_Sample->text().trimmed();
    q.target = ui->lineEdit_Target->text().trimmed();
    q.madeBy = ui->lineEdit_Operator->text().trimmed();
    q.call = ui->comboBox_Call->currentData().toString();
    q.signedState = ui->comboBox_Signed->currentData().toInt();
    if (ui->checkBox_Dates->isChecked()) {
        q.from = ui->dateEdit_From->date();
        q.to = ui->dateEdit_To->date();
    }
    return q;
}
