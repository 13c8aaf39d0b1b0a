#include "panel/model/resultbuilder.h"

#include <algorithm>
#include <climits>

namespace {

const ContentsNodeTag* FirstChildCovering(const ContentsNodeTag& node, uint32_t page) {
    for (const auto& child : node.children)
        if (child->Covers(page)) return child.get();
    return nullptr;
}

std::u16string NameOf(const ContentsNodeTag* node) { return node ? node->name : std::u16string(); }

}  // namespace

int CResultBuilder::BuildCollectionResults(const ContentsNodeTag* root, const std::vector<uint32_t>& pages,
                                           const std::vector<uint32_t>& counts, std::vector<SearchNodeTag>& results) {
    results.clear();
    if (!root) return 0;
    int total = 0;
    std::vector<SearchNodeTag> part;
    for (const auto& category : root->children) {
        if (category->level != 1) continue;
        const int hits = BuildResults(category.get(), pages, counts, part);
        total = hits > INT_MAX - total ? INT_MAX : total + hits;
        results.insert(results.end(), part.begin(), part.end());
    }
    return total;
}

int CResultBuilder::BuildResults(const ContentsNodeTag* range, const std::vector<uint32_t>& pages,
                                 const std::vector<uint32_t>& counts, std::vector<SearchNodeTag>& results) {
    results.clear();
    // Hit counts past INT_MAX (only a corrupt index yields them) stop there.
    int64_t total = 0;
    if (!range) return 0;
    const size_t n = std::min(pages.size(), counts.size());
    for (size_t i = 0; i < n; ++i) {
        const uint32_t p = pages[i];
        if (!range->Covers(p)) continue;
        SearchNodeTag entry;
        entry.category = GetCategoryName(range);
        entry.bookName = GetBookName(p, range);
        if (const ContentsNodeTag* volume = FindVolumeNode(p, range)) {
            entry.volumeName = volume->name;
            entry.pageInVolume = int(p + volume->curFileName + 1 - uint32_t(volume->docID));
            entry.volumeRecord = volume->record;
        }
        entry.page = int(p);
        entry.hitCount = int(std::min<uint32_t>(counts[i], INT_MAX));
        total = std::min<int64_t>(total + entry.hitCount, INT_MAX);
        results.push_back(std::move(entry));
    }
    std::stable_sort(results.begin(), results.end(), [](const SearchNodeTag& a, const SearchNodeTag& b) {
        return uint32_t(a.pageInVolume) < uint32_t(b.pageInVolume);
    });
    return int(total);
}

std::u16string CResultBuilder::GetCategoryName(const ContentsNodeTag* range) {
    if (!range) return {};
    if (range->level == 1) return range->name;
    if (range->level == 2) return NameOf(range->parent);
    return range->parent ? NameOf(range->parent->parent) : std::u16string();
}

std::u16string CResultBuilder::GetBookName(uint32_t page, const ContentsNodeTag* range) {
    if (!range) return {};
    switch (range->level) {
    case 1: return NameOf(FirstChildCovering(*range, page));
    case 2: return range->name;
    case 3: return NameOf(range->parent);
    default: return {};
    }
}

const ContentsNodeTag* CResultBuilder::FindVolumeNode(uint32_t page, const ContentsNodeTag* range) {
    if (!range) return nullptr;
    if (range->level == 1) {
        for (const auto& book : range->children)
            if (const ContentsNodeTag* volume = FirstChildCovering(*book, page)) return volume;
        return nullptr;
    }
    if (range->level == 2) return FirstChildCovering(*range, page);
    return range;
}
