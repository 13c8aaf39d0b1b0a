// CFuzzInput: reads a fuzz target's input from the front, field by field.
// A field that runs past the end reads as zeros (or as the bytes that are
// left), so every input decodes to something. The input must outlive it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class CFuzzInput {
public:
    CFuzzInput(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    size_t Left() const { return m_size - m_pos; }

    uint8_t TakeByte() { return m_pos < m_size ? m_data[m_pos++] : 0; }

    // Little-endian, as the data files store their integers.
    uint16_t TakeUint16() {
        const uint16_t low = TakeByte();
        return uint16_t(low | TakeByte() << 8);
    }
    uint32_t TakeUint32() {
        const uint32_t low = TakeUint16();
        return low | uint32_t(TakeUint16()) << 16;
    }

    // Up to count bytes, fewer when the input ends first.
    std::string_view TakeBytes(size_t count) {
        const size_t n = count < Left() ? count : Left();
        const std::string_view bytes(reinterpret_cast<const char*>(m_data + m_pos), n);
        m_pos += n;
        return bytes;
    }
    std::string_view TakeRest() { return TakeBytes(Left()); }

    // UTF-16LE units from the rest of the input; an odd last byte is dropped.
    std::u16string TakeUnits(size_t count) {
        std::u16string units;
        while (units.size() < count && Left() >= 2) units.push_back(char16_t(TakeUint16()));
        return units;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};
