#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QStringList>
#include <QVector>
#include <functional>
#include <memory>

// A4 pages of a printed report in points, filled from the top: text that wraps, tables that go on
// over pages with their header again, and blocks for charts. Every page carries the footer and its
// number. The file is written whole or not at all.
class PdfPages
{
public:
    static constexpr double PageWidth = 595.0;
    static constexpr double PageHeight = 842.0;
    static constexpr double Margin = 40.0;

    PdfPages(const QString& path, const QString& title, const QString& footer);
    ~PdfPages();

    bool begin();
    // Ends the last page; false when any byte could not be written.
    bool finish();

    QPainter& painter() { return mPainter; }
    double width() const { return PageWidth - 2 * Margin; }
    // Starts a new page unless height still fits on this one.
    void need(double height);
    void space(double height) { mY += height; }
    void text(const QString& text, double size, bool bold = false, const QColor& colour = Qt::black,
              Qt::Alignment align = Qt::AlignLeft);
    // Column widths as shares of the page width; colour picks a cell's text colour.
    void table(const QStringList& headers, const QVector<QStringList>& rows, const QVector<double>& widths,
               const std::function<QColor(int row, int column)>& colour = {});
    // The next height points of the page for a chart (on a new page if they do not fit).
    QRectF block(double height);

    static QFont font(double size, bool bold = false);

private:
    void newPage();
    void footer();
    double bottom() const { return PageHeight - Margin; }

    QSaveFile mFile;
    std::unique_ptr<QPdfWriter> mWriter;
    QPainter mPainter;
    QString mTitle;
    QString mFooter;
    double mY = Margin;
    int mPage = 1;
};
