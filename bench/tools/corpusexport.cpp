// quorel-bench-export: writes the text of every page of a collection, one line
// per page ("PAGE<TAB>TEXT", pages in order), for the peers of the benchmark,
// so that every engine searches exactly the pages Quorel searches. With a
// third argument it also writes there, as JSON, what the query sampler must
// know of the index: the code points of the text that have a character number
// ("numbered", ascending) and the variant groups as the index reads them.
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <set>

#include "base/codeconverter.h"
#include "base/datafileerror.h"
#include "common/pagetext.h"
#include "docstore/filelist.h"
#include "docstore/storeformat.h"
#include "index/index.h"

namespace {

// Adds the code points of text that have a character number to numbered.
void AddNumbered(std::string_view text, std::set<uint32_t>& numbered) {
    for (size_t at = 0; at < text.size();) {
        char32_t cp = 0;
        const size_t length = CCodeConverter::DecodeUtf8(text, at, cp);
        if (length > 0 && CCodeConverter::ToCharNumber(cp) >= 0) numbered.insert(uint32_t(cp));
        at += length > 0 ? length : 1;
    }
}

bool WriteCharacterFacts(const char* collection, const std::set<uint32_t>& numbered, const char* path) {
    CIndex index;
    index.LoadVariantTable(collection);
    const nlohmann::json facts{{"numbered", numbered}, {"groups", index.GetVariantGroups()}};
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << facts.dump() << "\n";
    return bool(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::cerr << "usage: quorel-bench-export COLLECTION_DIR OUT.tsv [CHARACTERS.json]\n";
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
    std::set<uint32_t> numbered;
    try {
        for (int page = 0; page < store.GetPageCount(); ++page) {
            // An unreadable record exports as an empty page, so that line numbers stay page numbers.
            std::string text;
            if (store.ReadPage(page, html) && store.GetRecordName(page, name))
                text = pagetext::StripTags(pagetext::TextCellOf(html, name));
            textBytes += text.size();
            if (argc == 4) AddNumbered(text, numbered);
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
    if (argc == 4 && !WriteCharacterFacts(argv[1], numbered, argv[3])) {
        std::cerr << "cannot write " << argv[3] << "\n";
        return 1;
    }
    std::cout << nlohmann::json{{"pages", store.GetPageCount()}, {"text_bytes", textBytes}}.dump() << "\n";
    return 0;
}
