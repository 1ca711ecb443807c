#include "records/ExperimentRef.h"

#include "files/OutData.h"

#include <QFileInfo>

ExperimentRef ExperimentRef::of(const QString& path)
{
    OutData data;
    const bool read = data.openAs(path) == 0;
    return ExperimentRef(QFileInfo(path).completeBaseName(), read ? data.recordId : QString());
}
