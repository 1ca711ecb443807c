#include "files/SheetTable.h"

#include "files/XlsxReader.h"

#include <QFile>
#include <QFileInfo>
#include <QTextCodec>

namespace SheetTable {

namespace {

constexpr qint64 MaxBytes = 4 * 1024 * 1024; // a sheet of a thousand holes is far below this
constexpr int MaxRows = 10000;
constexpr int MaxColumns = 100; // a stray cell far to the right does not make every row that wide

// The separator the first line uses most outside quotes; a comma when it uses none.
QChar separatorOf(const QString& text)
{
    int counts[3] = {0, 0, 0};
    const QString separators = QStringLiteral(",;\t");
    bool quoted = false;
    for (const QChar c : text) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == '\n' || c == '\r'))
            break;
        else if (!quoted && separators.contains(c))
            ++counts[separators.indexOf(c)];
    }
    int best = 0;
    for (int i = 1; i < 3; ++i)
        if (counts[i] > counts[best])
            best = i;
    return separators[best];
}

bool readWorkbook(const QString& path, QVector<QStringList>& rows, QString& error)
{
    XlsxReader book;
    if (!book.open(path) || book.sheetNames().isEmpty() || !book.readSheet(book.sheetNames().first())) {
        error = QStringLiteral("无法读取工作簿%1").arg(QFileInfo(path).fileName());
        return false;
    }
    if (book.lastRow() > MaxRows) {
        error = QStringLiteral("工作表超过%1行").arg(MaxRows);
        return false;
    }
    for (int r = 1; r <= book.lastRow(); ++r) {
        QStringList cells;
        for (int c = 1; c <= qMin(book.lastColumn(), MaxColumns); ++c)
            cells << book.text(r, c);
        rows << cells;
    }
    return true;
}

}

bool parseCsv(const QByteArray& bytes, QVector<QStringList>& rows, QString& error)
{
    QTextCodec::ConverterState state;
    QString text = QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    if (state.invalidChars > 0) {
        error = QStringLiteral("样本表不是UTF-8编码，请另存为“CSV UTF-8”");
        return false;
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QChar separator = separatorOf(text);
    QVector<QStringList> out;
    QStringList row;
    QString field;
    bool quoted = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                field += text[++i];
            else if (c == '"')
                quoted = false;
            else
                field += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == separator) {
            row << field;
            field.clear();
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            out << (row << field);
            row.clear();
            field.clear();
        } else {
            field += c;
        }
        if (out.size() > MaxRows) {
            error = QStringLiteral("样本表超过%1行").arg(MaxRows);
            return false;
        }
    }
    if (quoted) {
        error = QStringLiteral("第%1行：引号未闭合").arg(out.size() + 1);
        return false;
    }
    if (!field.isEmpty() || !row.isEmpty())
        out << (row << field);
    rows = out;
    return true;
}

bool read(const QString& path, QVector<QStringList>& rows, QString& error)
{
    if (QFileInfo(path).suffix().compare(QLatin1String("xlsx"), Qt::CaseInsensitive) == 0)
        return readWorkbook(path, rows, error);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("无法打开%1").arg(QFileInfo(path).fileName());
        return false;
    }
    if (file.size() > MaxBytes) {
        error = QStringLiteral("样本表大于4 MiB");
        return false;
    }
    return parseCsv(file.readAll(), rows, error);
}

}
