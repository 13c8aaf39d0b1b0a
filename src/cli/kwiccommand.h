// The kwic command of quorel-cli: searches the collection and prints one
// concordance line per hit marked on the hit pages, in result order or sorted.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

class CNotifier;

// args are the words after "kwic". Returns the exit status.
int RunKwicCommand(const std::filesystem::path& dataFolder, const std::vector<std::string>& args,
                   CNotifier& notifier);
