#include "records/ExperimentRef.h"

#include "files/OutData.h"
#include "records/Signatures.h"

#include <QFileInfo>

namespace {

ExperimentRef ofFile(const QString& path, const QString& id, const QString& storeId)
{
    ExperimentRef e(QFileInfo(path).completeBaseName(), id, storeId);
    if (id.isEmpty())
        e.fileHash = Signatures::fileHash(path);
    return e;
}

}

ExperimentRef ExperimentRef::of(const QString& path)
{
    OutData data;
    return data.openAs(path) == 0 ? of(path, data) : ofFile(path, QString(), QString());
}

ExperimentRef ExperimentRef::of(const QString& path, const OutData& record)
{
    return ofFile(path, record.recordId, record.storeId);
}
