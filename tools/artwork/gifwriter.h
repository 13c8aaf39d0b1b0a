// CGifWriter: writes an animated GIF (GIF89a) whose frames share one palette
// of up to 256 colours and which loops for ever. Qt reads GIF files but has no
// writer for them; the splash animation is written with this.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRgb>
#include <QString>

class CGifWriter {
public:
    // Colours past 256 are dropped; missing ones are black.
    CGifWriter(int width, int height, const QList<QRgb>& palette);

    // frame: the writer's size in QImage::Format_Indexed8, its pixel values
    // indexing the writer's palette. delay: how long it shows, in 1/100 s.
    // False (nothing added) when the frame does not fit.
    bool AddFrame(const QImage& frame, int delayCentiseconds);
    // The whole file so far, with the trailer.
    QByteArray GetBytes() const;
    bool Save(const QString& path) const;

private:
    void WriteImageData(const QImage& frame);

    int m_nWidth;
    int m_nHeight;
    QByteArray m_Bytes;  // everything but the trailer
};
