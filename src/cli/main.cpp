// quorel-cli: the command-line front end over the core. See the usage text in
// clicommon.cpp for its commands.
#include <filesystem>
#include <string>
#include <vector>

#include "cli/clicommon.h"
#include "cli/kwiccommand.h"
#include "cli/rendercommand.h"
#include "cli/searchcommand.h"
#include "cli/toccommand.h"

namespace {

using Command = int (*)(const std::filesystem::path&, const std::vector<std::string>&, CNotifier&);

struct NamedCommand {
    const char* name;
    Command run;
};
constexpr NamedCommand kCommands[] = {
    {"search", RunSearchCommand},
    {"kwic", RunKwicCommand},
    {"render", RunRenderCommand},
    {"toc", RunTocCommand},
    {"page", RunPageCommand},
};

// The folder the collection is opened from when --data does not name one.
std::filesystem::path ExecutableFolder() {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path() : self.parent_path();
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::filesystem::path dataFolder = ExecutableFolder();
    size_t first = 0;
    if (!args.empty() && args[0] == "--data") {
        if (args.size() < 2) return cli::UsageError("--data needs a folder");
        dataFolder = args[1];
        first = 2;
    }
    if (first >= args.size()) return cli::UsageError("missing COMMAND");
    for (const NamedCommand& command : kCommands) {
        if (args[first] != command.name) continue;
        cli::CStderrNotifier notifier;
        return command.run(dataFolder, std::vector<std::string>(args.begin() + ptrdiff_t(first) + 1, args.end()),
                           notifier);
    }
    return cli::UsageError("unknown command " + args[first]);
}
