// Small pixel helpers shared by the artwork painters.
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QRgb>

namespace artwork {

// A transparent ARGB canvas.
QImage NewCanvas(int width, int height);
// over (any alpha) composed over the opaque colour under.
QRgb Over(QRgb over, QRgb under);
// image in grey, halfway towards tint, a little more transparent: a disabled form.
QImage Faded(const QImage& image, const QColor& tint);
// Adds a fixed, faint grain of +-amount levels to the pixels of area.
void AddPaperGrain(QImage& image, const QRect& area, int amount);

}  // namespace artwork
