// Draws the program's pictures into the folder given as the only argument. Run by
// scripts/draw-pictures.sh; the PNGs it writes are committed under ui/resources/png/.
#include "method/ChipLayouts.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSet>
#include <QtMath>

namespace {

const QColor Navy(0, 0, 127);
const QColor Fam(26, 59, 230);
const QColor Rox(232, 122, 30);
const QColor Negative(46, 158, 79);
const QColor Neutral(238, 241, 246);
const QColor NeutralLine(154, 165, 184);

QString outDir;

QImage canvas(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void save(const QImage& image, const QString& name)
{
    image.save(QDir(outDir).filePath(name + ".png"));
}

// A chip well: a capsule with a short channel toward the sample row (below for the upper row,
// above for the lower row). Two fills give the both-positive picture its split.
void drawHole(const QString& name, const QColor& fill, const QColor& fill2, const QColor& line, bool down)
{
    QImage image = canvas(56, 84);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    if (down) {
        p.translate(0, 84);
        p.scale(1, -1);
    }
    p.setPen(QPen(line, 3));
    p.setBrush(line);
    p.drawRoundedRect(QRectF(23, 62, 10, 20), 3, 3);
    QPainterPath well;
    well.addRoundedRect(QRectF(4, 4, 48, 64), 22, 22);
    QLinearGradient shade(0, 4, 0, 68);
    shade.setColorAt(0, fill.lighter(112));
    shade.setColorAt(1, fill);
    p.fillPath(well, shade);
    if (fill2.isValid()) {
        QPainterPath half;
        half.addRect(QRectF(28, 0, 28, 84));
        QLinearGradient shade2(0, 4, 0, 68);
        shade2.setColorAt(0, fill2.lighter(112));
        shade2.setColorAt(1, fill2);
        p.fillPath(well.intersected(half), shade2);
    }
    p.setBrush(Qt::NoBrush);
    p.drawPath(well);
    p.end();
    save(image, name);
}

void drawHoles()
{
    struct Kind { QString suffix; QColor fill; QColor fill2; QColor line; };
    const QVector<Kind> kinds = {
        {"run_hole_n_v2", Neutral, QColor(), NeutralLine},
        {"run_hole_n_check_v2", Navy, QColor(), Navy.darker(150)},
        {"run_hole_n_check_all_negative", Negative, QColor(), Negative.darker(150)},
        {"run_hole_n_check_fam_positive", Fam, QColor(), Fam.darker(150)},
        {"run_hole_n_check_rox_positive", Rox, QColor(), Rox.darker(150)},
        {"run_hole_n_check_all_positive", Fam, Rox, QColor(60, 40, 90)},
    };
    for (const Kind& k : kinds) {
        drawHole(k.suffix, k.fill, k.fill2, k.line, false);
        drawHole(k.suffix + "_down", k.fill, k.fill2, k.line, true);
    }
}

// The master button: a chip seen from above, its two rows of wells.
void drawMaster(const QString& name, bool checked)
{
    QImage image = canvas(75, 150);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Navy, 3));
    p.setBrush(checked ? Navy : Qt::white);
    p.drawRoundedRect(QRectF(6, 4, 63, 142), 12, 12);
    p.setPen(Qt::NoPen);
    p.setBrush(checked ? QColor(Qt::white) : Navy);
    for (int row = 0; row < 6; ++row)
        for (int col = 0; col < 2; ++col)
            p.drawEllipse(QPointF(25 + 25 * col, 24 + 20.5 * row), 6, 6);
    p.end();
    save(image, name);
}

// Two overlapping discs in the two dye colours: the instrument reads two colours from two sides.
void drawLogo(const QString& name, bool grey)
{
    QImage image = canvas(64, 64);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor a = grey ? QColor(150, 150, 150) : Fam;
    const QColor b = grey ? QColor(190, 190, 190) : Rox;
    p.setPen(Qt::NoPen);
    p.setBrush(a);
    p.drawEllipse(QRectF(4, 12, 38, 38));
    p.setBrush(b);
    p.setOpacity(0.85);
    p.drawEllipse(QRectF(22, 12, 38, 38));
    p.setOpacity(1);
    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
    QPainterPath curve;
    curve.moveTo(12, 40);
    curve.cubicTo(24, 40, 28, 20, 52, 20);
    p.drawPath(curve);
    p.end();
    save(image, name);
}

void drawClose(const QString& name, bool hover)
{
    QImage image = canvas(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    if (hover) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(214, 48, 49));
        p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    }
    p.setPen(QPen(hover ? QColor(Qt::white) : QColor(110, 110, 120), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5, 5), QPointF(11, 11));
    p.drawLine(QPointF(11, 5), QPointF(5, 11));
    p.end();
    save(image, name);
}

// Eight dots round a circle; the lit one moves a step per frame and leaves a fading trail.
void drawWait(int frame)
{
    QImage image = canvas(96, 96);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    for (int k = 0; k < 8; ++k) {
        const int age = (frame - k + 8) % 8;
        QColor c = Navy;
        c.setAlphaF(age == 0 ? 1.0 : qMax(0.15, 0.75 - 0.2 * age));
        p.setBrush(c);
        const double angle = -M_PI / 2 + k * M_PI / 4;
        p.drawEllipse(QPointF(48 + 34 * std::cos(angle), 48 + 34 * std::sin(angle)), age == 0 ? 9 : 7, age == 0 ? 9 : 7);
    }
    p.end();
    save(image, QString("wait_%1").arg(frame));
}

// A chip layout: 26 wells in two rows of 13, the wells of each sample framed together and
// numbered by sample, the wells a layout leaves out greyed.
void drawChip(const SampleHoleMap& map)
{
    QImage image = canvas(640, 260);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(NeutralLine, 2));
    p.setBrush(QColor(250, 251, 253));
    p.drawRoundedRect(QRectF(2, 2, 636, 256), 18, 18);
    QVector<int> owner(27, -1);
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        for (int h : it.value())
            owner[h] = it.key();
    auto wellRect = [](int hole) {
        const int i = hole - 1;
        return QRectF(24 + 46 * (i / 2), i % 2 ? 22 : 156, 38, 82);
    };
    const QVector<QColor> frames = {Fam, Rox, Negative, QColor(128, 64, 160)};
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        QRectF box;
        for (int h : it.value())
            box = box.isNull() ? wellRect(h) : box.united(wellRect(h));
        const QColor frame = frames[it.key() % frames.size()];
        p.setPen(QPen(frame, 3));
        QColor wash = frame;
        wash.setAlpha(28);
        p.setBrush(wash);
        p.drawRoundedRect(box.adjusted(-3, -5, 3, 5), 10, 10);
        QFont font = p.font();
        font.setPixelSize(18);
        font.setBold(true);
        p.setFont(font);
        p.setPen(frame.darker(130));
        p.drawText(QRectF(box.left(), 110, box.width(), 40), Qt::AlignCenter, QString::number(it.key() + 1));
    }
    for (int h = 1; h <= 26; ++h) {
        const bool used = owner[h] >= 0;
        p.setPen(QPen(used ? Navy : NeutralLine, 2, used ? Qt::SolidLine : Qt::DashLine));
        p.setBrush(used ? QColor(Qt::white) : QColor(232, 234, 238));
        p.drawRoundedRect(wellRect(h), 18, 18);
    }
    p.end();
    const int samples = map.size();
    save(image, QString("chip_%1_%2").arg(samples).arg(map.value(0).size()));
}

}

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2)
        return 2;
    outDir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(outDir);
    drawHoles();
    drawMaster("run_hole", false);
    drawMaster("run_hole_checked", true);
    drawLogo("logo", false);
    drawLogo("logo_gray", true);
    drawClose("close_normal", false);
    drawClose("close_hover", true);
    for (int frame = 0; frame < 8; ++frame)
        drawWait(frame);
    sampleHoleMapsInit();
    // Pictures are named by sample count and holes per sample, so layouts that differ only in the
    // wells left out share the first one's picture.
    QSet<QPair<int, int>> drawn;
    for (const ChipLayout& layout : chipLayouts()) {
        const QPair<int, int> key(layout.map->size(), layout.map->value(0).size());
        if (!drawn.contains(key))
            drawChip(*layout.map);
        drawn.insert(key);
    }
    return 0;
}
