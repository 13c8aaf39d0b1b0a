// CBuildError: why a collection could not be built from its source, as a
// message for the user that names the file (and line) at fault.
#pragma once

#include <stdexcept>
#include <string>

class CBuildError : public std::runtime_error {
public:
    explicit CBuildError(const std::string& what) : std::runtime_error(what) {}
};
