// The search command of quorel-cli: searches the collection and prints the
// totals and the result entries as the search panel lists them, or (--raw)
// the index's result lists as they stand.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

class CNotifier;

// args are the words after "search". Returns the exit status.
int RunSearchCommand(const std::filesystem::path& dataFolder, const std::vector<std::string>& args,
                     CNotifier& notifier);
