// CMappedFile: a whole file mapped read-only; owns the mapping and unmaps it
// when closed or destroyed. An empty file is a valid, empty mapping.
#pragma once

#include <cstddef>
#include <filesystem>

class CMappedFile {
public:
    CMappedFile() = default;
    ~CMappedFile() { Close(); }
    CMappedFile(const CMappedFile&) = delete;
    CMappedFile& operator=(const CMappedFile&) = delete;

    // Maps path; false when it cannot be opened or mapped.
    bool Open(const std::filesystem::path& path);
    void Close();

    // Valid while the file stays open; null for an empty file.
    const unsigned char* Data() const { return m_data; }
    size_t Size() const { return m_size; }

private:
    const unsigned char* m_data = nullptr;
    size_t m_size = 0;
};
