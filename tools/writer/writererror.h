// CWriterError: raised when a collection cannot be written, because its input
// exceeds a limit of the file formats or because a file cannot be written.
#pragma once

#include <stdexcept>
#include <string>

class CWriterError : public std::runtime_error {
public:
    explicit CWriterError(const std::string& what, int page = -1) : std::runtime_error(what), m_nPage(page) {}
    // The page number at fault, -1 when the fault is not one page's.
    int Page() const { return m_nPage; }

private:
    int m_nPage;
};
