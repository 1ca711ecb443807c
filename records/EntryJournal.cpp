#include "records/EntryJournal.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>

EntryJournal::EntryJournal(const QString& file)
    : mFile(file)
{
}

bool EntryJournal::keep(AuditEntry entry)
{
    entry.doneAt = QDateTime::currentDateTimeUtc();
    const bool made = !QFileInfo::exists(mFile);
    QFile file(mFile);
    if (!file.open(QIODevice::Append))
        return false;
    if (made)
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QByteArray line = QJsonDocument(entry.toJson()).toJson(QJsonDocument::Compact) + '\n';
    return file.write(line) == line.size() && file.flush();
}

bool EntryJournal::isEmpty() const
{
    return QFileInfo(mFile).size() == 0;
}

bool EntryJournal::flushTo(AuditTrail& trail)
{
    if (isEmpty())
        return true;
    QFile file(mFile);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QList<QByteArray> lines = file.readAll().split('\n');
    file.close();
    lines.removeAll(QByteArray());
    int taken = 0;
    // Every line goes in as recorded late, whatever it says of itself: the journal is a file on
    // this machine, and its lines are no entry the store witnessed.
    const auto late = [](AuditEntry e) {
        if (!e.doneAt.isValid())
            e.doneAt = QDateTime::currentDateTimeUtc();
        return e;
    };
    while (taken < lines.size() && trail.append(late(AuditEntry::fromJson(QJsonDocument::fromJson(lines[taken]).object()))))
        ++taken;
    // What the trail did not take is written back whole, never half.
    QSaveFile rest(mFile);
    if (!rest.open(QIODevice::WriteOnly))
        return false;
    for (int i = taken; i < lines.size(); ++i)
        rest.write(lines[i] + '\n');
    return rest.flush() && rest.commit() && taken == lines.size();
}
