// CScratchFolder: a fresh folder under the temporary folder ($TMPDIR) for the
// data files one fuzz process writes, removed when the object is destroyed.
// tests/fuzz/run points TMPDIR at a folder of its own, so a crashed process
// leaves nothing behind either.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

class CScratchFolder {
public:
    CScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quorel-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        m_path = pattern;
    }
    ~CScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }

    // Replaces the file name in the folder with bytes; aborts when it cannot,
    // since every later result would be meaningless.
    void Write(const std::string& name, std::string_view bytes) const {
        std::ofstream file(m_path / name, std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), std::streamsize(bytes.size()));
        if (!file.flush()) {
            std::fprintf(stderr, "cannot write %s\n", (m_path / name).c_str());
            std::abort();
        }
    }

private:
    std::filesystem::path m_path;
};
