// CSpoolFile: a file written front to back through a large buffer. The
// collection writer streams page content and posting blocks into spool files
// while pages arrive. Every write error raises CWriterError naming the file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string_view>

class CSpoolFile {
public:
    CSpoolFile() = default;
    ~CSpoolFile();
    CSpoolFile(const CSpoolFile&) = delete;
    CSpoolFile& operator=(const CSpoolFile&) = delete;

    // Creates (or truncates) path for writing.
    void Create(const std::filesystem::path& path);
    void Append(std::string_view bytes);
    // Hands the buffered bytes to the file, so that a mapping or a copy of the
    // file sees everything appended so far.
    void Flush();
    // Flushes and closes; reports a failed close. Safe on a closed file.
    void Close();

    bool IsOpen() const { return m_file != nullptr; }
    // Bytes appended since Create.
    uint64_t Size() const { return m_size; }
    const std::filesystem::path& Path() const { return m_path; }

private:
    [[noreturn]] void Fail(const char* action) const;

    std::FILE* m_file = nullptr;
    std::filesystem::path m_path;
    uint64_t m_size = 0;
};
