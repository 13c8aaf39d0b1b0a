// The page pictures: the paper texture of a hit page's margin cell.
#include <cmath>
#include <cstdint>

#include "artwork.h"
#include "gifwriter.h"

namespace artwork {

namespace {

constexpr int kMarginSize = 96;
// The margin's paper: a shade of the stored page's margin colour (#F5EFE0),
// so that the volume name and page number read as on a stored page.
const QColor kMarginPaper(0xF5, 0xEF, 0xE0);

// A small fixed pseudo-random number for pixel (x, y), from 0 to 255, that
// repeats every kMarginSize pixels so the texture tiles without seams.
int Noise(int x, int y) {
    uint32_t h = uint32_t(x % kMarginSize) * 73856093u ^ uint32_t(y % kMarginSize) * 19349663u;
    h ^= h >> 13;
    h *= 0x5BD1E995u;
    h ^= h >> 15;
    return int(h & 0xFF);
}

// How much darker pixel (x, y) is than the paper, in colour levels: the faint
// horizontal laid lines of hand-made paper, long fibres running down the page
// and a fine grain. Every term repeats with the tile.
int Shade(int x, int y) {
    constexpr double kTwoPi = 6.283185307179586;
    const double laid = 1.4 * (1 + std::cos(kTwoPi * y / 6.0));           // 16 lines a tile
    const double wave = 1.2 * std::sin(kTwoPi * (y + 7 * std::sin(kTwoPi * x / kMarginSize)) / kMarginSize);
    // Thin vertical strokes, each column's starting at its own height.
    const int fibre = Noise(x, ((y + Noise(x, 1) % kMarginSize) % kMarginSize) / 16 + 7) > 246 ? 3 : 0;
    const int grain = Noise(x, y) % 5 - 2;
    return int(std::lround(laid + wave)) + fibre + grain;
}

}  // namespace

QImage MarginTexture() {
    QImage image(kMarginSize, kMarginSize, QImage::Format_Indexed8);
    QList<QRgb> palette;
    constexpr int kShades = 16;  // from 2 levels lighter to 13 darker than the paper
    for (int i = 0; i < kShades; ++i) {
        const int d = i - 2;
        palette.append(qRgb(qBound(0, kMarginPaper.red() - d, 255), qBound(0, kMarginPaper.green() - d, 255),
                            qBound(0, kMarginPaper.blue() - d - d / 3, 255)));
    }
    image.setColorTable(palette);
    for (int y = 0; y < kMarginSize; ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < kMarginSize; ++x) line[x] = uchar(qBound(0, Shade(x, y) + 2, kShades - 1));
    }
    return image;
}

bool WriteMarginTexture(const QString& path) {
    const QImage texture = MarginTexture();
    CGifWriter writer(texture.width(), texture.height(), texture.colorTable());
    return writer.AddFrame(texture, 0) && writer.Save(path);
}

}  // namespace artwork
