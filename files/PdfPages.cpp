#include "files/PdfPages.h"

#include <QPageSize>

namespace {

constexpr double RowHeight = 13.0;
constexpr double CellPad = 2.0;

}

PdfPages::PdfPages(const QString& path, const QString& title, const QString& footer)
    : mFile(path), mTitle(title), mFooter(footer)
{
}

PdfPages::~PdfPages()
{
    if (mPainter.isActive())
        mPainter.end();
}

QFont PdfPages::font(double size, bool bold)
{
    // A face with every Chinese glyph, embedded in the file, so that it prints anywhere.
    QFont f(QStringLiteral("WenQuanYi Micro Hei"));
    f.setPointSizeF(size);
    f.setBold(bold);
    return f;
}

bool PdfPages::begin()
{
    if (!mFile.open(QIODevice::WriteOnly))
        return false;
    mWriter = std::make_unique<QPdfWriter>(&mFile);
    mWriter->setPageSize(QPageSize(QPageSize::A4));
    mWriter->setPageMargins(QMarginsF(0, 0, 0, 0));
    mWriter->setResolution(72);
    mWriter->setTitle(mTitle);
    mWriter->setCreator(QStringLiteral("tamarin"));
    if (!mPainter.begin(mWriter.get()))
        return false;
    mPainter.setRenderHint(QPainter::Antialiasing);
    return true;
}

bool PdfPages::finish()
{
    footer();
    const bool painted = mPainter.end();
    mWriter.reset();
    return painted && mFile.commit();
}

void PdfPages::footer()
{
    mPainter.setFont(font(7));
    mPainter.setPen(Qt::darkGray);
    const QRectF line(Margin, PageHeight - Margin + 8, width(), 12);
    mPainter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, mFooter);
    mPainter.drawText(line, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("第 %1 页").arg(mPage));
}

void PdfPages::newPage()
{
    footer();
    mWriter->newPage();
    ++mPage;
    mY = Margin;
}

void PdfPages::need(double height)
{
    if (mY + height > bottom() && mY > Margin)
        newPage();
}

void PdfPages::text(const QString& text, double size, bool bold, const QColor& colour, Qt::Alignment align)
{
    mPainter.setFont(font(size, bold));
    const int flags = int(align) | Qt::TextWordWrap;
    const QRectF room(Margin, 0, width(), bottom());
    const double height = mPainter.boundingRect(room, flags, text).height();
    need(height);
    mPainter.setPen(colour);
    mPainter.drawText(QRectF(Margin, mY, width(), height), flags, text);
    mY += height + 2;
}

void PdfPages::table(const QStringList& headers, const QVector<QStringList>& rows, const QVector<double>& widths,
                     const std::function<QColor(int, int)>& colour)
{
    const auto drawRow = [&](const QStringList& cells, bool head, int row) {
        double x = Margin;
        mPainter.setFont(font(7, head));
        if (head)
            mPainter.fillRect(QRectF(Margin, mY, width(), RowHeight), QColor(230, 234, 242));
        for (int c = 0; c < widths.size(); ++c) {
            const double w = widths[c] * width();
            const QRectF cell(x + CellPad, mY, w - 2 * CellPad, RowHeight);
            mPainter.setPen(!head && colour ? colour(row, c) : QColor(Qt::black));
            mPainter.drawText(cell, Qt::AlignLeft | Qt::AlignVCenter,
                              mPainter.fontMetrics().elidedText(cells.value(c), Qt::ElideRight, int(cell.width())));
            x += w;
        }
        mPainter.setPen(QColor(200, 200, 200));
        mPainter.drawLine(QPointF(Margin, mY + RowHeight), QPointF(Margin + width(), mY + RowHeight));
        mY += RowHeight;
    };
    need(2 * RowHeight);
    drawRow(headers, true, -1);
    for (int r = 0; r < rows.size(); ++r) {
        if (mY + RowHeight > bottom()) {
            newPage();
            drawRow(headers, true, -1);
        }
        drawRow(rows[r], false, r);
    }
    mY += 6;
}

QRectF PdfPages::block(double height)
{
    need(height);
    const QRectF area(Margin, mY, width(), height);
    mY += height + 6;
    return area;
}
