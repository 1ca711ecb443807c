#pragma once

#include <QFileSystemModel>

// The experiment folder as the data page lists it: experiment files only, others hidden.
class FileSystemModel : public QFileSystemModel
{
    Q_OBJECT
public:
    explicit FileSystemModel(QObject* parent = nullptr);

    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
};
