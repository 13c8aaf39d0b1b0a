// The pictures of the reader window, drawn with QPainter: the toolbar's
// background and button strips, the slider cursor, the program icon, the
// search panel's tree icons and list-page buttons, the About picture, the
// margin texture of a hit page and the splash animation. All share one
// palette of ink, paper, vermilion and gold.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>

namespace artwork {

namespace colour {
inline const QColor kInk(0x2F, 0x2A, 0x3A);
inline const QColor kPaper(0xFB, 0xF7, 0xEC);
inline const QColor kPaperShade(0xE6, 0xDA, 0xBE);
inline const QColor kVermilion(0xB9, 0x3A, 0x26);
inline const QColor kVermilionLight(0xDE, 0x5A, 0x38);
inline const QColor kGold(0xC9, 0x9A, 0x3C);
inline const QColor kIndigo(0x2E, 0x3A, 0x6E);
inline const QColor kNight(0x17, 0x18, 0x2B);  // splash and About background
inline const QColor kIvory(0xF3, 0xEA, 0xD7);
}  // namespace colour

enum class ButtonState { kNormal, kDisabled, kHot };

// 600 x 47, a paper gradient that tiles from left to right.
QImage ToolbarBackground();
// 400 x 40: the ten button pictures (select all, copy, print, previous
// volume, previous page, next page, next volume, previous hit, next hit,
// About) in state, on magenta where the background shows through.
QImage ToolbarStrip(ButtonState state, const QImage& background);
// 32 x 32 left-right arrow; its hot spot is (15, 0).
QImage SliderCursor();
// 64 x 64 program icon.
QImage ProgramIcon();
// 20 x 20 tree icon (closed book, or open book when selected); black is transparent.
QImage TreeIcon(bool selected);
// 128 x 32: four frames (normal, pressed, hover, disabled) of "<" or ">".
QImage ListPageStrip(bool next);
// 500 x 350 title picture with version.
QImage AboutPicture(const QString& version);
// 96 x 96 paper texture of a hit page's margin cell, tiling in both directions.
QImage MarginTexture();
// Writes MarginTexture as a GIF ("Back.gif"); false when it cannot be written.
bool WriteMarginTexture(const QString& path);
// Writes the looping splash animation; false when it cannot be written.
bool WriteSplashMovie(const QString& path);

}  // namespace artwork
