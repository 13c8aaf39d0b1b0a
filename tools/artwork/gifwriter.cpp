#include "gifwriter.h"

#include <vector>

#include <QFile>

namespace {

constexpr int kPaletteSize = 256;
constexpr int kMinCodeSize = 8;  // 256 colours
constexpr int kClearCode = 1 << kMinCodeSize;
constexpr int kEndCode = kClearCode + 1;
constexpr int kMaxCodes = 4096;  // codes are at most 12 bits
constexpr int kMaxSubBlock = 255;

void PutWord(QByteArray& out, int value) {
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

// Packs codes least significant bit first into the data sub-blocks of an image.
class CodeWriter {
public:
    explicit CodeWriter(QByteArray& out) : m_out(out) {}

    void Write(int code, int size) {
        m_bits |= uint32_t(code) << m_nBitCount;
        m_nBitCount += size;
        while (m_nBitCount >= 8) {
            PutByte(uint8_t(m_bits & 0xFF));
            m_bits >>= 8;
            m_nBitCount -= 8;
        }
    }

    // Writes the last bits and the empty block that ends the data.
    void Finish() {
        if (m_nBitCount > 0) PutByte(uint8_t(m_bits & 0xFF));
        FlushBlock();
        m_out.append('\0');
    }

private:
    void PutByte(uint8_t byte) {
        m_block.append(char(byte));
        if (m_block.size() == kMaxSubBlock) FlushBlock();
    }

    void FlushBlock() {
        if (m_block.isEmpty()) return;
        m_out.append(char(m_block.size()));
        m_out.append(m_block);
        m_block.clear();
    }

    QByteArray& m_out;
    QByteArray m_block;
    uint32_t m_bits = 0;
    int m_nBitCount = 0;
};

}  // namespace

CGifWriter::CGifWriter(int width, int height, const QList<QRgb>& palette) : m_nWidth(width), m_nHeight(height) {
    m_Bytes.append("GIF89a");
    PutWord(m_Bytes, width);
    PutWord(m_Bytes, height);
    m_Bytes.append(char(0xF7));  // global colour table of 2^(7+1) entries, 8 bits per primary
    m_Bytes.append('\0');        // background colour index
    m_Bytes.append('\0');        // square pixels
    for (int i = 0; i < kPaletteSize; ++i) {
        const QRgb colour = i < palette.size() ? palette[i] : qRgb(0, 0, 0);
        m_Bytes.append(char(qRed(colour)));
        m_Bytes.append(char(qGreen(colour)));
        m_Bytes.append(char(qBlue(colour)));
    }
    // Application extension: loop for ever.
    m_Bytes.append("\x21\xFF\x0B" "NETSCAPE2.0" "\x03\x01", 16);
    PutWord(m_Bytes, 0);
    m_Bytes.append('\0');
}

bool CGifWriter::AddFrame(const QImage& frame, int delayCentiseconds) {
    if (frame.format() != QImage::Format_Indexed8 || frame.width() != m_nWidth || frame.height() != m_nHeight)
        return false;
    m_Bytes.append("\x21\xF9\x04", 3);  // graphic control extension
    m_Bytes.append(char(1 << 2));       // keep the frame in place, no transparency
    PutWord(m_Bytes, delayCentiseconds);
    m_Bytes.append('\0');
    m_Bytes.append('\0');
    m_Bytes.append(char(0x2C));  // image descriptor: the whole screen, global colours
    PutWord(m_Bytes, 0);
    PutWord(m_Bytes, 0);
    PutWord(m_Bytes, m_nWidth);
    PutWord(m_Bytes, m_nHeight);
    m_Bytes.append('\0');
    WriteImageData(frame);
    return true;
}

// LZW with a code tree: next[code * 256 + pixel] is the code that extends
// code by pixel, 0 while there is none (no extension code can be 0).
void CGifWriter::WriteImageData(const QImage& frame) {
    m_Bytes.append(char(kMinCodeSize));
    CodeWriter writer(m_Bytes);
    std::vector<uint16_t> next(size_t(kMaxCodes) * kPaletteSize, 0);
    int codeSize = kMinCodeSize + 1;
    int lastCode = kEndCode;
    int current = -1;
    writer.Write(kClearCode, codeSize);
    for (int y = 0; y < m_nHeight; ++y) {
        const uchar* line = frame.constScanLine(y);
        for (int x = 0; x < m_nWidth; ++x) {
            const int pixel = line[x];
            if (current < 0) {
                current = pixel;
                continue;
            }
            uint16_t& extension = next[size_t(current) * kPaletteSize + size_t(pixel)];
            if (extension != 0) {
                current = extension;
                continue;
            }
            writer.Write(current, codeSize);
            extension = uint16_t(++lastCode);
            if (lastCode >= (1 << codeSize)) ++codeSize;
            if (lastCode == kMaxCodes - 1) {
                writer.Write(kClearCode, codeSize);
                std::fill(next.begin(), next.end(), 0);
                codeSize = kMinCodeSize + 1;
                lastCode = kEndCode;
            }
            current = pixel;
        }
    }
    if (current >= 0) writer.Write(current, codeSize);
    writer.Write(kClearCode, codeSize);
    writer.Write(kEndCode, kMinCodeSize + 1);
    writer.Finish();
}

QByteArray CGifWriter::GetBytes() const { return m_Bytes + QByteArray(1, char(0x3B)); }

bool CGifWriter::Save(const QString& path) const {
    QFile file(path);
    const QByteArray bytes = GetBytes();
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}
