// The table-of-contents commands of quorel-cli: "toc" prints the listing of
// every record, "page" writes a stored page of a volume as the reader shows it.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

class CNotifier;

// args are the words after the command's name. Each returns the exit status.
int RunTocCommand(const std::filesystem::path& dataFolder, const std::vector<std::string>& args,
                  CNotifier& notifier);
int RunPageCommand(const std::filesystem::path& dataFolder, const std::vector<std::string>& args,
                   CNotifier& notifier);
