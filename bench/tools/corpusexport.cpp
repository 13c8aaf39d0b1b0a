// quorel-bench-export: writes the text of every page of a collection, one line
// per page ("PAGE<TAB>TEXT", pages in order), for the peers of the benchmark,
// so that every engine searches exactly the pages Quorel searches.
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>

#include "base/datafileerror.h"
#include "common/pagetext.h"
#include "docstore/filelist.h"
#include "docstore/storeformat.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: quorel-bench-export COLLECTION_DIR OUT.tsv\n";
        return 2;
    }
    CFileList store;
    if (!store.Open(argv[1], storeformat::kBaseName)) {
        std::cerr << "cannot open the document store in " << argv[1] << "\n";
        return 1;
    }
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    size_t textBytes = 0;
    std::string html, name;
    try {
        for (int page = 0; page < store.GetPageCount(); ++page) {
            // An unreadable record exports as an empty page, so that line numbers stay page numbers.
            std::string text;
            if (store.ReadPage(page, html) && store.GetRecordName(page, name))
                text = pagetext::StripTags(pagetext::TextCellOf(html, name));
            textBytes += text.size();
            out << page << '\t' << text << '\n';
        }
    } catch (const CDataFileError& error) {
        std::cerr << "cannot read the document store: " << error.what() << "\n";
        return 1;
    }
    if (!out.flush()) {
        std::cerr << "cannot write " << argv[2] << "\n";
        return 1;
    }
    std::cout << nlohmann::json{{"pages", store.GetPageCount()}, {"text_bytes", textBytes}}.dump() << "\n";
    return 0;
}
