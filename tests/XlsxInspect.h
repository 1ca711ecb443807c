#pragma once

#include "files/ZipArchive.h"

#include <QRegularExpression>
#include <QStringList>
#include <QXmlStreamReader>

// Looks into a written workbook's XML parts directly, independently of the program's reader:
// merge ranges, cell types and font colours.
namespace XlsxInspect {

inline QByteArray part(const QString& path, const QString& name)
{
    return ZipArchive(path).read(name, 64 * 1024 * 1024);
}

inline QStringList mergeRanges(const QString& path, const QString& sheetPart)
{
    QStringList ranges;
    QXmlStreamReader xml(part(path, sheetPart));
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("mergeCell"))
            ranges << xml.attributes().value("ref").toString();
    return ranges;
}

// The attribute of one cell element ("t" for its type, "s" for its style).
inline QString cellAttribute(const QString& path, const QString& sheetPart, const QString& ref, const QString& attribute)
{
    QXmlStreamReader xml(part(path, sheetPart));
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("c")
            && xml.attributes().value("r") == ref)
            return xml.attributes().value(attribute).toString();
    return QString();
}

// The font colour ("FFFF0000") of a cell, through its style's font; empty for the default font.
inline QString fontColor(const QString& path, const QString& sheetPart, const QString& ref)
{
    const int style = cellAttribute(path, sheetPart, ref, "s").toInt();
    QStringList fontColors;
    QList<int> xfFonts;
    QXmlStreamReader xml(part(path, "xl/styles.xml"));
    bool inFonts = false, inXfs = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("fonts"))
                inFonts = true;
            else if (xml.name() == QLatin1String("cellXfs"))
                inXfs = true;
            else if (inFonts && xml.name() == QLatin1String("font"))
                fontColors << QString();
            else if (inFonts && xml.name() == QLatin1String("color") && !fontColors.isEmpty())
                fontColors.last() = xml.attributes().value("rgb").toString();
            else if (inXfs && xml.name() == QLatin1String("xf"))
                xfFonts << xml.attributes().value("fontId").toInt();
        } else if (xml.isEndElement()) {
            if (xml.name() == QLatin1String("fonts"))
                inFonts = false;
            else if (xml.name() == QLatin1String("cellXfs"))
                inXfs = false;
        }
    }
    return fontColors.value(xfFonts.value(style));
}

}
