#pragma once

#include <QDateTime>
#include <QFileSystemModel>
#include <QHash>
#include <QSet>

// The experiment folder as the data page lists it: experiment files only, others hidden, each with
// its state (complete or not, edited after the run) where other folders show a file type.
class FileSystemModel : public QFileSystemModel
{
    Q_OBJECT
public:
    explicit FileSystemModel(QObject* parent = nullptr);

    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Dates as the operator reads them ("2026-12-07 19:32"), whatever the system's locale.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // The experiments signed and therefore locked (by name), said in their state.
    void setSigned(const QSet<QString>& names);

private:
    QString state(const QModelIndex& index) const;

    QSet<QString> mSigned;

    // Read once per file version: only the rows a person sees are ever asked for.
    mutable QHash<QString, QPair<QDateTime, QString>> mStates;
};
