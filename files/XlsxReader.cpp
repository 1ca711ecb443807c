#include "files/XlsxReader.h"

#include "files/ZipArchive.h"

#include <QXmlStreamReader>
#include <cmath>

namespace {

// A report's sheet is a few megabytes; a hostile archive could inflate to anything. Beyond these
// bounds a workbook is refused rather than read into memory.
constexpr qint64 MaxPartBytes = 64 * 1024 * 1024;
constexpr int MaxCells = 1 << 20;

// Text of an <si> or <is> element: every <t> inside, rich-text runs included, phonetic runs not.
QString readStringItem(QXmlStreamReader& xml)
{
    const QString end = xml.name().toString();
    QString text;
    int phonetic = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("rPh"))
            ++phonetic;
        else if (xml.isEndElement() && xml.name() == QLatin1String("rPh"))
            --phonetic;
        else if (xml.isStartElement() && xml.name() == QLatin1String("t") && phonetic == 0)
            text += xml.readElementText();
        else if (xml.isEndElement() && xml.name() == end)
            break;
    }
    return text;
}

QString resolveTarget(const QString& target)
{
    if (target.startsWith('/'))
        return target.mid(1);
    return target.startsWith("xl/") ? target : "xl/" + target;
}

}

bool XlsxReader::parseReference(const QString& reference, int& row, int& column)
{
    int i = 0;
    qint64 col = 0;
    while (i < reference.size() && reference[i].isLetter() && col <= 16384) {
        col = col * 26 + (reference[i].toUpper().unicode() - 'A' + 1);
        ++i;
    }
    bool ok = false;
    const int r = reference.mid(i).toInt(&ok);
    if (i == 0 || !ok || r < 1 || col < 1 || col > 16384)
        return false;
    row = r;
    column = int(col);
    return true;
}

bool XlsxReader::open(const QString& path)
{
    mPath = path;
    mSheetNames.clear();
    mSheetFiles.clear();
    mSharedStrings.clear();
    mCells.clear();
    ZipArchive zip(path);
    if (!zip.isOpen())
        return false;

    QHash<QString, QString> targets; // relationship id -> part
    QXmlStreamReader rels(zip.read("xl/_rels/workbook.xml.rels", MaxPartBytes));
    while (!rels.atEnd()) {
        rels.readNext();
        if (rels.isStartElement() && rels.name() == QLatin1String("Relationship"))
            targets.insert(rels.attributes().value("Id").toString(), resolveTarget(rels.attributes().value("Target").toString()));
    }
    QXmlStreamReader book(zip.read("xl/workbook.xml", MaxPartBytes));
    while (!book.atEnd()) {
        book.readNext();
        if (book.isStartElement() && book.name() == QLatin1String("sheet")) {
            const QString name = book.attributes().value("name").toString();
            QString id;
            for (const QXmlStreamAttribute& a : book.attributes())
                if (a.name() == QLatin1String("id"))
                    id = a.value().toString();
            mSheetNames.append(name);
            mSheetFiles.insert(name, targets.value(id));
        }
    }
    if (book.hasError() || mSheetNames.isEmpty())
        return false;
    return readSharedStrings(zip);
}

bool XlsxReader::readSharedStrings(ZipArchive& zip)
{
    bool tooLarge = false;
    const QByteArray bytes = zip.read("xl/sharedStrings.xml", MaxPartBytes, &tooLarge);
    if (bytes.isEmpty())
        return !tooLarge; // a workbook without text has no shared strings
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("si")) {
            if (mSharedStrings.size() >= MaxCells)
                return false;
            mSharedStrings.append(readStringItem(xml));
        }
    }
    return !xml.hasError();
}

bool XlsxReader::readSheet(const QString& name)
{
    mCells.clear();
    mLastRow = mLastColumn = 0;
    if (!mSheetFiles.contains(name))
        return false;
    ZipArchive zip(mPath);
    bool tooLarge = false;
    QXmlStreamReader xml(zip.read(mSheetFiles.value(name), MaxPartBytes, &tooLarge));
    if (tooLarge)
        return false;
    int row = 0, column = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("row")) {
            bool ok = false;
            const int r = xml.attributes().value("r").toInt(&ok);
            row = ok ? r : row + 1;
            column = 0;
        } else if (xml.name() == QLatin1String("c")) {
            if (mCells.size() >= MaxCells) {
                mCells.clear();
                return false;
            }
            const QString reference = xml.attributes().value("r").toString();
            if (!parseReference(reference, row, column))
                ++column;
            const QString type = xml.attributes().value("t").toString();
            Cell cell;
            while (!xml.atEnd()) {
                xml.readNext();
                if (xml.isStartElement() && xml.name() == QLatin1String("v"))
                    cell.text = xml.readElementText();
                else if (xml.isStartElement() && xml.name() == QLatin1String("is"))
                    cell.text = readStringItem(xml);
                else if (xml.isEndElement() && xml.name() == QLatin1String("c"))
                    break;
            }
            if (type == QLatin1String("s")) {
                cell.text = mSharedStrings.value(cell.text.toInt());
            } else if (type.isEmpty() || type == QLatin1String("n")) {
                // "nan" and "inf" parse as numbers, but no reading is one.
                cell.numeric = std::isfinite(cell.text.toDouble(&cell.numeric)) && cell.numeric;
            }
            mCells.insert(key(row, column), cell);
            mLastRow = qMax(mLastRow, row);
            mLastColumn = qMax(mLastColumn, column);
        }
    }
    return !xml.hasError();
}

QString XlsxReader::text(int row, int column) const
{
    return mCells.value(key(row, column)).text;
}

bool XlsxReader::isNumber(int row, int column) const
{
    return mCells.value(key(row, column)).numeric;
}

double XlsxReader::number(int row, int column) const
{
    const Cell cell = mCells.value(key(row, column));
    return cell.numeric ? cell.text.toDouble() : 0.0;
}
