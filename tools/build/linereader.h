// CLineReader: reads a text file line by line through a buffer, so that a
// volume of any size is never held whole in memory. Lines end at "\n"; a "\r"
// before it stays in the line for the caller to strip.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

class CLineReader {
public:
    // Opens path; raises CBuildError when it cannot be opened or is no regular file.
    explicit CLineReader(const std::filesystem::path& path);
    ~CLineReader();
    CLineReader(const CLineReader&) = delete;
    CLineReader& operator=(const CLineReader&) = delete;

    // Longest line read; a paragraph this long is no text to lay out on pages.
    static constexpr size_t kMaxLineBytes = size_t(64) << 20;

    // The next line without its "\n"; false at the end of the file. The view
    // stays valid until the next call. A read error or a line longer than
    // kMaxLineBytes raises CBuildError.
    bool Next(std::string_view& line);
    // 1-based number of the line Next returned last.
    size_t LineNumber() const { return m_nLine; }
    // Bytes of the file consumed so far.
    uint64_t BytesRead() const { return m_bytesRead; }

private:
    bool Fill();

    std::filesystem::path m_path;
    int m_fd = -1;
    std::string m_buffer;
    size_t m_start = 0;  // first byte of m_buffer not yet returned
    size_t m_end = 0;    // end of the bytes read into m_buffer
    bool m_bAtEnd = false;
    size_t m_nLine = 0;
    uint64_t m_bytesRead = 0;
};
