#pragma once

#include "method/SMethod.h"

#include <QWidget>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;

// The name, remark and type of every sample, a sample to a row; a standard also has its quantity
// and unit.
class SampleInfoWidget : public QWidget
{
    Q_OBJECT
public:
    explicit SampleInfoWidget(QWidget* parent = nullptr);

    void setMethod(const SMethod& method);
    // Rebuilds the grid for sampleCount samples (the hole count is not used), keeping the names
    // and remarks typed for the samples that remain.
    void restInfo(int holeCount, int sampleCount);
    QVector<QString> getSampleNames() const;
    QVector<QString> getSampleRemarks() const;
    // Empty when every sample is an unknown, so that such a record is stored as before.
    QVector<SampleType> getSampleTypes() const;
    void setSampleTypes(const QVector<SampleType>& types);
    // Every sample's name, remark and type at once (a sample sheet); missing ones are emptied.
    void setSamples(const QVector<QString>& names, const QVector<QString>& remarks, const QVector<SampleType>& types);
    // Why the types cannot be taken (a standard without a quantity), or empty.
    QString typeFault() const;
    QComboBox* typeBox(int sample) const { return mTypeBoxes.value(sample); }
    QLineEdit* quantityEdit(int sample) const { return mQuantityEdits.value(sample); }

    QLineEdit* nameEdit(int sample) const { return mNameEdits.value(sample); }
    // The samples without a name, and the names "样本1", "样本2", ... (by sample number) for them.
    int unnamedCount() const;
    void nameUnnamed();
    QLineEdit* remarkEdit(int sample) const { return mRemarkEdits.value(sample); }

private:
    QGridLayout* mGrid;
    QVector<QLabel*> mNameLabels;
    QVector<QLineEdit*> mNameEdits;
    QVector<QLabel*> mRemarkLabels;
    QVector<QLineEdit*> mRemarkEdits;
    QVector<QComboBox*> mTypeBoxes;
    QVector<QLineEdit*> mQuantityEdits;
    QVector<QComboBox*> mUnitBoxes;
    QVector<QWidget*> mOthers; // the rows' other labels
};
