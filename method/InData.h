#pragma once

#include "method/RunControls.h"
#include "method/SMethod.h"

#include <QDateTime>

// What the operator entered for one test, with the method it runs.
struct InData
{
    int pcrNumber = 0; // PCR module 1 to 4
    QString serialNumber;
    QVector<QString> sampleNames;
    QVector<QString> sampleRemarks;
    QString remark;
    QDateTime dateTime;
    SMethod method;
    // Kept after the stream form's fields (the record's trailing block), so older files read as
    // runs of unknowns.
    RunSetup setup;

    bool operator==(const InData& o) const;
    // Adds what the program has to say of the run (why it is incomplete) after the operator's remark.
    void appendRemark(const QString& note);
};

QDataStream& operator<<(QDataStream& s, const InData& d);
QDataStream& operator>>(QDataStream& s, InData& d);
