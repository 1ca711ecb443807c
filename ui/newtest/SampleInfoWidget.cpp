#include "ui/newtest/SampleInfoWidget.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

SampleInfoWidget::SampleInfoWidget(QWidget* parent) : QWidget(parent), mGrid(new QGridLayout(this))
{
    mGrid->setHorizontalSpacing(10);
    mGrid->setVerticalSpacing(8);
    mGrid->setAlignment(Qt::AlignTop);
}

void SampleInfoWidget::setMethod(const SMethod& method)
{
    restInfo(method.Hole, method.countsInRange() ? method.SampleNumber : 0);
}

void SampleInfoWidget::restInfo(int, int sampleCount)
{
    // What was typed stays for the samples the new method also has.
    const QVector<QString> names = getSampleNames();
    const QVector<QString> remarks = getSampleRemarks();
    for (auto* list : {&mNameLabels, &mRemarkLabels}) {
        qDeleteAll(*list);
        list->clear();
    }
    for (auto* list : {&mNameEdits, &mRemarkEdits}) {
        qDeleteAll(*list);
        list->clear();
    }
    const QString editStyle = "color: rgb(3, 0, 74);border:2px solid rgb(3, 0, 74);border-radius:5px;";
    for (int i = 0; i < sampleCount; ++i) {
        auto* nameLabel = new QLabel(QStringLiteral("样本 %0:").arg(i + 1), this);
        auto* remarkLabel = new QLabel(QStringLiteral("备注 %0:").arg(i + 1), this);
        auto* name = new QLineEdit(this);
        auto* remark = new QLineEdit(this);
        for (QLineEdit* edit : {name, remark}) {
            edit->setMinimumHeight(41);
            edit->setStyleSheet(editStyle);
        }
        name->setText(names.value(i));
        remark->setText(remarks.value(i));
        const int row = i / 2;
        const int column = i % 2 ? 4 : 0;
        mGrid->addWidget(nameLabel, row, column);
        mGrid->addWidget(name, row, column + 1);
        mGrid->addWidget(remarkLabel, row, column + 2);
        mGrid->addWidget(remark, row, column + 3);
        mNameLabels << nameLabel;
        mNameEdits << name;
        mRemarkLabels << remarkLabel;
        mRemarkEdits << remark;
    }
}

int SampleInfoWidget::unnamedCount() const
{
    int count = 0;
    for (const QLineEdit* edit : mNameEdits)
        count += edit->text().trimmed().isEmpty() ? 1 : 0;
    return count;
}

void SampleInfoWidget::nameUnnamed()
{
    for (int i = 0; i < mNameEdits.size(); ++i)
        if (mNameEdits[i]->text().trimmed().isEmpty())
            mNameEdits[i]->setText(QStringLiteral("样本%0").arg(i + 1));
}

QVector<QString> SampleInfoWidget::getSampleNames() const
{
    QVector<QString> names;
    for (const QLineEdit* edit : mNameEdits)
        names << edit->text();
    return names;
}

QVector<QString> SampleInfoWidget::getSampleRemarks() const
{
    QVector<QString> remarks;
    for (const QLineEdit* edit : mRemarkEdits)
        remarks << edit->text();
    return remarks;
}
