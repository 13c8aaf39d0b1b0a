// The collection fuzz_pairindex searches, written with its pair indexes (every
// pair kept): random pages over a few characters and the variant 兲 of 天. The
// seed generator writes the same one, so that its pair file is the seed.
#pragma once

#include <filesystem>
#include <random>
#include <string>

#include "base/codeconverter.h"
#include "writer/collectionwriter.h"

inline void WritePairFuzzCollection(const std::filesystem::path& folder) {
    WriterOptions options;
    options.pairIndex = true;
    options.pairMinPages = 1;
    options.pairSelectivity = 1;
    CCollectionWriter writer(options);
    std::mt19937 random(11);
    const char16_t alphabet[] = u"天地人山兲";
    for (int p = 0; p < 40; ++p) {
        std::u16string text;
        for (int i = 0, length = 3 + int(random() % 60); i < length; ++i) text += alphabet[random() % 5];
        WriterPage page{"a\\" + std::to_string(p) + ".htm", "<TD>" + CCodeConverter::ToUtf8(text) + "</TD>", {}};
        page.occurrences[0] = CCollectionWriter::Occurrences(text);
        writer.AddPage(std::move(page));
    }
    writer.SetVariantGroups({{0x5929, 0x5172}});
    writer.Write(folder);
}
