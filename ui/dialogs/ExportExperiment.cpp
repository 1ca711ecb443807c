#include "ui/dialogs/ExportExperiment.h"

#include "app/UI.h"
#include "ui/dialogs/SavePath.h"
#include "ui/dialogs/ZMessageBox.h"

#include <QDir>

QString exportExperiment(QWidget* parent, const OutData& data, ExperimentExport::Format format, const QString& proposedBase,
                      const QString& runId, const QVector<QStringList>& records)
{
    using ExperimentExport::Format;
    const QString title = format == Format::Excel ? UI::ExcelExport : format == Format::Rdml ? UI::RdmlExport : UI::CsvExport;
    const QString path = askSavePath(parent, title, proposedBase, ExperimentExport::suffix(format));
    if (path.isEmpty())
        return QString();
    // A file that could not be written must not pass for one that was.
    const bool written = ExperimentExport::write(data, format, path, runId, false, records);
    ZMessageBox::tell(parent, written ? UI::FileWritten.arg(QDir::toNativeSeparators(path)) : UI::ExportError.arg(path));
    return written ? path : QString();
}
