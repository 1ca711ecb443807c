#include "files/Hl7Message.h"

QString Hl7Message::escape(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\': out += QLatin1String("\\E\\"); break;
        case '|': out += QLatin1String("\\F\\"); break;
        case '^': out += QLatin1String("\\S\\"); break;
        case '~': out += QLatin1String("\\R\\"); break;
        case '&': out += QLatin1String("\\T\\"); break;
        case '\r': out += QLatin1String("\\X0D\\"); break;
        case '\n': out += QLatin1String("\\X0A\\"); break;
        default: out += c;
        }
    }
    return out;
}

QString Hl7Message::time(const QDateTime& at)
{
    const int offset = at.offsetFromUtc() / 60;
    return at.toString(QStringLiteral("yyyyMMddHHmmss"))
        + QString::asprintf("%c%02d%02d", offset < 0 ? '-' : '+', qAbs(offset) / 60, qAbs(offset) % 60);
}

void Hl7Message::add(const QString& id, const QVector<Field>& fields)
{
    mText += id == QLatin1String("MSH") ? QStringLiteral("MSH|^~\\&") : id;
    for (const Field& field : fields) {
        QStringList components;
        for (const QString& component : field)
            components << escape(component);
        mText += '|' + components.join('^');
    }
    mText += '\r';
}
