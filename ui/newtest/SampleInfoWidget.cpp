#include "ui/newtest/SampleInfoWidget.h"

#include <QComboBox>
#include <QDoubleValidator>
#include <QGridLayout>
#include <QHBoxLayout>
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
    QVector<SampleType> types = getSampleTypes();
    types.resize(qMax(types.size(), sampleCount));
    qDeleteAll(mNameLabels);
    qDeleteAll(mRemarkLabels);
    qDeleteAll(mNameEdits);
    qDeleteAll(mRemarkEdits);
    qDeleteAll(mTypeBoxes);
    qDeleteAll(mQuantityEdits);
    qDeleteAll(mUnitBoxes);
    qDeleteAll(mOthers);
    mNameLabels.clear();
    mRemarkLabels.clear();
    mNameEdits.clear();
    mRemarkEdits.clear();
    mTypeBoxes.clear();
    mQuantityEdits.clear();
    mUnitBoxes.clear();
    mOthers.clear();
    const QString editStyle = "color: rgb(3, 0, 74);border:2px solid rgb(3, 0, 74);border-radius:5px;";
    for (int i = 0; i < sampleCount; ++i) {
        auto* nameLabel = new QLabel(QStringLiteral("样本 %0:").arg(i + 1), this);
        auto* remarkLabel = new QLabel(QStringLiteral("备注 %0:").arg(i + 1), this);
        auto* typeLabel = new QLabel(QStringLiteral("类型 %0:").arg(i + 1), this);
        auto* name = new QLineEdit(this);
        auto* remark = new QLineEdit(this);
        auto* quantity = new QLineEdit(this);
        auto* type = new QComboBox(this);
        auto* unit = new QComboBox(this);
        for (QLineEdit* edit : {name, remark, quantity}) {
            edit->setMinimumHeight(41);
            edit->setStyleSheet(editStyle);
        }
        // Only a standard has a quantity: the field of any other type is shown as not in use.
        quantity->setStyleSheet("QLineEdit{" + editStyle + "} QLineEdit:disabled{color:rgb(160, 160, 160);border-color:rgb(200, 200, 200);}");
        for (const QString& code : RunControls::typeCodes())
            type->addItem(RunControls::typeName(code), code);
        for (const QString& code : RunControls::unitCodes())
            unit->addItem(RunControls::unitName(code), code);
        type->setMinimumHeight(41);
        unit->setMinimumHeight(41);
        // A standard's quantity: above 0 and at most 1e15, as typed ("1e6" too).
        auto* validator = new QDoubleValidator(0, 1e15, 6, quantity);
        validator->setNotation(QDoubleValidator::ScientificNotation);
        validator->setLocale(QLocale::c());
        quantity->setValidator(validator);
        quantity->setPlaceholderText(QStringLiteral("标准品的定量"));
        name->setText(names.value(i));
        remark->setText(remarks.value(i));
        const SampleType t = types.value(i);
        type->setCurrentIndex(qMax(0, type->findData(t.type)));
        if (t.quantity > 0)
            quantity->setText(QString::number(t.quantity, 'g', 10));
        if (!t.unit.isEmpty())
            unit->setCurrentIndex(qMax(0, unit->findData(t.unit)));
        const auto standardOnly = [type, quantity, unit] {
            const bool standard = type->currentData().toString() == QLatin1String("std");
            quantity->setEnabled(standard);
            unit->setEnabled(standard);
        };
        connect(type, QOverload<int>::of(&QComboBox::currentIndexChanged), this, standardOnly);
        standardOnly();
        // Two samples to a row; their types in rows of their own below the names, in the same places.
        const int row = i / 2;
        const int column = i % 2 ? 4 : 0;
        mGrid->addWidget(nameLabel, row, column);
        mGrid->addWidget(name, row, column + 1);
        mGrid->addWidget(remarkLabel, row, column + 2);
        mGrid->addWidget(remark, row, column + 3);
        const int typeRow = (sampleCount + 1) / 2 + row;
        auto* standard = new QWidget(this);
        auto* standardLayout = new QHBoxLayout(standard);
        standardLayout->setContentsMargins(0, 0, 0, 0);
        standardLayout->addWidget(quantity, 1);
        standardLayout->addWidget(unit);
        mGrid->addWidget(typeLabel, typeRow, column);
        mGrid->addWidget(type, typeRow, column + 1);
        mGrid->addWidget(standard, typeRow, column + 2, 1, 2);
        mNameLabels << nameLabel;
        mNameEdits << name;
        mRemarkLabels << remarkLabel;
        mRemarkEdits << remark;
        mTypeBoxes << type;
        mQuantityEdits << quantity;
        mUnitBoxes << unit;
        mOthers << typeLabel << standard;
    }
}

QVector<SampleType> SampleInfoWidget::getSampleTypes() const
{
    QVector<SampleType> types;
    bool any = false;
    for (int i = 0; i < mTypeBoxes.size(); ++i) {
        SampleType t;
        t.type = mTypeBoxes[i]->currentData().toString();
        if (t.type == QLatin1String("std")) {
            t.quantity = QLocale::c().toDouble(mQuantityEdits[i]->text());
            t.unit = mUnitBoxes[i]->currentData().toString();
        }
        any = any || !(t == SampleType());
        types << t;
    }
    return any ? types : QVector<SampleType>();
}

void SampleInfoWidget::setSampleTypes(const QVector<SampleType>& types)
{
    for (int i = 0; i < mTypeBoxes.size(); ++i) {
        const SampleType t = types.value(i);
        mTypeBoxes[i]->setCurrentIndex(qMax(0, mTypeBoxes[i]->findData(t.type)));
        mQuantityEdits[i]->setText(t.quantity > 0 ? QString::number(t.quantity, 'g', 10) : QString());
        if (!t.unit.isEmpty())
            mUnitBoxes[i]->setCurrentIndex(qMax(0, mUnitBoxes[i]->findData(t.unit)));
    }
}

void SampleInfoWidget::setSamples(const QVector<QString>& names, const QVector<QString>& remarks, const QVector<SampleType>& types)
{
    for (int i = 0; i < mNameEdits.size(); ++i) {
        mNameEdits[i]->setText(names.value(i));
        mRemarkEdits[i]->setText(remarks.value(i));
    }
    setSampleTypes(types);
}

QString SampleInfoWidget::typeFault() const
{
    const QVector<SampleType> types = getSampleTypes();
    for (int i = 0; i < types.size(); ++i)
        if (types[i].type == QLatin1String("std") && !(types[i].quantity > 0 && types[i].quantity <= 1e15))
            return QStringLiteral("样本%1是标准品，需要大于0的定量。").arg(i + 1);
    return QString();
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
