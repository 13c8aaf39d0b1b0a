#include "build/outputfolder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>

#include "build/builderror.h"

namespace fs = std::filesystem;

COutputFolder::COutputFolder(const fs::path& output) : m_output(fs::absolute(output).lexically_normal()) {
    if (!m_output.has_filename()) m_output = m_output.parent_path();
    std::error_code error;
    const fs::file_status status = fs::status(m_output, error);
    if (fs::exists(status) && !fs::is_directory(status))
        throw CBuildError(output.string() + ": exists and is not a folder");
    fs::create_directories(m_output.parent_path(), error);
    if (error) throw CBuildError("cannot create " + m_output.parent_path().string() + ": " + error.message());
    std::string pattern = (m_output.parent_path() / ("." + m_output.filename().string() + ".building-XXXXXX")).string();
    if (!::mkdtemp(pattern.data())) throw CBuildError("cannot create a folder beside " + output.string() + ": " + std::strerror(errno));
    m_temp = pattern;
    // mkdtemp makes the folder private; the collection gets the usual permissions.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    fs::permissions(m_temp, fs::perms(0777 & ~mask), error);
}

COutputFolder::~COutputFolder() {
    if (m_bCommitted) return;
    std::error_code ignored;
    fs::remove_all(m_temp, ignored);
}

void COutputFolder::Commit(const std::vector<std::string>& fileNames, const std::vector<std::string>& staleNames) {
    std::error_code error;
    fs::rename(m_temp, m_output, error);  // also takes the place of an empty folder
    if (!error) {
        m_bCommitted = true;
        return;
    }
    if (!fs::is_directory(m_output)) throw CBuildError("cannot create " + m_output.string() + ": " + error.message());
    for (const std::string& name : staleNames) {
        fs::remove(m_output / name, error);
        if (error) throw CBuildError("cannot remove " + name + " from " + m_output.string() + ": " + error.message());
    }
    for (const std::string& name : fileNames) {
        fs::rename(m_temp / name, m_output / name, error);
        if (error) throw CBuildError("cannot move " + name + " into " + m_output.string() + ": " + error.message());
    }
    fs::remove_all(m_temp, error);
    m_bCommitted = true;
}
