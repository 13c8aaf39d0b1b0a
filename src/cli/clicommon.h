// What every quorel-cli command shares: exit statuses, the usage text and the notifier that writes the core's messages to stderr.
#pragma once

#include <iostream>
#include <string>

#include "index/notifier.h"

namespace cli {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;  // the data cannot be opened, or what was asked for does not exist
constexpr int kExitUsage = 2;

// Prints problem and the usage text to stderr; returns kExitUsage.
int UsageError(const std::string& problem);

// Prints "quorel-cli: " and problem to stderr; returns kExitFailed.
int Failure(const std::string& problem);

class CStderrNotifier : public CNotifier {
public:
    void ShowMessage(const std::string& text) override { std::cerr << text << '\n'; }
};

}  // namespace cli
