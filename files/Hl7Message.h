#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

// An HL7 version 2 message as the standard lays it out: segments of fields separated by "|",
// components by "^", each segment ended by a carriage return, the text in UTF-8. Every component
// is escaped, so that a name holding a delimiter stays one value on the receiving side.
class Hl7Message
{
public:
    // A field's components, first to last; an empty list is an empty field.
    using Field = QStringList;

    // "\" "|" "^" "~" "&" as \E\ \F\ \S\ \R\ \T\; line breaks, which would end the segment, as
    // their hexadecimal escapes.
    static QString escape(const QString& text);
    // A time as HL7 writes it: YYYYMMDDHHMMSS and the offset from UTC (+0800).
    static QString time(const QDateTime& at);

    // Appends a segment of its fields from the first; for "MSH", from MSH-3, the separators
    // being written by the message itself.
    void add(const QString& id, const QVector<Field>& fields);
    QByteArray bytes() const { return mText.toUtf8(); }

private:
    QString mText;
};
