#include "ui/data/FileSystemModel.h"

FileSystemModel::FileSystemModel(QObject* parent) : QFileSystemModel(parent)
{
    setFilter(QDir::Files);
    setNameFilters({"*.pcrd"});
    setNameFilterDisables(false);
}

QVariant FileSystemModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const QStringList titles = {QStringLiteral("名称"), QStringLiteral("大小"), QStringLiteral("类型"), QStringLiteral("日期")};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < titles.size())
        return titles.at(section);
    return QFileSystemModel::headerData(section, orientation, role);
}
