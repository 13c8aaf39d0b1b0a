#include "import/sourcewriter.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

#include <unistd.h>

#include "import/importerror.h"

namespace fs = std::filesystem;

namespace {

fs::path NormalTarget(const fs::path& target) {
    fs::path normal = fs::weakly_canonical(fs::absolute(target));
    if (normal.filename().empty()) normal = normal.parent_path();
    if (normal == normal.root_path()) throw CImportError(target.string() + ": cannot replace the root folder");
    return normal;
}

void CheckReplaceable(const fs::path& target) {
    std::error_code error;
    const auto status = fs::status(target, error);
    if (!fs::exists(status)) return;
    if (!fs::is_directory(status)) throw CImportError(target.string() + ": exists and is not a folder");
    if (fs::is_empty(target) || fs::exists(target / CSourceWriter::kCollectionFile)) return;
    throw CImportError(target.string() + ": folder is not empty and holds no " + CSourceWriter::kCollectionFile +
                       "; not replacing it");
}

fs::path Sibling(const fs::path& target, const char* purpose) {
    return target.parent_path() / ("." + target.filename().string() + "." + purpose + "-" + std::to_string(getpid()));
}

}  // namespace

CSourceWriter::CSourceWriter(const fs::path& target) : m_target(NormalTarget(target)) {
    CheckReplaceable(m_target);
    m_staging = Sibling(m_target, "part");
    std::error_code error;
    fs::remove_all(m_staging, error);
    fs::create_directories(m_staging, error);
    if (error) throw CImportError(m_staging.string() + ": cannot create folder: " + error.message());
}

CSourceWriter::~CSourceWriter() {
    if (m_committed) return;
    std::error_code ignored;
    fs::remove_all(m_staging, ignored);
}

void CSourceWriter::WriteHeader(int headerWord, const std::string& headerText) {
    WriteFile(m_staging / kCollectionFile, std::to_string(headerWord) + "\n" + headerText + "\n");
}

void CSourceWriter::WriteBook(const std::string& categoryFolder, const std::string& bookFolder, const SourceBook& book) {
    for (size_t i = 0; i < book.volumes.size(); ++i) {
        const auto& volume = book.volumes[i];
        WriteVolume(categoryFolder, bookFolder, PrefixedName(i + 1, book.volumes.size(), volume.name), volume.text);
    }
}

void CSourceWriter::WriteVolume(const std::string& categoryFolder, const std::string& bookFolder,
                                const std::string& fileName, const std::string& text) {
    const fs::path folder = m_staging / categoryFolder / bookFolder;
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) throw CImportError(folder.string() + ": cannot create folder: " + error.message());
    WriteFile(folder / (fileName + ".txt"), text);
}

void CSourceWriter::Commit() {
    const fs::path old = Sibling(m_target, "old");
    std::error_code error;
    fs::remove_all(old, error);
    const bool hadTarget = fs::exists(m_target);
    if (hadTarget) {
        fs::rename(m_target, old, error);
        if (error) throw CImportError(m_target.string() + ": cannot move the old tree aside: " + error.message());
    }
    fs::rename(m_staging, m_target, error);
    if (error) {
        std::error_code ignored;
        if (hadTarget) fs::rename(old, m_target, ignored);
        throw CImportError(m_target.string() + ": cannot put the new tree in place: " + error.message());
    }
    m_committed = true;
    fs::remove_all(old, error);
}

std::string CSourceWriter::PrefixedName(size_t number, size_t count, const std::string& name) {
    const int width = std::max<int>(2, int(std::to_string(count).size()));
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "%0*zu-", width, number);
    return prefix + name;
}

void CSourceWriter::WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), std::streamsize(text.size()));
    out.close();
    if (!out) throw CImportError(path.string() + ": cannot write");
}
