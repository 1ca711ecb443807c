#include "files/SampleSheet.h"

#include "files/SheetTable.h"
#include "method/SMethod.h"

#include <QHash>
#include <QMap>

#include <algorithm>
#include <cmath>

namespace {

enum Column { Hole, Name, Type, Quantity, Unit, Remark, Columns };

constexpr int MaxText = 200;
constexpr double MaxQuantity = 1e15;

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

struct Row
{
    int hole = 0;
    QString name;
    QString remark;
    SampleType type;
};

}

bool SampleSheet::read(const QString& path, const SMethod& method, QString& error)
{
    QVector<QStringList> rows;
    return SheetTable::read(path, rows, error) && take(rows, method, error);
}

bool SampleSheet::take(const QVector<QStringList>& rows, const SMethod& method, QString& error)
{
    if (rows.isEmpty()) {
        error = QStringLiteral("样本表是空的");
        return false;
    }
    QVector<int> at(Columns, -1);
    for (int c = 0; c < rows[0].size(); ++c) {
        const QString title = rows[0][c].trimmed();
        for (int k = 0; k < Columns; ++k) {
            if (!headerNames()[k].contains(title, Qt::CaseInsensitive))
                continue;
            if (at[k] >= 0) {
                error = QStringLiteral("第1行：“%1”列出现两次").arg(headerNames()[k].first());
                return false;
            }
            at[k] = c;
        }
    }
    if (at[Hole] < 0 || (at[Name] < 0 && at[Type] < 0)) {
        error = QStringLiteral("第1行：表头需要“孔位”列和“样本名”或“类型”列");
        return false;
    }
    const QHash<int, int> sampleOf = samplesByNumber(method);
    QVector<QString> names(method.SampleNumber), remarks(method.SampleNumber);
    QVector<SampleType> types(method.SampleNumber);
    QHash<int, int> firstRowOf;   // sample -> sheet row that set it
    QHash<int, int> rowOfHole;    // running number -> sheet row
    for (int r = 1; r < rows.size(); ++r) {
        const auto cell = [&](Column k) { return at[k] >= 0 ? rows[r].value(at[k]).trimmed() : QString(); };
        const QString where = QStringLiteral("第%1行：").arg(r + 1);
        if (rows[r].join(QString()).trimmed().isEmpty())
            continue;
        Row row;
        bool ok = false;
        const double hole = cell(Hole).toDouble(&ok);
        row.hole = int(hole);
        if (!ok || hole != row.hole || !sampleOf.contains(row.hole)) {
            error = where + QStringLiteral("孔位“%1”不在方法“%2”的布局中（孔位1–%3）").arg(cell(Hole).left(40), method.Name).arg(sampleOf.size());
            return false;
        }
        if (rowOfHole.contains(row.hole)) {
            error = where + QStringLiteral("孔位%1已在第%2行").arg(row.hole).arg(rowOfHole[row.hole] + 1);
            return false;
        }
        rowOfHole.insert(row.hole, r);
        row.name = cell(Name);
        row.remark = cell(Remark);
        if (row.name.size() > MaxText || row.remark.size() > MaxText) {
            error = where + QStringLiteral("样本名或备注超过%1个字").arg(MaxText);
            return false;
        }
        row.type.type = cell(Type).isEmpty() ? QStringLiteral("unkn") : codeOf(cell(Type), RunControls::typeCodes(), RunControls::typeName);
        if (row.type.type.isEmpty()) {
            error = where + QStringLiteral("类型“%1”未知（%2）").arg(cell(Type).left(40), RunControls::typeCodes().join('/'));
            return false;
        }
        const bool standard = row.type.type == QLatin1String("std");
        if (!cell(Quantity).isEmpty() || !cell(Unit).isEmpty()) {
            if (!standard) {
                error = where + QStringLiteral("只有标准品有定量和单位");
                return false;
            }
            row.type.quantity = cell(Quantity).toDouble(&ok);
            if (!ok || !std::isfinite(row.type.quantity) || row.type.quantity <= 0 || row.type.quantity > MaxQuantity) {
                error = where + QStringLiteral("定量“%1”不是大于0的数").arg(cell(Quantity).left(40));
                return false;
            }
            row.type.unit = codeOf(cell(Unit), RunControls::unitCodes(), RunControls::unitName);
        }
        if (standard && (row.type.quantity <= 0 || row.type.unit.isEmpty())) {
            error = where + QStringLiteral("标准品需要定量和单位（%1）").arg(RunControls::unitCodes().join('/'));
            return false;
        }
        const int sample = sampleOf[row.hole];
        if (firstRowOf.contains(sample)) {
            const int first = firstRowOf[sample];
            if (names[sample] != row.name || !(types[sample] == row.type) || remarks[sample] != row.remark) {
                error = where + QStringLiteral("孔位%1与第%2行同属样本%3，样本名、类型、定量或备注须一致").arg(row.hole).arg(first + 1).arg(sample + 1);
                return false;
            }
            continue;
        }
        firstRowOf.insert(sample, r);
        names[sample] = row.name;
        remarks[sample] = row.remark;
        types[sample] = row.type;
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
    const int holes = samplesByNumber(method).size();
    for (int number = 1; number <= holes; ++number)
        out += QString::number(number) + QString(header.size() - 1, ',') + "\r\n";
    return "\xEF\xBB\xBF" + out.toUtf8();
}
