#include "app/ExperimentName.h"

#include "app/UI.h"
#include "app/ZDir.h"

#include <QDir>
#include <QHash>
#include <QRegularExpression>
#include <QTemporaryFile>

namespace ExperimentName {

namespace {
QHash<QString, int>& openExperiments()
{
    static QHash<QString, int> paths;
    return paths;
}

QString key(const QString& path)
{
    return QFileInfo(path).absoluteFilePath();
}

constexpr int MaxCharacters = 200;
constexpr int MaxFreeNumber = 999;
// A file name holds 255 bytes; the longest file made from a name is a hidden copy with a suffix
// (".NAME.pcrd.partial"), so the name keeps room for 15 more.
constexpr int MaxBytes = 240;

bool isReservedDeviceName(const QString& name)
{
    static const QRegularExpression reserved("^(con|prn|aux|nul|com[1-9]|lpt[1-9])(\\..*)?$",
                                             QRegularExpression::CaseInsensitiveOption);
    return reserved.match(name).hasMatch();
}
}

bool hasForbiddenCharacter(const QString& name)
{
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (const QChar c : name)
        if (forbidden.contains(c))
            return true;
    return false;
}

QString nameFault(const QString& name)
{
    if (isValid(name))
        return QString();
    // A name that only its ends spoil is told so on its own: a blank at either end is easily
    // typed and hard to see.
    int from = 0, to = name.size();
    while (from < to && (name[from].isSpace() || name[from] == '.'))
        ++from;
    while (to > from && (name[to - 1].isSpace() || name[to - 1] == '.'))
        --to;
    const QString core = name.mid(from, to - from);
    return !core.isEmpty() && core != name && isValid(core) ? UI::NameEdges : UI::NameInvalid;
}

bool isValid(const QString& name)
{
    if (name.trimmed().isEmpty() || name.size() > MaxCharacters || name.toUtf8().size() > MaxBytes)
        return false;
    if (hasForbiddenCharacter(name) || isReservedDeviceName(name))
        return false;
    for (const QChar c : name)
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            return false;
    const QChar first = name.front();
    const QChar last = name.back();
    return first != '.' && !first.isSpace() && last != '.' && !last.isSpace();
}

QString saveFault(const QString& folder, const QString& name, bool openByCaller)
{
    const QString fault = nameFault(name);
    if (!fault.isEmpty())
        return fault;
    const QString inUse = inUseFault(folder, name, openByCaller);
    if (!inUse.isEmpty())
        return inUse;
    // Proven by writing: permission bits say little to root, and nothing of a full disk.
    QTemporaryFile probe(QDir(folder).filePath(".write-probe-XXXXXX"));
    if (!ZDir().mkDir(folder) || !probe.open() || probe.write("x", 1) != 1 || !probe.flush())
        return UI::SaveDataFailInfo;
    return QString();
}

QString inUseFault(const QString& folder, const QString& name, bool openByCaller)
{
    const QString path = QDir(folder).filePath(name + ".pcrd");
    if (QFileInfo::exists(path))
        return UI::NameRepeat;
    if (openExperiments().value(key(path)) > (openByCaller ? 1 : 0))
        return UI::NameInUse;
    if (QFileInfo::exists(recoveryCopyPath(path)))
        return UI::NamePending;
    return QString();
}

QString recoveryCopyPath(const QString& experimentPath)
{
    const QFileInfo file(experimentPath);
    return file.dir().filePath("." + file.fileName() + ".partial");
}

void open(const QString& experimentPath)
{
    ++openExperiments()[key(experimentPath)];
}

void close(const QString& experimentPath)
{
    auto it = openExperiments().find(key(experimentPath));
    if (it != openExperiments().end() && --it.value() <= 0)
        openExperiments().erase(it);
}

bool isOpen(const QString& experimentPath)
{
    return openExperiments().contains(key(experimentPath));
}

QString freePath(const QString& path)
{
    const QFileInfo file(path);
    if (!QFileInfo::exists(path))
        return path;
    for (int n = 2; n <= MaxFreeNumber; ++n) {
        const QString candidate = file.dir().filePath(QString("%1-%2.%3").arg(file.completeBaseName()).arg(n).arg(file.suffix()));
        if (!QFileInfo::exists(candidate) && !QFileInfo::exists(recoveryCopyPath(candidate)) && !isOpen(candidate))
            return candidate;
    }
    return QString();
}

}
