// Bad sources and over-limit inputs: the builder stops with a message naming
// what is wrong, and the output folder stays as it was.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <functional>
#include <set>

#include "build/builderror.h"
#include "build/collectionbuilder.h"
#include "sourcefixture.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kVolume = "01-經部/01-論語/01-學而.txt";

struct ErrorCase {
    const char* name;
    std::function<void(const fs::path& source, BuildOptions& options)> spoil;
    const char* message;  // part of the error text
};

// The entries of folder with their contents (folders as "<dir>", long files by their size).
std::map<std::string, std::string> Listing(const fs::path& folder) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::string& content = entries[entry.path().filename().string()];
        content = entry.is_directory() ? "<dir>" : ReadFileBytes(entry.path());
        if (content.size() > 100) content = std::to_string(content.size()) + " bytes";
    }
    return entries;
}

std::string Repeat(const std::string& text, size_t count) {
    std::string out;
    for (size_t i = 0; i < count; ++i) out += text;
    return out;
}

// text with every mention of folder cut out.
std::string WithoutFolder(std::string text, const fs::path& folder) {
    const std::string name = folder.string();
    for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at)) text.erase(at, name.size());
    return text;
}

TEST(BuilderErrors, BadSourcesFailAndLeaveTheOutputAlone) {
    const ErrorCase cases[] = {
        {"missing source folder", [](const fs::path& source, BuildOptions& o) { o.source = source / "nowhere"; },
         "no such source folder"},
        {"source is a file", [](const fs::path& source, BuildOptions& o) { o.source = source / kVolume; },
         "no such source folder"},
        {"no volumes", [](const fs::path& source, BuildOptions&) { fs::remove(source / kVolume); }, "no volumes found"},
        {"a volume that cannot be opened",
         [](const fs::path& source, BuildOptions&) { fs::create_symlink(source / "gone", source / "01-經部/01-論語/02-為政.txt"); },
         "cannot open"},
        {"a volume that is a named pipe",
         [](const fs::path& source, BuildOptions&) { ::mkfifo((source / "01-經部/01-論語/02-為政.txt").c_str(), 0644); },
         "not a regular file"},
        {"invalid UTF-8 in a volume",
         [](const fs::path& source, BuildOptions&) { WriteSourceFile(source, kVolume, "子曰\n學\xE5\x80而\n"); },
         "01-學而.txt:2: invalid UTF-8 at byte 4"},
        {"an overlong form", [](const fs::path& source, BuildOptions&) { WriteSourceFile(source, kVolume, "\xC0\xAF\n"); },
         "invalid UTF-8"},
        {"an encoded surrogate",
         [](const fs::path& source, BuildOptions&) { WriteSourceFile(source, kVolume, "\xED\xA0\x80\n"); }, "invalid UTF-8"},
        {"a line longer than 64 MiB",
         [](const fs::path& source, BuildOptions&) { WriteSourceFile(source, kVolume, "a\n" + std::string((64 << 20) + 1, 'x')); },
         "01-學而.txt:2: a line longer than 64 MiB"},
        {"a control character", [](const fs::path& source, BuildOptions&) { WriteSourceFile(source, kVolume, "a\x01z\n"); },
         "01-學而.txt:1: control character U+0001"},
        {"invalid UTF-8 in a folder name",
         [](const fs::path& source, BuildOptions&) { WriteSourceFile(source, "02-\xFF\xFE/01-b/01-c.txt", "a\n"); },
         "the name is not valid UTF-8"},
        {"a name without its number",
         [](const fs::path& source, BuildOptions&) { WriteSourceFile(source, "01-經部/論語/01-學而.txt", "a\n"); },
         "must start with a number"},
        {"a number without a name",
         [](const fs::path& source, BuildOptions&) { WriteSourceFile(source, "01-經部/01-論語/02-.txt", "a\n"); },
         "no name after the number"},
        {"a name over 99 UTF-16 units (50 supplementary characters)",
         [](const fs::path& source, BuildOptions&) { WriteSourceFile(source, "01-經部/02-" + Repeat("𠀀", 50) + "/01-a.txt", "a\n"); },
         "longer than 99 characters"},
        {"a header word that is no number",
         [](const fs::path& source, BuildOptions&) { WriteSourceFile(source, "collection.txt", "seven\n"); },
         "collection.txt:1: the header word must be a decimal number"},
        {"a header word beyond 32 bits",
         [](const fs::path& source, BuildOptions&) { WriteSourceFile(source, "collection.txt", "4294967296\n"); },
         "the header word must be a decimal number"},
        {"a header text over 259 bytes",
         [](const fs::path& source, BuildOptions&) { WriteSourceFile(source, "collection.txt", "1\n" + std::string(260, 'x') + "\n"); },
         "collection.txt:2: the header text is longer than 259 bytes"},
        {"a variant member that is no code point",
         [](const fs::path& source, BuildOptions&) { WriteSourceFile(source, "yitizi.txt", "4E07,842C\n4E00,zz\n"); },
         "yitizi.txt:2: \"zz\" is not a hexadecimal code point"},
        {"a variant member past U+10FFFF",
         [](const fs::path& source, BuildOptions&) { WriteSourceFile(source, "yitizi.txt", "110000\n"); },
         "is not a hexadecimal code point"},
        {"more variant groups than numbers",
         [](const fs::path& source, BuildOptions&) { WriteSourceFile(source, "yitizi.txt", Repeat("4E00\n", 11936)); },
         "more than 11935 variant groups"},
        {"a missing variant table",
         [](const fs::path& source, BuildOptions& o) { o.variants = source / "none.txt"; }, "cannot open"},
        {"more records than the table of contents holds",
         [](const fs::path& source, BuildOptions&) {
             for (int v = 2; v <= 9998; ++v) WriteFileBytes(source / "01-經部/01-論語" / (std::to_string(v) + "-v.txt"), "");
         },
         "10000 categories, books and volumes; the table of contents holds at most 9999"},
        {"position data over 65535 bytes",
         [](const fs::path& source, BuildOptions& o) {
             o.pageChars = 100000;
             WriteSourceFile(source, kVolume, Repeat("之", 70000) + "\n");
         },
         "01-學而.txt, page 1: b001\\v001\\0001.htm: a character's position data on one page over 65535 bytes"},
        {"an annotation position beyond 4194303",
         [](const fs::path& source, BuildOptions& o) {
             o.pageChars = 100000;
             WriteSourceFile(source, kVolume, Repeat("（之）", 7000) + "\n");
         },
         "a position beyond 4194303"},
        {"a page budget of 0", [](const fs::path&, BuildOptions& o) { o.pageChars = 0; }, "the page budget must be from 1"},
        {"a page budget past the limit", [](const fs::path&, BuildOptions& o) { o.pageChars = 100001; },
         "the page budget must be from 1"},
        {"an output that is a file",
         [](const fs::path& source, BuildOptions& o) { o.output = source / kVolume; }, "exists and is not a folder"},
        {"an interruption", [](const fs::path&, BuildOptions& o) { o.cancelled = [] { return true; }; }, "interrupted"},
    };
    // On one thread and with the pages composed beside the writer, the same
    // fault stops the build with the same message.
    for (const ErrorCase& c : cases) {
        std::set<std::string> messages;
        for (size_t threads : {1, 3}) {
            CTempDir root;
            const fs::path source = root.Path() / "source", output = root.Path() / "out";
            WriteSourceFiles(source, {{kVolume, "學而時習之\n"}, {"collection.txt", "1\n"}});
            WriteSourceFile(output, "keep.txt", "old");
            BuildOptions options;
            options.source = source;
            options.output = output;
            options.threads = threads;
            c.spoil(source, options);
            const auto sourceBefore = Listing(source);
            try {
                CCollectionBuilder(options).Run();
                ADD_FAILURE() << c.name << ": built";
            } catch (const CBuildError& error) {
                EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << c.name << ": " << error.what();
                messages.insert(WithoutFolder(error.what(), root.Path()));
            }
            EXPECT_EQ(Listing(output), (std::map<std::string, std::string>{{"keep.txt", "old"}})) << c.name;
            EXPECT_EQ(Listing(root.Path()), (std::map<std::string, std::string>{{"source", "<dir>"}, {"out", "<dir>"}}))
                << c.name;
            EXPECT_EQ(Listing(source), sourceBefore) << c.name;
        }
        EXPECT_LE(messages.size(), 1u) << c.name;
    }
}

// A build into an existing folder replaces the collection's files and keeps
// the others; a build into a new path creates it with its parents.
TEST(BuilderOutput, ReplacesOnlyTheCollectionFiles) {
    CTempDir root;
    const fs::path source = root.Path() / "source", output = root.Path() / "bin";
    WriteSourceFiles(source, {{kVolume, "學而時習之\n"}});
    WriteSourceFiles(output, {{"quorel-cli", "an executable"}, {"Index-fl.h", "stale"}, {"yitizi.txt", "4E00\n"}});
    BuildOptions options;
    options.source = source;
    options.output = output;
    CCollectionBuilder(options).Run();
    const auto listing = Listing(output);
    EXPECT_EQ(listing.at("quorel-cli"), "an executable");
    EXPECT_NE(listing.at("Index-fl.h"), "stale");
    EXPECT_EQ(listing.at("yitizi.txt"), "");
    EXPECT_EQ(listing.size(), CCollectionWriter::FileNames().size() + 1);
    EXPECT_EQ(Listing(root.Path()).size(), 2u);  // no temporary folder left

    options.output = root.Path() / "new/nested/out";
    CCollectionBuilder(options).Run();
    EXPECT_EQ(Listing(options.output).size(), CCollectionWriter::FileNames().size());
    EXPECT_EQ(fs::status(options.output).permissions() & fs::perms::others_read, fs::perms::others_read);
}

// With the pair index the build writes one per scope beside the fixed files;
// a later build without it into the same folder removes them.
TEST(BuilderOutput, WritesAndRemovesThePairIndexes) {
    CTempDir root;
    const fs::path source = root.Path() / "source", output = root.Path() / "out";
    WriteSourceFiles(source, {{kVolume, "學而時習之不亦說乎\n"}});
    WriteSourceFiles(output, {{"keep.txt", "old"}});
    BuildOptions options;
    options.source = source;
    options.output = output;
    options.pairIndex = true;
    CCollectionBuilder(options).Run();
    const auto pairNames = CCollectionWriter::PairIndexNames();
    for (const std::string& name : pairNames) EXPECT_TRUE(fs::exists(output / name)) << name;
    EXPECT_EQ(Listing(output).size(), CCollectionWriter::FileNames().size() + pairNames.size() + 1);

    options.pairIndex = false;
    CCollectionBuilder(options).Run();
    for (const std::string& name : pairNames) EXPECT_FALSE(fs::exists(output / name)) << name;
    EXPECT_EQ(Listing(output).at("keep.txt"), "old");
}

struct CommandResult {
    int status;
    std::string output;  // stdout and stderr
};

CommandResult RunBuilder(const std::string& arguments) {
    const std::string command = std::string(QUOREL_BUILD) + " " + arguments + " 2>&1";
    CommandResult result{-1, {}};
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    while (size_t got = std::fread(buffer, 1, sizeof buffer, pipe)) result.output.append(buffer, got);
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// The command line: exit status 0 with a summary, 1 with the builder's
// message, 2 for a usage error.
TEST(BuilderCommand, ReportsThroughExitStatusAndStderr) {
    CTempDir root;
    const fs::path source = root.Path() / "source";
    WriteSourceFiles(source, {{kVolume, "學而時習之\n"}, {"variants.txt", "5B78,5B66\n"}});
    const std::string folders = source.string() + " " + (root.Path() / "out").string();

    CommandResult result =
        RunBuilder("--page-chars 10 --threads 2 --variants " + (source / "variants.txt").string() + " " + folders);
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_NE(result.output.find("1 pages of 1 volumes"), std::string::npos) << result.output;
    EXPECT_EQ(ReadFileBytes(root.Path() / "out/yitizi.txt"), "5B78,5B66\n");
    result = RunBuilder("--pair-index " + folders);
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_TRUE(fs::exists(root.Path() / "out/Index-idx.pair"));

    result = RunBuilder((root.Path() / "nowhere").string() + " " + (root.Path() / "out2").string());
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("quorel-build: "), std::string::npos) << result.output;
    EXPECT_FALSE(fs::exists(root.Path() / "out2"));

    for (const std::string& arguments : {std::string("--page-chars 0 ") + folders, "--page-chars x " + folders,
                                         "--page-chars 99999999999 " + folders, "--frobnicate " + folders,
                                         "--threads 0 " + folders, "--threads many " + folders, "--threads 257 " + folders,
                                         source.string(), std::string("--variants")}) {
        result = RunBuilder(arguments);
        EXPECT_EQ(result.status, 2) << arguments;
        EXPECT_NE(result.output.find("usage: quorel-build"), std::string::npos) << arguments;
    }
}

}  // namespace
