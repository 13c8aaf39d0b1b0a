// The GIF writer of the splash animation: what it writes must decode, pixel
// for pixel, through Qt's own GIF reader, across code-size steps and
// dictionary resets.
#include <random>

#include <QBuffer>
#include <QImageReader>
#include <QTest>

#include "gifwriter.h"

namespace {

QList<QRgb> GreyPalette() {
    QList<QRgb> palette;
    for (int i = 0; i < 256; ++i) palette.append(qRgb(i, 255 - i, (i * 7) & 0xFF));
    return palette;
}

QImage IndexedFrame(int width, int height, const QList<QRgb>& palette) {
    QImage frame(width, height, QImage::Format_Indexed8);
    frame.setColorTable(palette);
    return frame;
}

}  // namespace

class TestGifWriter : public QObject {
    Q_OBJECT

private slots:
    // Noise fills the code table many times over; flat and striped frames make
    // long codes. Every frame must come back as written.
    void framesDecodeAsWritten() {
        const QList<QRgb> palette = GreyPalette();
        QList<QImage> frames;
        std::mt19937 random(5);
        QImage noise = IndexedFrame(317, 203, palette);
        for (int y = 0; y < noise.height(); ++y)
            for (int x = 0; x < noise.width(); ++x) noise.setPixel(x, y, uint(random() % 256));
        frames << noise;
        QImage flat = IndexedFrame(317, 203, palette);
        flat.fill(3);
        frames << flat;
        QImage stripes = IndexedFrame(317, 203, palette);
        for (int y = 0; y < stripes.height(); ++y)
            for (int x = 0; x < stripes.width(); ++x) stripes.setPixel(x, y, uint((x / 3 + y) % 5));
        frames << stripes;

        CGifWriter writer(317, 203, palette);
        for (const QImage& frame : frames) QVERIFY(writer.AddFrame(frame, 7));
        QByteArray bytes = writer.GetBytes();
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer, "gif");
        QCOMPARE(reader.imageCount(), 3);
        for (const QImage& written : frames) {
            const QImage read = reader.read().convertToFormat(QImage::Format_RGB32);
            QVERIFY2(!read.isNull(), qPrintable(reader.errorString()));
            QCOMPARE(reader.nextImageDelay(), 70);
            for (int y = 0; y < written.height(); ++y)
                for (int x = 0; x < written.width(); ++x)
                    QCOMPARE(read.pixel(x, y), palette[written.pixelIndex(x, y)]);
        }
        QCOMPARE(reader.loopCount(), -1);  // for ever
    }

    // A frame of another size or format is refused, not written half.
    void wrongFramesAreRefused() {
        const QList<QRgb> palette = GreyPalette();
        CGifWriter writer(10, 10, palette);
        const QByteArray before = writer.GetBytes();
        QVERIFY(!writer.AddFrame(IndexedFrame(11, 10, palette), 5));
        QVERIFY(!writer.AddFrame(QImage(10, 10, QImage::Format_RGB32), 5));
        QCOMPARE(writer.GetBytes(), before);
    }
};

QTEST_MAIN(TestGifWriter)
#include "test_gifwriter.moc"
