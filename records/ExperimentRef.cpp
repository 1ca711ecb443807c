#include "records/ExperimentRef.h"

#include "files/OutData.h"

#include <QFileInfo>

ExperimentRef ExperimentRef::of(const QString& path)
{
    OutData data;
    return data.openAs(path) == 0 ? of(path, data) : ExperimentRef(QFileInfo(path).completeBaseName());
}

ExperimentRef ExperimentRef::of(const QString& path, const OutData& record)
{
    return ExperimentRef(QFileInfo(path).completeBaseName(), record.recordId, record.storeId);
}
