// CImportError: the package's JSON cannot be turned into a source tree (a file
// missing or unreadable, invalid JSON, an unexpected shape, a failed write).
// The message names the file and says what is wrong.
#pragma once

#include <stdexcept>
#include <string>

class CImportError : public std::runtime_error {
public:
    explicit CImportError(const std::string& what) : std::runtime_error(what) {}
};
