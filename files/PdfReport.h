#pragma once

#include <QDateTime>
#include <QString>
#include <QVector>

class OutData;

// What a printed report says beyond the record: the lab, who ran it, and who signed it.
struct ReportFacts
{
    struct Signer
    {
        QString name;
        QString meaning;
        QDateTime at;
        QString fileHash;
    };

    QString header;       // the lab's line on top of every report
    QString experiment;   // its name
    QString operatorName; // who started the run; empty when not known
    QVector<Signer> signatures;
    QString warning;      // said in red under the signatures (a file changed after signing)
    QString records;      // the store the signatures are kept in and the trail's head, under them
};

// The experiment as a printed report (PDF): the run's facts, amplification and melt charts as
// vector graphics, the sample and hole results with their calls and QC marks, the quantification
// where the run has standards or fold changes, and the signatures.
namespace PdfReport {

// Empty on success, otherwise why the file was not written.
QString write(const OutData& data, const ReportFacts& facts, const QString& path);

}
