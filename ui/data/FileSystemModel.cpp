#include "ui/data/FileSystemModel.h"

#include "files/OutData.h"
#include "method/RecordEdits.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileIconProvider>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <numeric>

namespace {
enum Column { Name, Size, State, Date, Columns };
// The window's other events come first: states are read in slices this long.
constexpr int ReadSliceMs = 8;
constexpr int FolderRetryMs = 2000;
}

FileSystemModel::FileSystemModel(QObject* parent, int settleMs)
    : QAbstractTableModel(parent), mSettleMs(settleMs), mIcon(QFileIconProvider().icon(QFileIconProvider::File))
{
    mSettle.setSingleShot(true);
    connect(&mSettle, &QTimer::timeout, this, &FileSystemModel::refresh);
    connect(&mWatcher, &QFileSystemWatcher::directoryChanged, this, [this] { mSettle.start(mSettleMs); });
    // run2 before run10, whatever the case, as a file manager lists them.
    mNames.setNumericMode(true);
    mNames.setCaseSensitivity(Qt::CaseInsensitive);
    mReader.setInterval(0);
    connect(&mReader, &QTimer::timeout, this, &FileSystemModel::readStates);
}

QModelIndex FileSystemModel::setRootPath(const QString& folder)
{
    if (!mFolder.isEmpty())
        mWatcher.removePath(mFolder);
    mFolder = QDir(folder).absolutePath();
    mWatcher.addPath(mFolder);
    beginResetModel();
    mFiles.clear();
    mRowOf.clear();
    mStates.clear();
    mAsked.clear();
    mQueue.clear();
    mReader.stop();
    endResetModel();
    refresh();
    return QModelIndex();
}

void FileSystemModel::setNameFilters(const QStringList& filters)
{
    if (filters == mFilters)
        return;
    mFilters = filters;
    refresh();
}

QString FileSystemModel::filePath(const QModelIndex& index) const
{
    return index.isValid() && index.row() < mFiles.size() ? mFolder + QLatin1Char('/') + mFiles[index.row()].name : QString();
}

bool FileSystemModel::readFolder(QHash<QString, File>& files) const
{
    // Straight from the folder: Qt's file dates are local times, and converting ten thousand of
    // them costs the page a tenth of a second. The clock's own count orders them all the same.
    QVector<QRegularExpression> patterns;
    for (const QString& filter : qAsConst(mFilters))
        patterns << QRegularExpression(QRegularExpression::wildcardToRegularExpression(filter), QRegularExpression::CaseInsensitiveOption);
    std::error_code fault;
    std::filesystem::directory_iterator it(std::filesystem::u8path(mFolder.toStdString()), fault);
    for (const std::filesystem::directory_iterator end; !fault && it != end; it.increment(fault)) {
        std::error_code missing;
        if (!it->is_regular_file(missing))
            continue;
        const QString name = QString::fromStdString(it->path().filename().u8string());
        if (std::none_of(patterns.cbegin(), patterns.cend(), [&name](const QRegularExpression& p) { return p.match(name).hasMatch(); }))
            continue;
        const auto stamp = it->last_write_time(missing).time_since_epoch();
        const auto size = it->file_size(missing);
        // Gone between the listing and the look at it: the next change of the folder says so.
        if (!missing)
            files.insert(name, File{name, qint64(size), qint64(std::chrono::duration_cast<std::chrono::milliseconds>(stamp).count()), QString()});
    }
    return !fault;
}

void FileSystemModel::refresh()
{
    QHash<QString, File> now;
    // A folder that cannot be read (a share gone for a moment) leaves the list as it was, and
    // is looked at again until it can: a folder removed and made again sends no change.
    if (!readFolder(now)) {
        mSettle.start(FolderRetryMs);
        return;
    }
    // A folder made again is followed again.
    if (!mWatcher.directories().contains(mFolder))
        mWatcher.addPath(mFolder);
    QVector<File> kept;
    kept.reserve(mFiles.size());
    for (const File& file : qAsConst(mFiles))
        if (now.contains(file.name))
            kept.append(file);
    for (const File& file : qAsConst(mFiles))
        if (!now.contains(file.name))
            mStates.remove(file.name);
    // A new filter changes most rows: the list is laid out anew. A save or a copy changes a few,
    // which change in place, so that the selection and the scrolled place stay.
    if (mFiles.size() - kept.size() > qMax(100, mFiles.size() / 4)) {
        beginResetModel();
        mFiles = kept;
        endResetModel();
    }
    for (int row = mFiles.size() - 1; row >= 0; --row) {
        if (now.contains(mFiles[row].name))
            continue;
        beginRemoveRows(QModelIndex(), row, row);
        mFiles.remove(row);
        endRemoveRows();
    }
    for (int row = 0; row < mFiles.size(); ++row) {
        const File fresh = now.take(mFiles[row].name);
        if (fresh.size == mFiles[row].size && fresh.modified == mFiles[row].modified)
            continue;
        mFiles[row] = fresh;
        emit dataChanged(index(row, Name), index(row, Columns - 1));
    }
    if (!now.isEmpty()) {
        beginInsertRows(QModelIndex(), mFiles.size(), mFiles.size() + now.size() - 1);
        for (const File& file : qAsConst(now))
            mFiles.append(file);
        endInsertRows();
    }
    placeRows();
}

bool FileSystemModel::before(const File& a, const File& b) const
{
    int order = 0;
    switch (mSortColumn) {
    case Size:
        order = a.size < b.size ? -1 : a.size > b.size;
        break;
    case State:
        order = stateText(a).compare(stateText(b));
        break;
    case Date:
        order = a.modified < b.modified ? -1 : a.modified > b.modified;
        break;
    default:
        break;
    }
    // Ties go by name, and names the collator holds equal (run1, Run1) by their letters: the rows
    // keep one order from one start to the next.
    if (order == 0)
        order = mNames.compare(a.name, b.name);
    return order != 0 ? order < 0 : a.name < b.name;
}

void FileSystemModel::sort(int column, Qt::SortOrder order)
{
    mSortColumn = column;
    mSortOrder = order;
    placeRows();
}

void FileSystemModel::placeRows()
{
    sortRows();
    indexRows();
}

void FileSystemModel::sortRows()
{
    if (mSortColumn < 0 || mFiles.size() < 2)
        return;
    // Sorted by state, the states not read yet are asked for, and the rows placed again once read.
    QVector<int> order(mFiles.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        return mSortOrder == Qt::AscendingOrder ? before(mFiles[a], mFiles[b]) : before(mFiles[b], mFiles[a]);
    });
    if (std::is_sorted(order.cbegin(), order.cend()))
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    QVector<int> rowOf(order.size());
    QVector<File> sorted;
    sorted.reserve(mFiles.size());
    for (int row = 0; row < order.size(); ++row) {
        rowOf[order[row]] = row;
        sorted.append(mFiles[order[row]]);
    }
    mFiles = sorted;
    const QModelIndexList kept = persistentIndexList();
    QModelIndexList moved;
    for (const QModelIndex& old : kept)
        moved << index(rowOf.value(old.row()), old.column());
    changePersistentIndexList(kept, moved);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void FileSystemModel::indexRows()
{
    mRowOf.clear();
    mRowOf.reserve(mFiles.size());
    for (int row = 0; row < mFiles.size(); ++row)
        mRowOf.insert(mFiles[row].name, row);
}

QString FileSystemModel::state(const File& file) const
{
    const auto known = mStates.constFind(file.name);
    if (known != mStates.constEnd() && known->first == file.modified)
        return known->second;
    if (!mAsked.contains(file.name)) {
        mAsked.insert(file.name);
        mQueue.append(file.name);
        mReader.start();
    }
    return QStringLiteral("…");
}

QString FileSystemModel::stateText(const File& file) const
{
    const QString text = state(file);
    return mSigned.contains(QFileInfo(file.name).completeBaseName()) ? text + QStringLiteral("，已签名") : text;
}

void FileSystemModel::readStates()
{
    QElapsedTimer slice;
    slice.start();
    while (!mQueue.isEmpty() && slice.elapsed() < ReadSliceMs) {
        const QString name = mQueue.takeFirst();
        mAsked.remove(name);
        const int r = mRowOf.value(name, -1);
        if (r < 0)
            continue;
        const File* row = &mFiles[r];
        OutData record;
        QString text = QStringLiteral("无法读取");
        if (record.openAs(mFolder + QLatin1Char('/') + name) == 0) {
            text = record.runComplete ? QStringLiteral("完成") : QStringLiteral("未完成");
            if (!RecordEdits::of(record.inData.remark).isEmpty())
                text += QStringLiteral("（已编辑）");
        }
        mStates.insert(name, {row->modified, text});
        emit dataChanged(index(r, State), index(r, State), {Qt::DisplayRole});
    }
    if (!mQueue.isEmpty())
        return;
    mReader.stop();
    // Sorted by state, the rows take their places once every state is known.
    if (mSortColumn == State)
        placeRows();
}

void FileSystemModel::setSigned(const QSet<QString>& names)
{
    if (names == mSigned)
        return;
    mSigned = names;
    if (!mFiles.isEmpty())
        emit dataChanged(index(0, State), index(mFiles.size() - 1, State), {Qt::DisplayRole});
    if (mSortColumn == State)
        placeRows();
}

int FileSystemModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : mFiles.size();
}

int FileSystemModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Columns;
}

QVariant FileSystemModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= mFiles.size())
        return QVariant();
    const File& file = mFiles[index.row()];
    if (role == Qt::DecorationRole && index.column() == Name)
        return mIcon;
    if (role == Qt::TextAlignmentRole && index.column() == Size)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return QVariant();
    switch (index.column()) {
    case Name:
        return file.name;
    case Size:
        return QLocale::system().formattedDataSize(file.size);
    case State:
        return stateText(file);
    default:
        if (file.date.isEmpty())
            file.date = QFileInfo(mFolder + QLatin1Char('/') + file.name).lastModified().toString(QStringLiteral("yyyy-MM-dd hh:mm"));
        return file.date;
    }
}

QVariant FileSystemModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const QStringList titles = {QStringLiteral("名称"), QStringLiteral("大小"), QStringLiteral("状态"), QStringLiteral("日期")};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < titles.size())
        return titles.at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}
