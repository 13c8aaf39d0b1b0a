// CDataFileError: a data file that cannot be opened, read or trusted. Raised
// inside data-file operations and caught once at the operation's boundary.
#pragma once

#include <stdexcept>
#include <string>

class CDataFileError : public std::runtime_error {
public:
    explicit CDataFileError(const std::string& what) : std::runtime_error(what) {}
};
