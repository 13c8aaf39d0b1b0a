#include "drawing.h"

#include <cstdint>

namespace artwork {

QImage NewCanvas(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

QRgb Over(QRgb over, QRgb under) {
    const int alpha = qAlpha(over);
    const auto mix = [alpha](int top, int bottom) { return (top * alpha + bottom * (255 - alpha) + 127) / 255; };
    return qRgb(mix(qRed(over), qRed(under)), mix(qGreen(over), qGreen(under)), mix(qBlue(over), qBlue(under)));
}

QImage Faded(const QImage& image, const QColor& tint) {
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < result.height(); ++y) {
        for (int x = 0; x < result.width(); ++x) {
            const QRgb pixel = result.pixel(x, y);
            const int grey = qGray(pixel);
            result.setPixel(x, y, qRgba((grey + tint.red()) / 2, (grey + tint.green()) / 2, (grey + tint.blue()) / 2,
                                        qAlpha(pixel) * 3 / 4));
        }
    }
    return result;
}

void AddPaperGrain(QImage& image, const QRect& area, int amount) {
    uint32_t seed = 0x9E3779B9u;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int delta = int((seed >> 24) % uint32_t(2 * amount + 1)) - amount;
            const QRgb pixel = image.pixel(x, y);
            image.setPixel(x, y, qRgb(qBound(0, qRed(pixel) + delta, 255), qBound(0, qGreen(pixel) + delta, 255),
                                      qBound(0, qBlue(pixel) + delta, 255)));
        }
    }
}

}  // namespace artwork
