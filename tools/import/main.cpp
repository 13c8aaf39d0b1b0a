// quorel-import: turns the chinese-poetry package's JSON into a source tree
// for quorel-build.
//   quorel-import JSON_DIR SOURCE_OUT_DIR [--full]
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "import/collectionimporter.h"
#include "import/importerror.h"
#include "import/importplan.h"
#include "import/sourcewriter.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "usage: quorel-import JSON_DIR SOURCE_OUT_DIR [--full]\n"
    "  JSON_DIR        the package's JSON folder (data/chinese-poetry, or dist/ of the npm package)\n"
    "  SOURCE_OUT_DIR  the source tree to write; replaced if it holds an earlier import\n"
    "  --full          import the whole package instead of the default collection's books\n";

int Usage(const std::string& problem) {
    std::cerr << "quorel-import: " << problem << '\n' << kUsage;
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> folders;
    bool full = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--full")
            full = true;
        else if (arg == "-h" || arg == "--help")
            return std::cout << kUsage, kExitOk;
        else if (arg.starts_with("-"))
            return Usage("unknown option " + arg);
        else
            folders.push_back(arg);
    }
    if (folders.size() != 2) return Usage("expected JSON_DIR and SOURCE_OUT_DIR");

    try {
        CSourceWriter writer(folders[1]);
        CCollectionImporter importer(folders[0], full ? CImportPlan::Full() : CImportPlan::Subset());
        const ImportTotals totals = importer.Run(writer);
        writer.Commit();
        std::cout << "quorel-import: " << totals.categories << " categories, " << totals.books << " books, "
                  << totals.volumes << " volumes, " << totals.characters << " characters -> " << folders[1] << '\n';
        return kExitOk;
    } catch (const std::exception& error) {
        std::cerr << "quorel-import: " << error.what() << '\n';
        return kExitFailed;
    }
}
