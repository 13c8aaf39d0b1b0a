#include "writer/spoolfile.h"

#include <cerrno>
#include <cstring>

#include "writer/writererror.h"

namespace {

constexpr size_t kBufferBytes = 1 << 18;

}  // namespace

CSpoolFile::~CSpoolFile() {
    if (m_file) std::fclose(m_file);  // an unfinished spool; its errors no longer matter
}

void CSpoolFile::Create(const std::filesystem::path& path) {
    if (m_file) std::fclose(m_file);
    m_path = path;
    m_size = 0;
    m_file = std::fopen(path.c_str(), "wb");
    if (!m_file) Fail("create");
    std::setvbuf(m_file, nullptr, _IOFBF, kBufferBytes);
}

void CSpoolFile::Append(std::string_view bytes) {
    if (!m_file) throw CWriterError("cannot write " + m_path.string() + ": the file is closed");
    if (bytes.empty()) return;
    if (std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size()) Fail("write");
    m_size += bytes.size();
}

void CSpoolFile::Flush() {
    if (std::fflush(m_file) != 0) Fail("write");
}

void CSpoolFile::Close() {
    if (!m_file) return;
    std::FILE* file = m_file;
    m_file = nullptr;
    if (std::fclose(file) != 0) Fail("write");
}

void CSpoolFile::Fail(const char* action) const {
    throw CWriterError(std::string("cannot ") + action + " " + m_path.string() + ": " + std::strerror(errno));
}
