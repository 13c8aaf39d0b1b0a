// What every quorel-cli command shares: exit statuses, the scope names, the
// usage text and the notifier that writes the core's messages to stderr.
#pragma once

#include <iostream>
#include <string>

#include "index/notifier.h"

namespace cli {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;  // the data cannot be opened, or what was asked for does not exist
constexpr int kExitUsage = 2;

// A --scope value: the index files it opens and the part of a page it marks.
struct Scope {
    const char* name;
    int scopeType;    // 0 full text, 1 annotations, 2 main text
    int renderScope;  // 0 everything, 1 main text, 2 annotations
};
inline constexpr Scope kScopes[] = {{"full", 0, 0}, {"main", 2, 1}, {"notes", 1, 2}};

// The scope of a --scope value; null when there is none of that name.
const Scope* FindScope(const std::string& name);

// Prints problem and the usage text to stderr; returns kExitUsage.
int UsageError(const std::string& problem);

// Prints "quorel-cli: " and problem to stderr; returns kExitFailed.
int Failure(const std::string& problem);

class CStderrNotifier : public CNotifier {
public:
    void ShowMessage(const std::string& text) override { std::cerr << text << '\n'; }
};

}  // namespace cli
