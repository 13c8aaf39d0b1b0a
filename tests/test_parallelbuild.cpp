// Builds on one thread and on several write the same bytes: a source long
// enough that every scope's posting lists take several batches, with
// annotations, headings, printed pages and a variant table.
#include <gtest/gtest.h>

#include <cstdint>

#include "build/collectionbuilder.h"
#include "sourcefixture.h"

namespace {

namespace fs = std::filesystem;

// Characters drawn from a small set (so the lists are long) and from the
// start of the CJK block, a few of them variants of each other.
std::string GeneratedVolume(uint32_t seed, size_t chars) {
    static const char32_t kFrequent[] = {U'之', U'也', U'而', U'萬', U'万', U'學', U'学', U'𠀀', U'a'};
    std::u32string text;
    uint32_t state = seed;
    auto next = [&] { return state = state * 1664525u + 1013904223u; };
    for (size_t i = 0; i < chars; ++i) {
        const uint32_t r = next() >> 8;
        if (r % 97 == 0)
            text += U'\n';
        else if (r % 89 == 0)
            text += U"（注之）";
        else if (r % 3 == 0)
            text += kFrequent[r / 3 % std::size(kFrequent)];
        else
            text += char32_t(0x4E00 + r % 0x800);
    }
    return "# 卷" + std::to_string(seed) + "\n" + Utf8(text) + "\n---page 2a---\n" + Utf8(text.substr(0, 200)) + "\n";
}

std::map<std::string, std::string> BuiltFiles(const fs::path& source, const fs::path& output, size_t threads) {
    BuildOptions options;
    options.source = source;
    options.output = output;
    options.threads = threads;
    CCollectionBuilder(options).Run();
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(output)) files[entry.path().filename().string()] = ReadFileBytes(entry.path());
    return files;
}

TEST(ParallelBuild, WritesTheSameBytesAsOneThread) {
    CTempDir root;
    const fs::path source = root.Path() / "source";
    WriteSourceFiles(source, {{"collection.txt", "3\n並行\n"},
                              {"yitizi.txt", "4E07,842C\n5B78,5B66\n20000,4E4B\n"},
                              {"01-經部/01-甲/01-上.txt", GeneratedVolume(1, 800000)},
                              {"01-經部/01-甲/02-下.txt", GeneratedVolume(2, 800000)},
                              {"01-經部/02-乙/01-全.txt", GeneratedVolume(3, 600000)},
                              {"02-史部/01-丙/01-全.txt", "短い巻（注）。\n"}});
    const auto single = BuiltFiles(source, root.Path() / "one", 1);
    EXPECT_EQ(single.size(), 10u);
    for (size_t threads : {2, 5}) {
        const auto parallel = BuiltFiles(source, root.Path() / ("many" + std::to_string(threads)), threads);
        ASSERT_EQ(parallel.size(), single.size()) << threads;
        for (const auto& [name, bytes] : single) {
            const auto found = parallel.find(name);
            ASSERT_NE(found, parallel.end()) << name;
            EXPECT_TRUE(found->second == bytes) << name << " differs with " << threads << " threads";
        }
    }
}

}  // namespace
