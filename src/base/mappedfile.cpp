#include "base/mappedfile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

bool CMappedFile::Open(const std::filesystem::path& path) {
    Close();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info;
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    if (ok && info.st_size > 0) {
        void* view = ::mmap(nullptr, size_t(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
        ok = view != MAP_FAILED;
        if (ok) {
            m_data = static_cast<const unsigned char*>(view);
            m_size = size_t(info.st_size);
        }
    }
    ::close(fd);  // the mapping keeps the file
    return ok;
}

void CMappedFile::Close() {
    if (m_data) ::munmap(const_cast<unsigned char*>(m_data), m_size);
    m_data = nullptr;
    m_size = 0;
}
