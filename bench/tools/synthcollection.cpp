// quorel-bench-synth: writes a synthetic collection with the collection writer,
// for trying the benchmark before a real collection exists. Pages of Zipf-like
// text, ten categories of books of volumes of pages, the variant groups of a
// given yitizi.txt; prints how long the write took and how much text it holds.
#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>

#include "base/codeconverter.h"
#include "common/pagetext.h"
#include "common/runloop.h"
#include "common/zipftext.h"
#include "index/index.h"

namespace {

constexpr int kCategories = 10;
constexpr int kBooksPerCategory = 20;
constexpr int kVolumesPerBook = 10;

const char* kUsage =
    "usage: quorel-bench-synth OUT_DIR [--pages N] [--chars N] [--vocabulary N] [--exponent X]\n"
    "                          [--seed N] [--variants DIR_WITH_YITIZI]\n";

std::string StoredPage(const std::string& title, const std::string& cell, int printed) {
    const bool second = printed % 2 == 1;
    return "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\"><title>" + title +
           "</title></head><body><TABLE border=1><tr><TD width=80>" + (second ? std::string() : cell) +
           "</TD><TD width=450>" + (second ? cell : std::string()) + "</TD></tr></TABLE></body></html>";
}

std::u16string U16(const std::string& utf8) {
    std::u16string units;
    CCodeConverter::Utf8ToUtf16(utf8, units);
    return units;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argv[1][0] == '-') {
        std::cerr << kUsage;
        return 2;
    }
    const std::filesystem::path out = argv[1];
    const int pages = runloop::IntOption(argc, argv, "--pages", 60000);
    const int chars = runloop::IntOption(argc, argv, "--chars", 400);
    const int vocabularySize = runloop::IntOption(argc, argv, "--vocabulary", 6000);
    const double exponent = std::stod(runloop::Option(argc, argv, "--exponent", "1.0"));
    const uint64_t seed = uint64_t(runloop::IntOption(argc, argv, "--seed", 7));
    const std::string variants = runloop::Option(argc, argv, "--variants");
    if (pages <= 0 || chars <= 0 || vocabularySize <= 0) {
        std::cerr << kUsage;
        return 2;
    }

    CIndex groupsSource;
    if (!variants.empty() && !groupsSource.LoadVariantTable(variants)) {
        std::cerr << "cannot read " << variants << "/yitizi.txt\n";
        return 1;
    }
    const auto& groups = groupsSource.GetVariantGroups();
    CZipfText text(CZipfText::Vocabulary(size_t(vocabularySize), seed, groups), exponent, seed + 1);

    // The writer's own time: adding pages (a streaming writer does its work
    // there) and writing; generating the text is not counted.
    CCollectionWriter writer;
    runloop::CStopwatch writeClock;
    const int pagesPerVolume = std::max(1, pages / (kCategories * kBooksPerCategory * kVolumesPerBook));
    size_t textBytes = 0;
    for (int p = 0; p < pages; ++p) {
        const int volume = p / pagesPerVolume;
        const int printed = p % pagesPerVolume + 1;
        char name[64];
        std::snprintf(name, sizeof name, "c%02d\\b%03d\\v%02d\\%04d.htm", volume / (kBooksPerCategory * kVolumesPerBook),
                      volume / kVolumesPerBook, volume % kVolumesPerBook, printed);
        WriterPage page;
        page.recordName = name;
        const std::string cell = text.NextCell(size_t(chars));
        page.html = StoredPage(name, cell, printed);
        page.occurrences = pagetext::ScopeOccurrences(cell);
        textBytes += pagetext::StripTags(cell).size();
        writeClock.Run([&] { writer.AddPage(std::move(page)); });
    }
    // One outline entry per category, book and volume (the last volume takes the remainder).
    const int volumes = (pages + pagesPerVolume - 1) / pagesPerVolume;
    for (int v = 0; v < volumes; ++v) {
        if (v % (kBooksPerCategory * kVolumesPerBook) == 0)
            writer.AddTocRecord({U16("部" + std::to_string(v / (kBooksPerCategory * kVolumesPerBook) + 1)), 1, v * pagesPerVolume + 1, 0, 0});
        if (v % kVolumesPerBook == 0)
            writer.AddTocRecord({U16("書" + std::to_string(v / kVolumesPerBook + 1)), 2, v * pagesPerVolume + 1, 0, 0});
        const int first = v * pagesPerVolume;
        writer.AddTocRecord({U16("巻" + std::to_string(v % kVolumesPerBook + 1)), 3, first + 1,
                            std::min(pagesPerVolume, pages - first), 1});
    }
    writer.SetVariantGroups(groups);

    std::filesystem::create_directories(out);
    try {
        writeClock.Run([&] { writer.Write(out); });
    } catch (const std::exception& error) {
        std::cerr << "cannot write the collection: " << error.what() << "\n";
        return 1;
    }
    std::cout << nlohmann::json{{"pages", pages}, {"text_bytes", textBytes}, {"write_seconds", writeClock.Seconds()}}.dump()
              << "\n";
    return 0;
}
