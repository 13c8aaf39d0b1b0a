// Runs quorel-cli with arguments and captures its stdout, stderr and exit status.
#pragma once

#include <string>
#include <vector>

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

CliResult RunCli(const std::vector<std::string>& args);
