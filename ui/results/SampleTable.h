#pragma once

#include <QTableWidget>

class OutData;
class TempData;

// The results per sample and target, as a lab reads them: replicates, positives, Ct mean and SD,
// the call with the internal control, and the replicates' quality flags with their meaning.
class SampleTable : public QTableWidget
{
    Q_OBJECT
public:
    explicit SampleTable(QWidget* parent = nullptr);

    void setOutData(const OutData& data, const TempData& results);
};
