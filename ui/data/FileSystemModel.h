#pragma once

#include <QAbstractTableModel>
#include <QCollator>
#include <QDateTime>
#include <QFileSystemWatcher>
#include <QHash>
#include <QIcon>
#include <QSet>
#include <QStringList>
#include <QTimer>
#include <QVector>

// The experiment folder as the data page lists it: experiment files only, each with its size, its
// state (complete or not, edited after the run, signed) and its date. A lab's year is ten thousand
// files: the folder is read in one go and sorted here, and a file is opened for its state only
// once its row is on show, a few at a time between the window's other events.
class FileSystemModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit FileSystemModel(QObject* parent = nullptr, int settleMs = 100);

    // Lists folder and follows its changes; the list's root is the invalid index.
    QModelIndex setRootPath(const QString& folder);
    QString rootPath() const { return mFolder; }
    // Only files matching one of these wildcards (case aside) are listed.
    void setNameFilters(const QStringList& filters);
    QString filePath(const QModelIndex& index) const;
    // The experiments signed and therefore locked (by name), said in their state.
    void setSigned(const QSet<QString>& names);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Dates as the operator reads them ("2026-12-07 19:32"), whatever the system's locale.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    struct File {
        QString name;
        qint64 size = 0;
        qint64 modified = 0; // the file system clock's count: for order and change, not to be shown
        mutable QString date; // as shown, once asked for
    };
    // The folder's files that pass the filters; false when it cannot be read.
    bool readFolder(QHash<QString, File>& files) const;
    // Reads the folder again and brings the rows in line with it, keeping the rows that stayed.
    void refresh();
    // Sorts, then knows each file's row again.
    void placeRows();
    void sortRows();
    void indexRows();
    bool before(const File& a, const File& b) const;
    QString state(const File& file) const;
    // The state as shown: with 已签名 where the experiment is signed.
    QString stateText(const File& file) const;
    // Reads the states asked for meanwhile, for a few milliseconds at a time.
    void readStates();

    QString mFolder;
    QStringList mFilters{QStringLiteral("*.pcrd")};
    QVector<File> mFiles;
    QHash<QString, int> mRowOf;
    QSet<QString> mSigned;
    int mSortColumn = -1;
    Qt::SortOrder mSortOrder = Qt::AscendingOrder;
    QFileSystemWatcher mWatcher;
    // A save or a copy changes the folder many times in a moment: read once it has settled.
    QTimer mSettle;
    int mSettleMs;
    QIcon mIcon;
    QCollator mNames;

    // Read once per file version; until then the row says it is being read.
    mutable QHash<QString, QPair<qint64, QString>> mStates;
    mutable QSet<QString> mAsked;
    mutable QStringList mQueue;
    mutable QTimer mReader;
};
