#include "build/linereader.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "build/builderror.h"

namespace {

constexpr size_t kChunkBytes = 1 << 16;

}  // namespace

CLineReader::CLineReader(const std::filesystem::path& path) : m_path(path), m_buffer(kChunkBytes, '\0') {
    // Non-blocking, so that a named pipe in the source is refused instead of waited on.
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (m_fd < 0) throw CBuildError("cannot open " + path.string() + ": " + std::strerror(errno));
    struct stat info;
    if (::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(m_fd);
        throw CBuildError("cannot read " + path.string() + ": not a regular file");
    }
}

CLineReader::~CLineReader() { ::close(m_fd); }

bool CLineReader::Next(std::string_view& line) {
    size_t searchFrom = m_start;
    for (;;) {
        const void* newline = std::memchr(m_buffer.data() + searchFrom, '\n', m_end - searchFrom);
        if (newline) {
            const size_t end = size_t(static_cast<const char*>(newline) - m_buffer.data());
            line = std::string_view(m_buffer).substr(m_start, end - m_start);
            m_bytesRead += end + 1 - m_start;
            m_start = end + 1;
            ++m_nLine;
            return true;
        }
        searchFrom = m_end - m_start;  // the bytes searched so far move to the front
        if (!Fill()) break;
    }
    if (m_start == m_end) return false;
    line = std::string_view(m_buffer).substr(m_start, m_end - m_start);  // a last line without "\n"
    m_bytesRead += m_end - m_start;
    m_start = m_end;
    ++m_nLine;
    return true;
}

// Moves the unread bytes to the front and reads more behind them; false at the
// end of the file. The buffer grows when one line fills it.
bool CLineReader::Fill() {
    if (m_bAtEnd) return false;
    if (m_end - m_start > kMaxLineBytes)
        throw CBuildError(m_path.string() + ":" + std::to_string(m_nLine + 1) + ": a line longer than " +
                          std::to_string(kMaxLineBytes >> 20) + " MiB");
    m_buffer.erase(0, m_start);
    m_end -= m_start;
    m_start = 0;
    if (m_buffer.size() - m_end < kChunkBytes) m_buffer.resize(m_end + kChunkBytes);
    for (;;) {
        const ssize_t got = ::read(m_fd, m_buffer.data() + m_end, m_buffer.size() - m_end);
        if (got > 0) {
            m_end += size_t(got);
            return true;
        }
        if (got == 0) {
            m_bAtEnd = true;
            return false;
        }
        if (errno != EINTR) throw CBuildError("cannot read " + m_path.string() + ": " + std::strerror(errno));
    }
}
