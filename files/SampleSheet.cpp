#include "files/SampleSheet.h"

#include "files/SheetTable.h"
#include "method/RecordLimits.h"
#include "method/SMethod.h"

#include <QHash>
#include <QMap>

#include <algorithm>
#include <cmath>

namespace {

enum Column { Hole, Name, Type, Quantity, Unit, Remark, Columns };

constexpr int MaxText = 200;

// Each column by the names a lab may give it, Chinese or English, the first written in a template.
const QVector<QStringList>& headerNames()
{
    static const QVector<QStringList> names = {
        {QStringLiteral("孔位"), "hole"},
        {QStringLiteral("样本名"), "sample", "name"},
        {QStringLiteral("类型"), "type"},
        {QStringLiteral("定量"), "quantity"},
        {QStringLiteral("单位"), "unit"},
        {QStringLiteral("备注"), "remark"},
    };
    return names;
}

// A code or the name a person reads, whatever its case; empty when it is neither.
QString codeOf(const QString& text, const QStringList& codes, QString (*nameOf)(const QString&))
{
    for (const QString& code : codes)
        if (text.compare(code, Qt::CaseInsensitive) == 0 || text == nameOf(code))
            return code;
    return QString();
}

// The sample each running number belongs to; a hole listed twice keeps its first sample.
QHash<int, int> samplesByNumber(const SMethod& method)
{
    const QMap<int, int> numbers = method.runningNumbers();
    QHash<int, int> samples;
    for (auto it = method.sampleHoleMap.cbegin(); it != method.sampleHoleMap.cend(); ++it)
        for (int hole : it.value())
            if (it.key() >= 0 && it.key() < method.SampleNumber && numbers.contains(hole) && !samples.contains(numbers[hole]))
                samples.insert(numbers[hole], it.key());
    return samples;
}

// Where each column stands in the header; false with the reason when it lacks what is needed.
bool columnsOf(const QStringList& header, QVector<int>& at, QString& error)
{
    at = QVector<int>(Columns, -1);
    for (int c = 0; c < header.size(); ++c)
        for (int k = 0; k < Columns; ++k) {
            if (!headerNames()[k].contains(header[c].trimmed(), Qt::CaseInsensitive))
                continue;
            if (at[k] >= 0) {
                error = QStringLiteral("第1行：“%1”列出现两次").arg(headerNames()[k].first());
                return false;
            }
            at[k] = c;
        }
    if (at[Hole] >= 0 && (at[Name] >= 0 || at[Type] >= 0))
        return true;
    error = QStringLiteral("第1行：表头需要“孔位”列和“样本名”或“类型”列");
    return false;
}

// A row's sample as it stands, without its hole; empty, or why the row cannot be taken.
QString sampleOf(const QStringList& cells, QString& name, QString& remark, SampleType& type)
{
    name = cells[Name];
    remark = cells[Remark];
    if (name.size() > MaxText || remark.size() > MaxText)
        return QStringLiteral("样本名或备注超过%1个字").arg(MaxText);
    // A line break or other control character in a name matches no order a LIS holds.
    const auto control = [](const QChar c) { return c.category() == QChar::Other_Control; };
    if (std::any_of(name.cbegin(), name.cend(), control) || std::any_of(remark.cbegin(), remark.cend(), control))
        return QStringLiteral("样本名或备注含有换行等控制字符");
    type.type = cells[Type].isEmpty() ? QStringLiteral("unkn") : codeOf(cells[Type], RunControls::typeCodes(), RunControls::typeName);
    if (type.type.isEmpty())
        return QStringLiteral("类型“%1”未知（%2）").arg(cells[Type].left(40), RunControls::typeCodes().join('/'));
    const bool standard = type.type == QLatin1String("std");
    if (!cells[Quantity].isEmpty() || !cells[Unit].isEmpty()) {
        if (!standard)
            return QStringLiteral("只有标准品有定量和单位");
        bool ok = false;
        type.quantity = cells[Quantity].toDouble(&ok);
        if (!ok)
            return QStringLiteral("定量“%1”不是数").arg(cells[Quantity].left(40));
        if (!RunControls::soundQuantity(type.quantity))
            return QStringLiteral("定量“%1”不在1e-12到1e15之间").arg(cells[Quantity].left(40));
        type.unit = codeOf(cells[Unit], RunControls::unitCodes(), RunControls::unitName);
    }
    if (standard && (type.quantity <= 0 || type.unit.isEmpty()))
        return QStringLiteral("标准品需要定量和单位（%1）").arg(RunControls::unitCodes().join('/'));
    return QString();
}

}

bool SampleSheet::read(const QString& path, const SMethod& method, QString& error)
{
    QVector<QStringList> rows;
    return SheetTable::read(path, rows, error) && take(rows, method, error);
}

bool SampleSheet::take(const QVector<QStringList>& rows, const SMethod& method, QString& error)
{
    QVector<int> at;
    if (rows.isEmpty()) {
        error = QStringLiteral("样本表是空的");
        return false;
    }
    if (!columnsOf(rows[0], at, error))
        return false;
    const QHash<int, int> sampleOfHole = samplesByNumber(method);
    QVector<QString> names(method.SampleNumber), remarks(method.SampleNumber);
    QVector<SampleType> types(method.SampleNumber);
    QHash<int, int> firstRowOf; // sample -> sheet row that set it
    QHash<int, int> rowOfHole;  // running number -> sheet row
    for (int r = 1; r < rows.size(); ++r) {
        if (rows[r].join(QString()).trimmed().isEmpty())
            continue;
        QStringList cells;
        for (int k = 0; k < Columns; ++k)
            cells << (at[k] >= 0 ? rows[r].value(at[k]).trimmed() : QString());
        const QString where = QStringLiteral("第%1行：").arg(r + 1);
        bool ok = false;
        const double number = cells[Hole].toDouble(&ok);
        const int hole = ok && number >= 1 && number <= RecordLimits::MaxHoles ? int(number) : 0;
        if (hole != number || !sampleOfHole.contains(hole)) {
            error = where + QStringLiteral("孔位“%1”不在方法“%2”的布局中（孔位1–%3）").arg(cells[Hole].left(40), method.Name).arg(sampleOfHole.size());
            return false;
        }
        if (rowOfHole.contains(hole)) {
            error = where + QStringLiteral("孔位%1已在第%2行").arg(hole).arg(rowOfHole[hole] + 1);
            return false;
        }
        rowOfHole.insert(hole, r);
        QString name, remark;
        SampleType type;
        const QString fault = sampleOf(cells, name, remark, type);
        if (!fault.isEmpty()) {
            error = where + fault;
            return false;
        }
        const int sample = sampleOfHole[hole];
        if (!firstRowOf.contains(sample)) {
            firstRowOf.insert(sample, r);
            names[sample] = name;
            remarks[sample] = remark;
            types[sample] = type;
        } else if (names[sample] != name || !(types[sample] == type) || remarks[sample] != remark) {
            error = where + QStringLiteral("孔位%1与第%2行同属样本%3，样本名、类型、定量或备注须一致").arg(hole).arg(firstRowOf[sample] + 1).arg(sample + 1);
            return false;
        }
    }
    if (firstRowOf.isEmpty()) {
        error = QStringLiteral("样本表没有孔位行");
        return false;
    }
    mNames = names;
    mRemarks = remarks;
    // A sheet of unknowns leaves the record's types empty, so that it is stored as before.
    const bool allUnknown = std::all_of(types.cbegin(), types.cend(), [](const SampleType& t) { return t == SampleType(); });
    mTypes = allUnknown ? QVector<SampleType>() : types;
    return true;
}

QByteArray SampleSheet::templateFor(const SMethod& method)
{
    QStringList header;
    for (const QStringList& names : headerNames())
        header << names.first();
    QString out = header.join(',') + "\r\n";
    QList<int> numbers = samplesByNumber(method).keys();
    std::sort(numbers.begin(), numbers.end());
    for (int number : numbers)
        out += QString::number(number) + QString(header.size() - 1, ',') + "\r\n";
    return "\xEF\xBB\xBF" + out.toUtf8();
}
