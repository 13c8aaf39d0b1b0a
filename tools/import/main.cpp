// quorel-import: turns the chinese-poetry package's JSON, or checked-out
// texts of the Kanseki Repository, into a source tree for quorel-build.
//   quorel-import JSON_DIR SOURCE_OUT_DIR [--full] [--add-kanripo TEXT_DIR]...
//   quorel-import --kanripo [--catalog DIR] TEXT_DIR... SOURCE_OUT_DIR
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "import/collectionimporter.h"
#include "import/importerror.h"
#include "import/importplan.h"
#include "import/kanripoimporter.h"
#include "import/sourcewriter.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "usage: quorel-import JSON_DIR SOURCE_OUT_DIR [--full] [--add-kanripo TEXT_DIR]...\n"
    "       quorel-import --kanripo [--catalog DIR] TEXT_DIR... SOURCE_OUT_DIR\n"
    "  JSON_DIR        the package's JSON folder (data/chinese-poetry, or dist/ of the npm package)\n"
    "  SOURCE_OUT_DIR  the source tree to write; replaced if it holds an earlier import\n"
    "  --full          import the whole package instead of the default collection's books\n"
    "  --add-kanripo   add a Kanseki Repository text to the categories of the package's books\n"
    "  --kanripo       import Kanseki Repository texts (folders of KR..._NNN.txt files)\n"
    "  --catalog DIR   name the categories from the repository's catalogue files (KR1.txt ...)\n";

struct Arguments {
    std::vector<std::string> folders;
    std::vector<std::filesystem::path> addedTexts;
    std::optional<std::filesystem::path> catalog;
    bool full = false;
    bool kanripo = false;
};

int Usage(const std::string& problem) {
    std::cerr << "quorel-import: " << problem << '\n' << kUsage;
    return kExitUsage;
}

void Warn(const std::string& note) { std::cerr << "quorel-import: " << note << '\n'; }

// Imports as the arguments say and commits; raises on failure.
ImportTotals Import(const Arguments& args, const std::string& target) {
    CSourceWriter writer(target);
    ImportTotals totals;
    if (args.kanripo) {
        const std::vector<std::filesystem::path> texts(args.folders.begin(), args.folders.end() - 1);
        totals = CKanripoImporter(texts, args.catalog, Warn).Run(writer);
    } else {
        std::vector<WrittenCategory> categories;
        CCollectionImporter importer(args.folders[0], args.full ? CImportPlan::Full() : CImportPlan::Subset());
        totals = importer.Run(writer, &categories);
        if (!args.addedTexts.empty()) {
            const ImportTotals added = CKanripoImporter(args.addedTexts, args.catalog, Warn).Add(writer, categories);
            totals.categories += added.categories;
            totals.books += added.books;
            totals.volumes += added.volumes;
            totals.characters += added.characters;
        }
    }
    writer.Commit();
    return totals;
}

}  // namespace

int main(int argc, char** argv) {
    Arguments args;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--full") {
            args.full = true;
        } else if (arg == "--kanripo") {
            args.kanripo = true;
        } else if ((arg == "--catalog" || arg == "--add-kanripo") && i + 1 < argc) {
            if (arg == "--catalog")
                args.catalog = argv[++i];
            else
                args.addedTexts.emplace_back(argv[++i]);
        } else if (arg == "-h" || arg == "--help") {
            return std::cout << kUsage, kExitOk;
        } else if (arg.starts_with("-")) {
            return Usage("unknown option " + arg + (arg == "--catalog" || arg == "--add-kanripo" ? " without its folder" : ""));
        } else {
            args.folders.push_back(arg);
        }
    }
    if (args.kanripo) {
        if (args.full || !args.addedTexts.empty()) return Usage("--kanripo takes neither --full nor --add-kanripo");
        if (args.folders.size() < 2) return Usage("expected TEXT_DIR... and SOURCE_OUT_DIR");
    } else {
        if (args.catalog && args.addedTexts.empty()) return Usage("--catalog names categories of Kanseki Repository texts only");
        if (args.folders.size() != 2) return Usage("expected JSON_DIR and SOURCE_OUT_DIR");
    }

    try {
        const std::string& target = args.folders.back();
        const ImportTotals totals = Import(args, target);
        std::cout << "quorel-import: " << totals.categories << " categories, " << totals.books << " books, "
                  << totals.volumes << " volumes, " << totals.characters << " characters -> " << target << '\n';
        return kExitOk;
    } catch (const std::exception& error) {
        std::cerr << "quorel-import: " << error.what() << '\n';
        return kExitFailed;
    }
}
