// The About picture and the splash animation.
#include <algorithm>
#include <cmath>

#include <QFont>
#include <QHash>
#include <QLinearGradient>
#include <QPainter>

#include "artwork.h"
#include "drawing.h"
#include "gifwriter.h"

namespace artwork {

namespace {

const QString kSerifJapanese = QStringLiteral("Noto Serif CJK JP");
const QString kSerifChinese = QStringLiteral("Noto Serif CJK TC");
const QString kTitle = QStringLiteral("Quorel");
const QString kSubtitle = QStringLiteral("漢籍全文検索リーダー");
const QString kVerse = QStringLiteral("學而時習之不亦說乎");

constexpr int kMovieWidth = 800;
constexpr int kMovieHeight = 450;
constexpr int kFrameCount = 22;
constexpr int kFrameDelay = 8;   // 1/100 s
constexpr int kLastDelay = 400;  // the finished picture stays a while before the loop

QFont Font(const QString& family, int pixels, QFont::Weight weight = QFont::Normal) {
    QFont font(family);
    font.setPixelSize(pixels);
    font.setWeight(weight);
    return font;
}

// Characters of text one below the other, from top, each step pixels apart.
void DrawColumn(QPainter& p, const QString& text, qsizetype count, double x, double top, double step, double size) {
    for (qsizetype i = 0; i < count && i < text.size(); ++i)
        p.drawText(QRectF(x, top + i * step, size, size), Qt::AlignCenter, text.mid(i, 1));
}

void DrawSeal(QPainter& p, const QRectF& r, double opacity) {
    p.save();
    p.setOpacity(opacity);
    p.setPen(Qt::NoPen);
    p.setBrush(colour::kVermilion);
    p.drawRoundedRect(r, r.width() * 0.12, r.width() * 0.12);
    p.setPen(QPen(colour::kPaper, std::max(1.0, r.width() / 28)));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(r.width() * 0.1, r.width() * 0.1, -r.width() * 0.1, -r.width() * 0.1), 3, 3);
    p.setFont(Font(kSerifJapanese, int(r.height() * 0.62), QFont::Black));
    p.setPen(colour::kPaper);
    p.drawText(r, Qt::AlignCenter, QStringLiteral("書"));
    p.restore();
}

// 0 before frame first, 1 from frame last on, linear between.
double Ramp(int frame, int first, int last) { return std::clamp(double(frame - first) / (last - first), 0.0, 1.0); }

QImage SplashFrame(int frame) {
    QImage image(kMovieWidth, kMovieHeight, QImage::Format_RGB32);
    image.fill(colour::kNight);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    p.setFont(Font(kSerifChinese, 44));
    for (qsizetype i = 0; i < 5; ++i) {
        const double shown = Ramp(frame, int(i) * 2, int(i) * 2 + 3);
        if (shown <= 0) continue;
        p.setOpacity(shown);
        p.setPen(colour::kGold);
        DrawColumn(p, kVerse.mid(i, 1), 1, 610, 60 + double(i) * 64, 64, 56);
    }
    if (const double rule = Ramp(frame, 2, 12); rule > 0) {
        p.setOpacity(rule * 0.6);
        p.setPen(QPen(colour::kGold, 1));
        p.drawLine(QPointF(585, 60), QPointF(585, 60 + 64 * 5 * rule));
    }

    p.setOpacity(Ramp(frame, 10, 15));
    p.setPen(colour::kIvory);
    p.setFont(Font(kSerifJapanese, 92, QFont::Bold));
    p.drawText(QRectF(96, 110, 420, 120), Qt::AlignLeft | Qt::AlignVCenter, kTitle);
    if (const double rule = Ramp(frame, 11, 18); rule > 0) {
        p.setOpacity(1);
        p.setPen(QPen(colour::kGold, 2, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(102, 238), QPointF(102 + 360 * rule, 238));
    }
    p.setOpacity(Ramp(frame, 13, 18));
    p.setPen(colour::kGold);
    p.setFont(Font(kSerifJapanese, 28));
    p.drawText(QRectF(100, 250, 420, 44), Qt::AlignLeft | Qt::AlignVCenter, kSubtitle);

    const double stamp = Ramp(frame, 18, 21);
    if (stamp > 0) {
        const double size = 64 * (1.5 - 0.5 * stamp);
        DrawSeal(p, QRectF(430 - size / 2, 340 - size / 2, size, size), stamp);
    }
    return image;
}

// The movie's palette: ramps from the background to each colour used, and
// from vermilion to paper for the seal's mark.
QList<QRgb> MoviePalette() {
    QList<QRgb> palette;
    const auto ramp = [&palette](const QColor& from, const QColor& to, int steps) {
        for (int i = 0; i < steps; ++i) {
            const double t = double(i) / (steps - 1);
            palette.append(qRgb(int(std::lround(from.red() + (to.red() - from.red()) * t)),
                                int(std::lround(from.green() + (to.green() - from.green()) * t)),
                                int(std::lround(from.blue() + (to.blue() - from.blue()) * t))));
        }
    };
    ramp(colour::kNight, colour::kGold, 72);
    ramp(colour::kNight, colour::kIvory, 72);
    ramp(colour::kNight, colour::kVermilion, 40);
    ramp(colour::kVermilion, colour::kPaper, 40);
    ramp(colour::kNight, QColor(0x6B, 0x6F, 0x8E), 32);
    return palette;
}

int Distance(QRgb a, QRgb b) {
    const int r = qRed(a) - qRed(b), g = qGreen(a) - qGreen(b), bl = qBlue(a) - qBlue(b);
    return r * r * 3 + g * g * 4 + bl * bl * 2;
}

QImage ToPalette(const QImage& image, const QList<QRgb>& palette, QHash<QRgb, uchar>& nearest) {
    QImage indexed(image.size(), QImage::Format_Indexed8);
    indexed.setColorTable(palette);
    for (int y = 0; y < image.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uchar* out = indexed.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = in[x] | 0xFF000000;
            auto found = nearest.constFind(pixel);
            if (found == nearest.constEnd()) {
                int best = 0;
                for (int i = 1; i < palette.size(); ++i)
                    if (Distance(pixel, palette[i]) < Distance(pixel, palette[best])) best = i;
                found = nearest.insert(pixel, uchar(best));
            }
            out[x] = found.value();
        }
    }
    return indexed;
}

}  // namespace

QImage AboutPicture(const QString& version) {
    QImage image(500, 350, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient night(QPointF(0, 0), QPointF(0, 350));
    night.setColorAt(0, colour::kNight);
    night.setColorAt(1, QColor(0x2A, 0x24, 0x46));
    p.fillRect(image.rect(), night);

    p.setFont(Font(kSerifChinese, 30));
    p.setPen(QColor(colour::kGold.red(), colour::kGold.green(), colour::kGold.blue(), 70));
    DrawColumn(p, kVerse, kVerse.size(), 436, 14, 36, 36);
    p.setPen(QPen(QColor(colour::kGold.red(), colour::kGold.green(), colour::kGold.blue(), 110), 1));
    p.drawLine(QPointF(420, 18), QPointF(420, 332));

    p.setPen(colour::kIvory);
    p.setFont(Font(kSerifJapanese, 68, QFont::Bold));
    p.drawText(QRectF(38, 70, 360, 90), Qt::AlignLeft | Qt::AlignVCenter, kTitle);
    p.setPen(QPen(colour::kGold, 1.5));
    p.drawLine(QPointF(42, 166), QPointF(380, 166));
    p.setPen(colour::kGold);
    p.setFont(Font(kSerifJapanese, 21));
    p.drawText(QRectF(40, 176, 360, 34), Qt::AlignLeft | Qt::AlignVCenter, kSubtitle);
    p.setPen(colour::kIvory);
    p.setFont(Font(kSerifJapanese, 15));
    p.drawText(QRectF(42, 220, 360, 24), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("バージョン %1").arg(version));
    p.setPen(QColor(0x9A, 0x9C, 0xB8));
    p.setFont(Font(kSerifJapanese, 12));
    p.drawText(QRectF(42, 300, 360, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("クリック、Enter または Esc で閉じます"));
    DrawSeal(p, QRectF(330, 212, 48, 48), 1);
    return image;
}

bool WriteSplashMovie(const QString& path) {
    const QList<QRgb> palette = MoviePalette();
    QHash<QRgb, uchar> nearest;
    CGifWriter writer(kMovieWidth, kMovieHeight, palette);
    for (int frame = 0; frame < kFrameCount; ++frame)
        writer.AddFrame(ToPalette(SplashFrame(frame), palette, nearest), frame + 1 == kFrameCount ? kLastDelay : kFrameDelay);
    return writer.Save(path);
}

}  // namespace artwork
