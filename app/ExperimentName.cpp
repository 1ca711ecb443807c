#include "app/ExperimentName.h"

#include "app/UI.h"
#include "app/ZDir.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryFile>

namespace ExperimentName {

namespace {
constexpr int MaxCharacters = 200;
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

QString saveFault(const QString& folder, const QString& name)
{
    if (!isValid(name))
        return UI::NameInvalid;
    if (QFileInfo::exists(QDir(folder).filePath(name + ".pcrd")))
        return UI::NameRepeat;
    // Proven by writing: permission bits say little to root, and nothing of a full disk.
    QTemporaryFile probe(QDir(folder).filePath(".write-probe-XXXXXX"));
    if (!ZDir().mkDir(folder) || !probe.open() || probe.write("x", 1) != 1 || !probe.flush())
        return UI::SaveDataFailInfo;
    return QString();
}

}
