// What every quorel-cli command shares: exit statuses, the usage text, the
// notifier that writes the core's messages to stderr, and the readings and
// writings of numbers and text its commands have in common.
#pragma once

#include <iostream>
#include <string>
#include <string_view>

#include "index/notifier.h"

namespace cli {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;  // the data cannot be opened, or what was asked for does not exist
constexpr int kExitUsage = 2;

// Told when the table of contents cannot be read.
constexpr const char* kNoTableOfContents = "you delete data file!";

// Prints problem and the usage text to stderr; returns kExitUsage.
int UsageError(const std::string& problem);

// Prints "quorel-cli: " and problem to stderr; returns kExitFailed.
int Failure(const std::string& problem);

// A whole decimal number (an optional "-" and digits, nothing else) that fits an int.
bool ParseNumber(const std::string& text, int& value);

// UTF-8 of text; an unpaired surrogate or a value past U+10FFFF is written as it stands.
std::string Utf8(std::u16string_view text);
std::string Utf8(std::u32string_view text);

class CStderrNotifier : public CNotifier {
public:
    void ShowMessage(const std::string& text) override { std::cerr << text << '\n'; }
};

}  // namespace cli
