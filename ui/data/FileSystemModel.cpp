#include "ui/data/FileSystemModel.h"

#include <QDateTime>

FileSystemModel::FileSystemModel(QObject* parent) : QFileSystemModel(parent)
{
    setFilter(QDir::Files);
    setNameFilters({"*.pcrd"});
    setNameFilterDisables(false);
}

QVariant FileSystemModel::data(const QModelIndex& index, int role) const
{
    if (index.column() == 3 && role == Qt::DisplayRole)
        return lastModified(index).toString(QStringLiteral("yyyy-MM-dd hh:mm"));
    return QFileSystemModel::data(index, role);
}

QVariant FileSystemModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const QStringList titles = {QStringLiteral("名称"), QStringLiteral("大小"), QStringLiteral("类型"), QStringLiteral("日期")};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < titles.size())
        return titles.at(section);
    return QFileSystemModel::headerData(section, orientation, role);
}
