#include "ui/data/FileSystemModel.h"

#include "files/OutData.h"
#include "method/RecordEdits.h"

FileSystemModel::FileSystemModel(QObject* parent) : QFileSystemModel(parent)
{
    setFilter(QDir::Files);
    setNameFilters({"*.pcrd"});
    setNameFilterDisables(false);
}

QString FileSystemModel::state(const QModelIndex& index) const
{
    const QString path = filePath(index);
    const QDateTime modified = lastModified(index);
    const auto known = mStates.constFind(path);
    if (known != mStates.constEnd() && known->first == modified)
        return known->second;
    OutData record;
    QString text = QStringLiteral("无法读取");
    if (record.openAs(path) == 0) {
        text = record.runComplete ? QStringLiteral("完成") : QStringLiteral("未完成");
        if (!RecordEdits::of(record.inData.remark).isEmpty())
            text += QStringLiteral("（已编辑）");
    }
    mStates.insert(path, {modified, text});
    return text;
}

void FileSystemModel::setSigned(const QSet<QString>& names)
{
    if (names == mSigned)
        return;
    emit layoutAboutToBeChanged();
    mSigned = names;
    emit layoutChanged();
}

QVariant FileSystemModel::data(const QModelIndex& index, int role) const
{
    if (index.column() == 2 && role == Qt::DisplayRole)
        return mSigned.contains(fileInfo(index).completeBaseName()) ? state(index) + QStringLiteral("，已签名") : state(index);
    if (index.column() == 3 && role == Qt::DisplayRole)
        return lastModified(index).toString(QStringLiteral("yyyy-MM-dd hh:mm"));
    return QFileSystemModel::data(index, role);
}

QVariant FileSystemModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const QStringList titles = {QStringLiteral("名称"), QStringLiteral("大小"), QStringLiteral("状态"), QStringLiteral("日期")};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < titles.size())
        return titles.at(section);
    return QFileSystemModel::headerData(section, orientation, role);
}
