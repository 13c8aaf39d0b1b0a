// The search panel's pictures: the tree icons and the list-page buttons.
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "artwork.h"
#include "drawing.h"

namespace artwork {

namespace {

constexpr QRgb kTreeBackground = 0xFFFFFFFF;  // the tree's own background, for soft edges
constexpr QRgb kPanelBackground = 0xFFEFEFEF;  // around the list-page buttons' corners
constexpr int kFrameSize = 32;

void DrawClosedBook(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour::kPaperShade);
    p.drawRect(QRectF(5.5, 3.5, 11, 14));
    QLinearGradient cover(QPointF(3, 2), QPointF(15, 17));
    cover.setColorAt(0, colour::kIndigo.lighter(130));
    cover.setColorAt(1, colour::kIndigo.darker(120));
    p.setPen(QPen(colour::kInk, 1));
    p.setBrush(cover);
    p.drawRoundedRect(QRectF(3.5, 2.5, 11, 15), 1, 1);
    p.setPen(QPen(colour::kPaper, 0.8));
    p.setBrush(colour::kPaper);
    p.drawRect(QRectF(5.5, 4.5, 2.6, 7));
    p.setPen(QPen(colour::kGold, 1));
    for (int y : {6, 10, 14}) p.drawLine(QPointF(12.5, y), QPointF(14.5, y));
}

void DrawOpenBook(QPainter& p) {
    for (int side = 0; side < 2; ++side) {
        QPainterPath page;
        const double edge = side == 0 ? 1.5 : 18.5;
        page.moveTo(10, 5);
        page.quadTo((edge + 10) / 2, 3, edge, 4.5);
        page.lineTo(edge, 15.5);
        page.quadTo((edge + 10) / 2, 14, 10, 16.5);
        page.closeSubpath();
        p.setPen(QPen(colour::kInk, 1));
        p.setBrush(colour::kPaper);
        p.drawPath(page);
        p.setPen(QPen(QColor(0x8A, 0x80, 0x90), 0.8));
        for (int i = 0; i < 3; ++i) {
            const double x = side == 0 ? 4 + i * 2 : 12 + i * 2;
            p.drawLine(QPointF(x, 6.5), QPointF(x, 13));
        }
    }
    p.setPen(Qt::NoPen);
    p.setBrush(colour::kVermilion);
    QPainterPath ribbon;
    ribbon.moveTo(13, 4);
    ribbon.lineTo(15, 4);
    ribbon.lineTo(15, 19);
    ribbon.lineTo(14, 17.8);
    ribbon.lineTo(13, 19);
    ribbon.closeSubpath();
    p.drawPath(ribbon);
}

enum class Frame { kNormal, kPressed, kHover, kDisabled };

void DrawListButton(QPainter& p, Frame frame, bool next) {
    const QRectF face = QRectF(1.5, 1.5, 29, 29).translated(frame == Frame::kPressed ? QPointF(0.5, 0.5) : QPointF());
    QLinearGradient fill(face.topLeft(), face.bottomLeft());
    QColor border = QColor(0xA8, 0x92, 0x6A);
    QColor mark = colour::kInk;
    switch (frame) {
    case Frame::kNormal:
        fill.setColorAt(0, colour::kPaper);
        fill.setColorAt(1, colour::kPaperShade);
        break;
    case Frame::kPressed:
        fill.setColorAt(0, colour::kPaperShade.darker(112));
        fill.setColorAt(1, colour::kPaperShade);
        border = border.darker(130);
        break;
    case Frame::kHover:
        fill.setColorAt(0, QColor(0xFF, 0xFC, 0xF2));
        fill.setColorAt(1, QColor(0xF3, 0xE6, 0xC4));
        border = colour::kVermilion;
        mark = colour::kVermilion;
        break;
    case Frame::kDisabled:
        fill.setColorAt(0, QColor(0xF4, 0xF1, 0xEA));
        fill.setColorAt(1, QColor(0xEA, 0xE5, 0xDA));
        border = QColor(0xC9, 0xC1, 0xB0);
        mark = QColor(0xBE, 0xB5, 0xA3);
        break;
    }
    p.setPen(QPen(border, 1));
    p.setBrush(fill);
    p.drawRoundedRect(face, 5, 5);
    QPainterPath chevron;
    const QPointF c = face.center();
    const double w = next ? -4.5 : 4.5;
    chevron.moveTo(c + QPointF(w, -7));
    chevron.lineTo(c + QPointF(-w, 0));
    chevron.lineTo(c + QPointF(w, 7));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(mark, 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(chevron);
}

}  // namespace

QImage TreeIcon(bool selected) {
    QImage icon = NewCanvas(20, 20);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    if (selected)
        DrawOpenBook(painter);
    else
        DrawClosedBook(painter);
    painter.end();
    QImage result(20, 20, QImage::Format_RGB32);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const QRgb pixel = icon.pixel(x, y);
            result.setPixel(x, y, qAlpha(pixel) == 0 ? 0xFF000000 : Over(pixel, kTreeBackground));
        }
    return result;
}

QImage ListPageStrip(bool next) {
    QImage strip(4 * kFrameSize, kFrameSize, QImage::Format_RGB32);
    strip.fill(kPanelBackground);
    QPainter painter(&strip);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const Frame frame : {Frame::kNormal, Frame::kPressed, Frame::kHover, Frame::kDisabled}) {
        painter.save();
        painter.translate(int(frame) * kFrameSize, 0);
        DrawListButton(painter, frame, next);
        painter.restore();
    }
    return strip;
}

}  // namespace artwork
