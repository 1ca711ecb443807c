#pragma once

#include "method/RunControls.h"

#include <QWidget>

class OutData;
class QComboBox;
class QListWidget;
class QTableWidget;
class QTableWidgetItem;
struct QuantResult;
class TempData;

// The quantification a person works with: the standards (each can be left out of its curve, with
// the reason asked when it is and shown beside it), every sample's quantity, and fold changes against the calibrator
// and reference targets chosen here. Every choice is handed back as the record's new setup.
class QuantTables : public QWidget
{
    Q_OBJECT
public:
    explicit QuantTables(QWidget* parent = nullptr);

    void setResult(const OutData& data, const TempData& results, const QuantResult& q);
    // Choices are only taken once the run is over.
    void setEditable(bool editable);

    QTableWidget* standards() const { return mStandards; }
    QComboBox* calibrator() const { return mCalibrator; }
    QListWidget* references() const { return mReferences; }

signals:
    // reason: why, when the person already said it (an excluded standard's reason), else empty.
    void setupChanged(const RunSetup& setup, const QString& reason);

private:
    void fillStandards(const QuantResult& q, const TempData& results);
    void standardToggled(QTableWidgetItem* item);
    void emitSetup(const QString& reason = QString());

    QComboBox* mCalibrator;
    QListWidget* mReferences;
    QTableWidget* mStandards;
    QTableWidget* mQuantities;
    QTableWidget* mRelative;
    RunSetup mSetup;
    QVector<int> mStandardCurves; // the curve index of each standards row
    bool mFilling = false;
};
