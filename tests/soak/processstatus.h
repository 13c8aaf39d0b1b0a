// Figures of the running process from /proc/self/status, for the soak
// programs' memory checks.
#pragma once

#include <cstdlib>
#include <fstream>
#include <string>

// A line of /proc/self/status, in kB; -1 when the field is not there.
inline long StatusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0) return std::atol(line.c_str() + prefix.size());
    return -1;
}
