// CReadOnlyFile: an open file read with positioned reads; owns its descriptor.
// Reads that cannot deliver their full byte count raise CDataFileError.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

class CReadOnlyFile {
public:
    CReadOnlyFile() = default;
    ~CReadOnlyFile() { Close(); }
    CReadOnlyFile(const CReadOnlyFile&) = delete;
    CReadOnlyFile& operator=(const CReadOnlyFile&) = delete;

    // Opens path for reading; false when it cannot be opened or is no regular file.
    bool Open(const std::filesystem::path& path);
    void Close();
    bool IsOpen() const { return m_fd >= 0; }
    // Size taken at open.
    uint64_t Size() const { return m_size; }

    // Reads exactly count bytes at offset; raises CDataFileError otherwise.
    void ReadExactly(uint64_t offset, void* buffer, size_t count) const;
    // Reads up to count bytes at offset; returns how many were read (fewer at the end).
    size_t ReadSome(uint64_t offset, void* buffer, size_t count) const;

private:
    int m_fd = -1;
    uint64_t m_size = 0;
};
