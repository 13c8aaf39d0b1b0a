// Test fixtures: a temporary folder removed at the end of the test, a notifier
// that records messages, and small collections written with the collection
// writer from page texts (every character one full-text position).
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "base/codeconverter.h"
#include "index/notifier.h"
#include "writer/collectionwriter.h"

class CTempDir {
public:
    CTempDir() {
        std::random_device seed;
        m_path = std::filesystem::temp_directory_path() / ("quorel-test-" + std::to_string(seed()) + std::to_string(seed()));
        std::filesystem::create_directories(m_path);
    }
    ~CTempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

class CRecordingNotifier : public CNotifier {
public:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

inline std::u16string U16(const std::string& utf8) {
    std::u16string out;
    CCodeConverter::Utf8ToUtf16(utf8, out);
    return out;
}

inline std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every file under folder as "a/b/c.txt", sorted.
inline std::vector<std::string> TreeFiles(const std::filesystem::path& folder) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file()) files.push_back(entry.path().lexically_relative(folder).generic_string());
    std::sort(files.begin(), files.end());
    return files;
}

inline void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), std::streamsize(bytes.size()));
}

// A page whose full-text and main-text positions are the characters of text.
inline WriterPage TextPage(const std::string& recordName, const std::string& text) {
    WriterPage page;
    page.recordName = recordName;
    page.html = "<html><title>t</title><TD>" + text + "</TD><TD></TD></html>";
    const auto occurrences = CCollectionWriter::Occurrences(U16(text));
    page.occurrences[0] = occurrences;
    page.occurrences[2] = occurrences;
    return page;
}

// Writes one page per text into folder, named a\0001.htm, a\0002.htm, ...
inline void WriteTextCollection(const std::filesystem::path& folder, const std::vector<std::string>& texts,
                                WriterOptions options = {}, std::vector<std::vector<uint32_t>> groups = {}) {
    CCollectionWriter writer(options);
    for (size_t i = 0; i < texts.size(); ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "a\\%04zu.htm", i + 1);
        writer.AddPage(TextPage(name, texts[i]));
    }
    writer.SetVariantGroups(std::move(groups));
    writer.Write(folder);
}
