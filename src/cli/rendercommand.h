// The render command of quorel-cli: writes the hit page of one page for a
// keyword to stdout, byte for byte as the reader window would show it, and its
// anchor count to stderr.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

class CNotifier;

// Runs "render [--scope full|main|notes] [--no-variants] PAGE KEYWORD" (args
// are the words after "render") on the collection in dataFolder; notifier is
// told when the data cannot be opened. Returns the exit status: 0 rendered,
// 1 data that cannot be opened or a page that is out of range or unreadable,
// 2 a usage error.
int RunRenderCommand(const std::filesystem::path& dataFolder, const std::vector<std::string>& args,
                     CNotifier& notifier);
