// quorel-sample OUTPUT_DIR: writes a small sample collection (two volumes of
// the 論語) in the reader's formats, for trying the reader and for its
// screenshots when no collection has been built.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "index/codeconverter.h"
#include "writer/collectionwriter.h"

namespace {

struct SampleVolume {
    const char* name;
    std::vector<std::vector<const char*>> pages;  // paragraphs per page
};

const SampleVolume kVolumes[] = {
    {"學而第一",
     {{"子曰：「學而時習之，不亦說乎？有朋自遠方來，不亦樂乎？人不知而不慍，不亦君子乎？」",
       "有子曰：「其為人也孝弟，而好犯上者，鮮矣；不好犯上，而好作亂者，未之有也。君子務本，本立而道生。孝弟也者，其為仁之本與！」",
       "子曰：「巧言令色，鮮矣仁！」",
       "曾子曰：「吾日三省吾身：為人謀而不忠乎？與朋友交而不信乎？傳不習乎？」"},
      {"子曰：「道千乘之國：敬事而信，節用而愛人，使民以時。」",
       "子曰：「弟子入則孝，出則弟，謹而信，汎愛眾，而親仁。行有餘力，則以學文。」",
       "子夏曰：「賢賢易色；事父母，能竭其力；事君，能致其身；與朋友交，言而有信。雖曰未學，吾必謂之學矣。」",
       "子曰：「君子不重則不威，學則不固。主忠信。無友不如己者。過則勿憚改。」"},
      {"曾子曰：「慎終追遠，民德歸厚矣。」",
       "子曰：「父在，觀其志；父沒，觀其行；三年無改於父之道，可謂孝矣。」",
       "有子曰：「禮之用，和為貴。先王之道，斯為美；小大由之。」",
       "子曰：「君子食無求飽，居無求安，敏於事而慎於言，就有道而正焉，可謂好學也已。」",
       "子曰：「不患人之不己知，患不知人也。」"}}},
    {"為政第二",
     {{"子曰：「為政以德，譬如北辰，居其所而眾星共之。」",
       "子曰：「詩三百，一言以蔽之，曰：『思無邪』。」",
       "子曰：「道之以政，齊之以刑，民免而無恥；道之以德，齊之以禮，有恥且格。」",
       "子曰：「吾十有五而志于學，三十而立，四十而不惑，五十而知天命，六十而耳順，七十而從心所欲，不踰矩。」"},
      {"子曰：「溫故而知新，可以為師矣。」", "子曰：「君子不器。」", "子曰：「學而不思則罔，思而不學則殆。」",
       "子曰：「由！誨女知之乎！知之為知之，不知為不知，是知也。」"}}},
};

std::u16string Utf16(const std::string& utf8) {
    std::u16string text;
    CCodeConverter::Utf8ToUtf16(utf8, text);
    return text;
}

// The page in the stored layout: the title, then two cells; the text stands in
// the first cell on even printed pages and in the second on odd ones.
WriterPage MakePage(int volume, int printed, const SampleVolume& source, const std::vector<const char*>& paragraphs) {
    std::string text;
    std::string body;
    for (const char* paragraph : paragraphs) {
        text += paragraph;
        body += std::string("<p>") + paragraph + "</p>";
    }
    const std::string label = std::string("<font color=\"#8a7a5a\">") + source.name + "　" + std::to_string(printed) + "</font>";
    const std::string textCell = "<TD width=\"86%\" valign=\"top\">" + body + "</TD>";
    const std::string labelCell = "<TD width=\"14%\" valign=\"top\" align=\"center\">" + label + "</TD>";
    WriterPage page;
    char name[40];
    std::snprintf(name, sizeof name, "b001\\v%03d\\%04d.htm", volume, printed);
    page.recordName = name;
    page.html = std::string("<html><head><meta charset=\"utf-8\"><title>論語　") + source.name +
                "</title></head><body><h4>論語　" + source.name + "</h4><table width=\"100%\" cellpadding=\"10\"><tr>" +
                (printed % 2 == 0 ? textCell + labelCell : labelCell + textCell) + "</tr></table></body></html>";
    const auto occurrences = CCollectionWriter::Occurrences(Utf16(text));
    page.occurrences[0] = occurrences;
    page.occurrences[2] = occurrences;
    return page;
}

void WriteSample(const std::filesystem::path& folder) {
    WriterOptions options;
    options.headerWord = 1;
    options.headerText = "sample";
    CCollectionWriter writer(options);
    int pageCount = 0;
    for (const SampleVolume& volume : kVolumes) pageCount += int(volume.pages.size());
    writer.AddTocEntry({Utf16("經部"), 1, 1, pageCount, 1});
    writer.AddTocEntry({Utf16("論語"), 2, 1, pageCount, 1});
    int volumeNumber = 0;
    for (const SampleVolume& volume : kVolumes) {
        ++volumeNumber;
        int firstPage = -1;
        for (size_t i = 0; i < volume.pages.size(); ++i) {
            const int page = writer.AddPage(MakePage(volumeNumber, int(i) + 1, volume, volume.pages[i]));
            if (firstPage < 0) firstPage = page;
        }
        writer.AddTocEntry({Utf16(volume.name), 3, firstPage + 1, int(volume.pages.size()), 1});
    }
    writer.Write(folder);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorel-sample OUTPUT_DIR\n");
        return 2;
    }
    try {
        std::filesystem::create_directories(argv[1]);
        WriteSample(argv[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "quorel-sample: %s\n", error.what());
        return 1;
    }
    return 0;
}
