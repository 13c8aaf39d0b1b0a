#include "docstore/storeformat.h"
#include "micro/microfixture.h"

#include <random>

#include "common/pagetext.h"
#include "common/zipftext.h"
#include "index/indexformat.h"

namespace microfixture {

namespace {

constexpr int kPages = 5000;
constexpr size_t kChars = 400;

struct Owner {
    Collection collection;
    ~Owner() {
        collection.index.Close();
        std::error_code ignored;
        std::filesystem::remove_all(collection.folder, ignored);
    }
};

void Build(Collection& c) {
    c.folder = std::filesystem::temp_directory_path() / ("quorel-micro-" + std::to_string(std::random_device()()));
    std::filesystem::create_directories(c.folder);
    CZipfText text(CZipfText::Vocabulary(3000, 11, {}), 1.0, 12);
    CCollectionWriter writer;
    for (int p = 0; p < kPages; ++p) {
        const std::string cell = text.NextCell(kChars);
        WriterPage page;
        page.recordName = "a\\" + std::to_string(2 * p + 2) + ".htm";  // even: the text is the first cell
        page.html = "<html><title>t</title><TD>" + cell + "</TD><TD></TD></html>";
        page.occurrences = pagetext::ScopeOccurrences(cell);
        c.texts.push_back(pagetext::StripTags(cell));
        writer.AddPage(std::move(page));
    }
    writer.Write(c.folder);
    c.index.Open(c.folder, storeformat::kBaseName, 0);
}

}  // namespace

Collection& Shared() {
    static Owner owner;
    static const bool built = (Build(owner.collection), true);
    (void)built;
    return owner.collection;
}

std::string Phrase(const Collection& collection, size_t page, size_t offset, size_t count) {
    const std::string& text = collection.texts[page];
    size_t start = 0;
    for (size_t i = 0; i < offset; ++i) start += 3;  // the synthetic text is all three-byte characters
    return text.substr(start, 3 * count);
}

PostingList MakeList(uint32_t pages, uint32_t positionsPerPage, uint32_t positionStep) {
    std::string stream;
    for (uint32_t p = 0; p < pages; ++p) {
        std::string positions;
        for (uint32_t k = 0; k < positionsPerPage; ++k) indexformat::AppendVarint(k == 0 ? p % 7 : positionStep, positions);
        indexformat::AppendVarint(p == 0 ? 0 : 1, stream);
        stream.push_back(char(positions.size() & 0xFF));
        stream.push_back(char(positions.size() >> 8));
        stream += positions;
    }
    PostingList list;
    const size_t blocks = (stream.size() + indexformat::kBlockSize - 1) / indexformat::kBlockSize;
    list.bytes = stream;
    list.bytes.resize(blocks * indexformat::kBlockSize, '\0');
    for (size_t b = 0; b < blocks; ++b) list.chain.push_back(uint32_t(b + 1 < blocks ? b + 1 : indexformat::kNoBlock));
    list.source = {reinterpret_cast<const unsigned char*>(list.bytes.data()), list.bytes.size(), list.chain.data(),
                   uint32_t(list.chain.size())};
    list.pages = pages;
    return list;
}

}  // namespace microfixture
