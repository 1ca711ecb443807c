#pragma once

#include "method/SMethod.h"

#include <QWidget>

class QGridLayout;
class QLabel;
class QLineEdit;

// The name and remark of every sample, two samples to a row.
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
};
