// CIndex::LoadVariantTable on a "yitizi.txt" from the input, then the group
// lookups and the expansion of a query from the input into its spellings.
#include <algorithm>
#include <string>

#include "fuzzcheck.h"
#include "fuzzlayouts.h"
#include "index/index.h"
#include "scratchfolder.h"

namespace {

bool Holds(const std::vector<uint32_t>& group, uint32_t codePoint) {
    return std::find(group.begin(), group.end(), codePoint) != group.end();
}

// The group found for codePoint is the first that holds it.
void CheckGroupOf(const CIndex& index, uint32_t codePoint) {
    const auto& groups = index.GetVariantGroups();
    int32_t number = -7;
    const bool found = index.FindVariantGroup(codePoint, number);
    const auto first = std::find_if(groups.begin(), groups.end(),
                                    [codePoint](const auto& group) { return Holds(group, codePoint); });
    FUZZ_CHECK(found == (first != groups.end()));
    if (found) FUZZ_CHECK(number == indexformat::kFirstGroupNumber + (first - groups.begin()));
    else FUZZ_CHECK(number == -7);
}

// Characters of text, a surrogate pair counting once.
size_t CountCharacters(const std::u16string& text) {
    size_t count = 0;
    for (size_t i = 0; i < text.size(); ++i, ++count)
        if (text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF)
            ++i;
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CScratchFolder folder;
    const VariantFuzzInput input = VariantFuzzInput::Decode(data, size);
    folder.Write("yitizi.txt", input.table);
    CIndex index;
    FUZZ_CHECK(index.LoadVariantTable(folder.Path()));
    const auto& groups = index.GetVariantGroups();
    FUZZ_CHECK(groups.size() <= size_t(indexformat::kMaxGroups));
    for (size_t g = 0; g < groups.size() && g < 16; ++g)
        for (size_t m = 0; m < groups[g].size() && m < 64; ++m) CheckGroupOf(index, groups[g][m]);
    for (char16_t unit : input.units) {
        CheckGroupOf(index, unit);
        FUZZ_CHECK(Holds(index.GetVariantAlternatives(unit), unit));
    }
    const std::u16string query = input.Query();
    const std::vector<std::u16string> spellings = index.ExpandVariants(query);
    FUZZ_CHECK(!spellings.empty() && spellings.size() <= CIndex::kMaxExpansions);
    // Every spelling has the query's characters, one for one, and writes no
    // unit 0 the query does not hold; the query is one of them.
    const auto nuls = std::count(query.begin(), query.end(), u'\0');
    size_t units = 0;
    for (const std::u16string& spelling : spellings) {
        FUZZ_CHECK(CountCharacters(spelling) == CountCharacters(query));
        FUZZ_CHECK(std::count(spelling.begin(), spelling.end(), u'\0') == nuls);
        units += spelling.size();
    }
    FUZZ_CHECK(spellings.size() == 1 || units <= CIndex::kMaxExpansionUnits);
    FUZZ_CHECK(std::find(spellings.begin(), spellings.end(), query) != spellings.end());
    // Without a group the query is its own only spelling.
    if (groups.empty()) FUZZ_CHECK(spellings.size() == 1 && spellings[0] == query);
    return 0;
}
