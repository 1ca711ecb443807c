#include "files/ExperimentExport.h"

#include "files/CsvExport.h"
#include "files/ExcelControl.h"
#include "files/RdmlExport.h"

#include <QFileInfo>

namespace ExperimentExport {

bool formatOf(const QString& path, Format& format)
{
    const QString s = QFileInfo(path).suffix().toLower();
    for (Format f : {Format::Excel, Format::Rdml, Format::Csv})
        if (s == suffix(f)) {
            format = f;
            return true;
        }
    return false;
}

QString suffix(Format format)
{
    switch (format) {
    case Format::Excel:
        return QStringLiteral("xlsx");
    case Format::Rdml:
        return QStringLiteral("rdml");
    case Format::Csv:
        break;
    }
    return QStringLiteral("csv");
}

bool write(const OutData& data, Format format, const QString& path, const QString& runId, bool melt,
           const QVector<QStringList>& records)
{
    switch (format) {
    case Format::Excel:
        return ExcelControl().saveAsExcel(data, path, records);
    case Format::Rdml:
        return RdmlExport::save(data, runId, path);
    case Format::Csv:
        break;
    }
    return CsvExport::save(data, melt, path, records);
}

}
