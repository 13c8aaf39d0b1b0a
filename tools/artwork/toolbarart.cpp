// The toolbar's background, its button strips, the slider cursor and the
// program icon.
#include <cmath>
#include <functional>

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "artwork.h"
#include "drawing.h"

namespace artwork {

namespace {

constexpr int kButtonSize = 40;
constexpr int kButtonCount = 11;
constexpr QRgb kMagenta = 0xFFFF00FF;
// Where the toolbar places each button over the background: the first at 3,
// each 7 pixels apart beyond its width, a separator adding 6.
constexpr int kButtonX[kButtonCount] = {3, 50, 103, 156, 203, 250, 297, 350, 397, 450, 503};
constexpr int kButtonY = 4;

struct Look {
    QColor ink;
    QColor accent;
    bool glow;
};

Look LookOf(ButtonState state) {
    if (state == ButtonState::kHot) return {colour::kInk.lighter(135), colour::kVermilionLight, true};
    return {colour::kInk, colour::kVermilion, false};
}

// A sheet of paper with vertical text columns.
void DrawSheet(QPainter& p, const QRectF& r, const Look& look, int columns, const QColor& fill = colour::kPaper) {
    p.setPen(QPen(look.ink, 1.2));
    p.setBrush(fill);
    p.drawRoundedRect(r, 1.5, 1.5);
    p.setPen(QPen(QColor(look.ink.red(), look.ink.green(), look.ink.blue(), 150), 1.6, Qt::SolidLine, Qt::RoundCap));
    const double step = (r.width() - 6) / std::max(1, columns - 1);
    for (int i = 0; i < columns; ++i) {
        const double x = r.right() - 3 - i * step;
        const double bottom = r.bottom() - 4 - (i % 2) * (r.height() * 0.25);
        p.drawLine(QPointF(x, r.top() + 4), QPointF(x, bottom));
    }
}

// A thread-bound book: indigo cover, white title slip, binding at the right.
void DrawBook(QPainter& p, const QRectF& r, const Look& look) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour::kPaperShade);
    p.drawRoundedRect(r.translated(2, 2), 2, 2);
    QLinearGradient cover(r.topLeft(), r.bottomRight());
    cover.setColorAt(0, colour::kIndigo.lighter(look.glow ? 150 : 125));
    cover.setColorAt(1, colour::kIndigo.darker(125));
    p.setPen(QPen(look.ink, 1.2));
    p.setBrush(cover);
    p.drawRoundedRect(r, 2, 2);
    p.setPen(QPen(look.ink, 0.8));
    p.setBrush(colour::kPaper);
    p.drawRect(QRectF(r.left() + 3.5, r.top() + 3.5, r.width() * 0.28, r.height() * 0.55));
    p.setPen(QPen(colour::kGold.lighter(look.glow ? 125 : 100), 1.4, Qt::SolidLine, Qt::RoundCap));
    for (int i = 1; i <= 4; ++i) {
        const double y = r.top() + r.height() * i / 5.0;
        p.drawLine(QPointF(r.right() - 4, y), QPointF(r.right(), y));
    }
}

// A solid arrow pointing left with its tip at tip.
void DrawArrow(QPainter& p, const QPointF& tip, double length, double halfHeight, const Look& look) {
    const double head = halfHeight * 1.1;
    const double shaft = halfHeight * 0.45;
    QPainterPath arrow;
    arrow.moveTo(tip);
    arrow.lineTo(tip + QPointF(head, -halfHeight));
    arrow.lineTo(tip + QPointF(head, -shaft));
    arrow.lineTo(tip + QPointF(length, -shaft));
    arrow.lineTo(tip + QPointF(length, shaft));
    arrow.lineTo(tip + QPointF(head, shaft));
    arrow.lineTo(tip + QPointF(head, halfHeight));
    arrow.closeSubpath();
    QLinearGradient fill(tip + QPointF(0, -halfHeight), tip + QPointF(0, halfHeight));
    fill.setColorAt(0, look.accent.lighter(135));
    fill.setColorAt(1, look.accent.darker(110));
    p.setPen(QPen(look.accent.darker(160), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(arrow);
}

// Two chevrons pointing left, the first with its tip at tip.
void DrawDoubleChevron(QPainter& p, const QPointF& tip, double halfHeight, const Look& look) {
    for (int i = 0; i < 2; ++i) {
        const QPointF at = tip + QPointF(i * halfHeight * 0.9, 0);
        QPainterPath chevron;
        chevron.moveTo(at + QPointF(halfHeight, -halfHeight));
        chevron.lineTo(at);
        chevron.lineTo(at + QPointF(halfHeight, halfHeight));
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(look.accent.darker(170), 7.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(chevron);
        p.setPen(QPen(look.accent, 4.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(chevron);
    }
}

// A magnifying glass over a page of text.
void DrawMagnifier(QPainter& p, const QPointF& centre, double radius, const Look& look) {
    p.setPen(QPen(look.ink, 4.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre + QPointF(radius * 0.7, radius * 0.7), centre + QPointF(radius * 1.75, radius * 1.75));
    QRadialGradient lens(centre - QPointF(radius * 0.3, radius * 0.3), radius * 1.2);
    lens.setColorAt(0, QColor(255, 255, 255, 235));
    lens.setColorAt(1, QColor(0xD8, 0xE4, 0xF0, 220));
    p.setPen(QPen(colour::kGold.darker(look.glow ? 100 : 115), 2.6));
    p.setBrush(lens);
    p.drawEllipse(centre, radius, radius);
    p.setPen(QPen(look.accent, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre + QPointF(-radius * 0.45, -radius * 0.1), centre + QPointF(radius * 0.45, -radius * 0.1));
    p.drawLine(centre + QPointF(-radius * 0.45, radius * 0.3), centre + QPointF(radius * 0.15, radius * 0.3));
}

// A small arrow pointing up (or down) with its middle at centre.
void DrawVerticalArrow(QPainter& p, const QPointF& centre, bool up, const Look& look) {
    p.save();
    p.translate(centre);
    p.rotate(up ? 90 : -90);
    DrawArrow(p, QPointF(-8, 0), 16, 6.5, look);
    p.restore();
}

void DrawSelectAll(QPainter& p, const Look& look) {
    const QRectF sheet(9, 6, 22, 28);
    DrawSheet(p, sheet, look, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(colour::kGold.red(), colour::kGold.green(), colour::kGold.blue(), 110));
    p.drawRect(sheet.adjusted(2, 2, -2, -2));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(look.accent, 1.6, Qt::DashLine, Qt::FlatCap));
    p.drawRoundedRect(QRectF(4.5, 2.5, 31, 35), 3, 3);
}

void DrawCopy(QPainter& p, const Look& look) {
    DrawSheet(p, QRectF(15, 4, 19, 25), look, 3, colour::kPaperShade);
    DrawSheet(p, QRectF(6, 11, 19, 25), look, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(look.accent);
    p.drawEllipse(QPointF(29.5, 32.5), 4, 4);
    p.setPen(QPen(colour::kPaper, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(27.5, 32.5), QPointF(31.5, 32.5));
    p.drawLine(QPointF(29.5, 30.5), QPointF(29.5, 34.5));
}

void DrawPrint(QPainter& p, const Look& look) {
    DrawSheet(p, QRectF(12, 4, 16, 14), look, 3);
    QLinearGradient body(QPointF(0, 15), QPointF(0, 30));
    body.setColorAt(0, look.ink.lighter(170));
    body.setColorAt(1, look.ink);
    p.setPen(QPen(look.ink.darker(130), 1.2));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(4.5, 15.5, 31, 14), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(look.accent.lighter(120));
    p.drawEllipse(QPointF(30.5, 20), 1.8, 1.8);
    DrawSheet(p, QRectF(11, 25, 18, 12), look, 4);
}

void DrawPrevVolume(QPainter& p, const Look& look) {
    DrawBook(p, QRectF(15, 5, 19, 29), look);
    DrawDoubleChevron(p, QPointF(5, 20), 7, look);
}

void DrawPrevPage(QPainter& p, const Look& look) {
    DrawSheet(p, QRectF(15, 5, 19, 29), look, 4);
    DrawArrow(p, QPointF(3.5, 21), 22, 8.5, look);
}

void DrawHit(QPainter& p, const Look& look, bool previous) {
    DrawMagnifier(p, QPointF(15, 16), 9, look);
    DrawVerticalArrow(p, QPointF(31, 12), previous, look);
}

void DrawAbout(QPainter& p, const Look& look) {
    QRadialGradient disc(QPointF(16, 14), 20);
    disc.setColorAt(0, look.accent.lighter(130));
    disc.setColorAt(1, look.accent.darker(115));
    p.setPen(QPen(look.accent.darker(160), 1.2));
    p.setBrush(disc);
    p.drawEllipse(QPointF(20, 20), 15, 15);
    p.setPen(Qt::NoPen);
    p.setBrush(colour::kPaper);
    p.drawEllipse(QPointF(20, 12.5), 2.8, 2.8);
    p.drawRoundedRect(QRectF(17.4, 17, 5.2, 13), 2, 2);
}

// A concordance: lines of text on a sheet, the keyword of each standing in
// one vermilion column down the middle.
void DrawConcordance(QPainter& p, const Look& look) {
    const QRectF sheet(4.5, 5.5, 31, 29);
    p.setPen(QPen(look.ink, 1.2));
    p.setBrush(colour::kPaper);
    p.drawRoundedRect(sheet, 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(look.accent.red(), look.accent.green(), look.accent.blue(), 60));
    p.drawRect(QRectF(16.5, 7, 7, 26));
    const QColor text(look.ink.red(), look.ink.green(), look.ink.blue(), 150);
    constexpr double kLeftStart[] = {8, 11, 9, 12, 8};
    constexpr double kRightEnd[] = {31, 28, 32, 27, 30};
    for (int i = 0; i < 5; ++i) {
        const double y = 10.5 + i * 5;
        p.setPen(QPen(text, 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(kLeftStart[i], y), QPointF(15, y));
        p.drawLine(QPointF(25, y), QPointF(kRightEnd[i], y));
        p.setPen(QPen(look.accent, 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(18, y), QPointF(22, y));
    }
}

QImage DrawButton(int index, const Look& look) {
    const std::function<void(QPainter&, const Look&)> draw[kButtonCount] = {
        DrawSelectAll,
        DrawCopy,
        DrawPrint,
        DrawPrevVolume,
        DrawPrevPage,
        DrawPrevPage,  // next page: mirrored below
        DrawPrevVolume,  // next volume: mirrored below
        [](QPainter& p, const Look& l) { DrawHit(p, l, true); },
        [](QPainter& p, const Look& l) { DrawHit(p, l, false); },
        DrawAbout,
        DrawConcordance,
    };
    QImage image = NewCanvas(kButtonSize, kButtonSize);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    if (look.glow) {
        QRadialGradient glow(QPointF(20, 20), 20);
        glow.setColorAt(0, QColor(255, 250, 225, 230));
        glow.setColorAt(0.7, QColor(255, 236, 180, 120));
        glow.setColorAt(1, QColor(255, 236, 180, 0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(glow);
        painter.drawEllipse(QPointF(20, 20), 20, 20);
    }
    draw[index](painter, look);
    painter.end();
    const bool mirrored = index == 5 || index == 6;
    return mirrored ? image.mirrored(true, false) : image;
}

}  // namespace

QImage ToolbarBackground() {
    QImage image(600, 47, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient paper(QPointF(0, 0), QPointF(0, 47));
    paper.setColorAt(0, QColor(0xFB, 0xF6, 0xE8));
    paper.setColorAt(0.55, QColor(0xF1, 0xE7, 0xCF));
    paper.setColorAt(1, QColor(0xE2, 0xD3, 0xAF));
    painter.fillRect(image.rect(), paper);
    painter.setPen(QColor(0xFF, 0xFD, 0xF6));
    painter.drawLine(0, 0, 599, 0);
    painter.setPen(QColor(0xCB, 0xB8, 0x8F));
    painter.drawLine(0, 45, 599, 45);
    painter.setPen(QColor(0xA8, 0x92, 0x6A));
    painter.drawLine(0, 46, 599, 46);
    painter.end();
    AddPaperGrain(image, QRect(0, 1, 600, 44), 2);
    return image;
}

QImage ToolbarStrip(ButtonState state, const QImage& background) {
    QImage strip(kButtonSize * kButtonCount, kButtonSize, QImage::Format_RGB32);
    for (int i = 0; i < kButtonCount; ++i) {
        QImage button = DrawButton(i, LookOf(state));
        if (state == ButtonState::kDisabled) button = Faded(button, colour::kPaperShade);
        for (int y = 0; y < kButtonSize; ++y) {
            for (int x = 0; x < kButtonSize; ++x) {
                const QRgb over = button.pixel(x, y);
                const QPoint under(kButtonX[i] + x, kButtonY + y);
                QRgb result = kMagenta;
                if (qAlpha(over) != 0) result = Over(over, background.rect().contains(under) ? background.pixel(under) : 0xFFF0F0F0);
                strip.setPixel(i * kButtonSize + x, y, result);
            }
        }
    }
    return strip;
}

QImage SliderCursor() {
    QImage image = NewCanvas(32, 32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath arrow;
    arrow.moveTo(1.5, 6);
    arrow.lineTo(8, 1);
    arrow.lineTo(8, 4);
    arrow.lineTo(22, 4);
    arrow.lineTo(22, 1);
    arrow.lineTo(28.5, 6);
    arrow.lineTo(22, 11);
    arrow.lineTo(22, 8);
    arrow.lineTo(8, 8);
    arrow.lineTo(8, 11);
    arrow.closeSubpath();
    painter.setPen(QPen(Qt::white, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(colour::kInk);
    painter.drawPath(arrow);
    return image;
}

QImage ProgramIcon() {
    QImage image = NewCanvas(64, 64);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient seal(QPointF(0, 0), QPointF(64, 64));
    seal.setColorAt(0, colour::kVermilionLight);
    seal.setColorAt(1, colour::kVermilion.darker(115));
    painter.setPen(QPen(colour::kVermilion.darker(150), 2));
    painter.setBrush(seal);
    painter.drawRoundedRect(QRectF(3, 3, 58, 58), 9, 9);
    painter.setPen(QPen(colour::kPaper, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(8, 8, 48, 48), 5, 5);
    QFont font(QStringLiteral("Noto Serif CJK JP"));
    font.setPixelSize(38);
    font.setWeight(QFont::Black);
    painter.setFont(font);
    painter.setPen(colour::kPaper);
    painter.drawText(QRectF(8, 6, 48, 48), Qt::AlignCenter, QStringLiteral("書"));
    return image;
}

}  // namespace artwork
