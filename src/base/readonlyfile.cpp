#include "base/readonlyfile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/datafileerror.h"

bool CReadOnlyFile::Open(const std::filesystem::path& path) {
    Close();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_size = uint64_t(info.st_size);
    return true;
}

void CReadOnlyFile::Close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    m_size = 0;
}

size_t CReadOnlyFile::ReadSome(uint64_t offset, void* buffer, size_t count) const {
    if (m_fd < 0) throw CDataFileError("read from a closed file");
    size_t done = 0;
    while (done < count) {
        const ssize_t got = ::pread(m_fd, static_cast<char*>(buffer) + done, count - done,
                                    off_t(offset + done));
        if (got < 0) {
            if (errno == EINTR) continue;
            throw CDataFileError("read error");
        }
        if (got == 0) break;
        done += size_t(got);
    }
    return done;
}

void CReadOnlyFile::ReadExactly(uint64_t offset, void* buffer, size_t count) const {
    if (ReadSome(offset, buffer, count) != count) throw CDataFileError("file ends early");
}
