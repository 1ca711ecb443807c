#include "method/RecordEdits.h"

#include "method/SMethod.h"

namespace RecordEdits {

namespace {
const QString ReadingsPrefix = QStringLiteral("数据已由工作簿替换");
const QString MethodPrefix = QStringLiteral("方法已由JSON替换");
const QString Separator = QStringLiteral("；"); // between the remark's parts

QString mark(const QString& prefix, const QDateTime& when, QString file)
{
    // A separator inside the name would split the mark when it is read back.
    file.replace(Separator, QStringLiteral(";"));
    return prefix + QStringLiteral("（%1，%2）").arg(when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")), file);
}
}

QString readingsReplaced(const QDateTime& when, const QString& workbook)
{
    return mark(ReadingsPrefix, when, workbook);
}

QString methodReplaced(const QDateTime& when, const QString& file)
{
    return mark(MethodPrefix, when, file);
}

QStringList of(const QString& remark)
{
    QStringList marks;
    for (const QString& part : remark.split(Separator))
        if (part.startsWith(ReadingsPrefix) || part.startsWith(MethodPrefix))
            marks << part;
    return marks;
}

QString methodMismatch(const SMethod& record, const SMethod& other)
{
    if (other.Hole != record.Hole || other.SampleNumber != record.SampleNumber || other.sampleHoleMap != record.sampleHoleMap)
        return QStringLiteral("芯片布局（孔数、样本或样本的孔位）与本实验不同");
    if (other.ChannelColor != record.ChannelColor || other.ChannelNames != record.ChannelNames)
        return QStringLiteral("通道与本实验不同");
    if (other.Flow.getCycle() != record.Flow.getCycle() || other.stepNumber() != record.stepNumber()
        || other.firstMeltReadingTemp() != record.firstMeltReadingTemp())
        return QStringLiteral("程序的循环数或熔解读数与本实验不同");
    return QString();
}

}
