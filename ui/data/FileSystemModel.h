#pragma once

#include <QFileSystemModel>

// The experiment folder as the data page lists it: experiment files only, others hidden.
class FileSystemModel : public QFileSystemModel
{
    Q_OBJECT
public:
    explicit FileSystemModel(QObject* parent = nullptr);

    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Dates as the operator reads them ("2026-12-07 19:32"), whatever the system's locale.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
};
