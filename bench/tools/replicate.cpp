// quorel-bench-replicate: writes a collection holding every page of another
// one TIMES times over (copy k's record names begin with "rK\"), with its
// variant groups, to measure how search cost grows with the collection. The
// positions are taken from the text cells as the builder gives them; by
// default only the full-text scope is written (the benchmark searches it),
// which keeps the writer's memory at a third.
#include <iostream>
#include <nlohmann/json.hpp>

#include "base/datafileerror.h"
#include "common/pagetext.h"
#include "common/runloop.h"
#include "docstore/storeformat.h"
#include "index/index.h"

int main(int argc, char** argv) {
    if (argc < 3 || argv[1][0] == '-' || argv[2][0] == '-') {
        std::cerr << "usage: quorel-bench-replicate SOURCE_DIR OUT_DIR [--times N] [--all-scopes]\n";
        return 2;
    }
    const int times = runloop::IntOption(argc, argv, "--times", 10);
    bool allScopes = false;
    for (int i = 3; i < argc; ++i) allScopes = allScopes || std::string_view(argv[i]) == "--all-scopes";
    if (times < 1) {
        std::cerr << "--times must be at least 1\n";
        return 2;
    }
    CIndex source;
    if (!source.Open(argv[1], storeformat::kBaseName, 0)) {
        std::cerr << "cannot open the collection in " << argv[1] << "\n";
        return 1;
    }
    const CFileList& store = source.GetFileList();
    CCollectionWriter writer;
    runloop::CStopwatch writeClock;  // the writer's own time, as in quorel-bench-synth
    std::string html, name;
    try {
        for (int copy = 0; copy < times; ++copy) {
            for (int p = 0; p < store.GetPageCount(); ++p) {
                WriterPage page;
                if (store.ReadPage(p, html) && store.GetRecordName(p, name)) {
                    page.occurrences = pagetext::ScopeOccurrences(pagetext::TextCellOf(html, name));
                    if (!allScopes) {
                        page.occurrences[1].clear();
                        page.occurrences[2].clear();
                    }
                    page.html = html;
                }
                page.recordName = "r" + std::to_string(copy) + "\\" + name;
                writeClock.Run([&] { writer.AddPage(std::move(page)); });
            }
            const int first = copy * store.GetPageCount() + 1;
            std::u16string label = u"複本";
            for (char digit : std::to_string(copy + 1)) label.push_back(char16_t(digit));
            writer.AddTocRecord({label, 1, first, 0, 0});
            writer.AddTocRecord({label, 2, first, 0, 0});
            writer.AddTocRecord({label, 3, first, store.GetPageCount(), 1});
        }
    } catch (const CDataFileError& error) {
        std::cerr << "cannot read the document store: " << error.what() << "\n";
        return 1;
    } catch (const std::exception& error) {
        std::cerr << "cannot write the collection: " << error.what() << "\n";
        return 1;
    }
    writer.SetVariantGroups(source.GetVariantGroups());
    std::filesystem::create_directories(argv[2]);
    try {
        writeClock.Run([&] { writer.Write(argv[2]); });
    } catch (const std::exception& error) {
        std::cerr << "cannot write the collection: " << error.what() << "\n";
        return 1;
    }
    std::cout << nlohmann::json{{"pages", store.GetPageCount() * times}, {"write_seconds", writeClock.Seconds()}}.dump()
              << "\n";
    return 0;
}
