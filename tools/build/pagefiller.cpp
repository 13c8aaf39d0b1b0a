#include "build/pagefiller.h"

#include <algorithm>
#include <utility>

namespace {

// Characters after which a paragraph is best cut.
bool IsCutAfter(char32_t cp) {
    switch (cp) {
    case U'。': case U'！': case U'？': case U'；': case U'，': case U'、': case U'：':
    case U'」': case U'』': case U'）': case U'\u3000':
    case U' ': case U'.': case U',': case U';': case U':': case U'!': case U'?':
    case kLineBreak:
        return true;
    default:
        return false;
    }
}

}  // namespace

CPageFiller::CPageFiller(size_t budget, PageSink sink)
    : m_defaultBudget(std::max<size_t>(budget, 1)), m_budget(m_defaultBudget), m_sink(std::move(sink)) {}

void CPageFiller::Add(Paragraph paragraph) {
    const size_t length = paragraph.Length();
    if (length == 0) return;
    if (m_used + length <= m_budget) {
        Place(std::move(paragraph));
        return;
    }
    if (length <= m_budget) {
        auto heading = TakeTrailingHeading(length);
        Flush();
        if (heading) Place(std::move(*heading));
        Place(std::move(paragraph));
        return;
    }
    // Longer than a page: fill what is left of this page, then the next ones.
    for (;;) {
        if (m_used == m_budget) {
            auto heading = TakeTrailingHeading(1);
            Flush();
            if (heading) Place(std::move(*heading));
        }
        const size_t room = m_budget - m_used;
        if (paragraph.Length() <= room) {
            Place(std::move(paragraph));
            return;
        }
        Place(SplitOff(paragraph, CutPoint(paragraph, room)));
        Flush();
    }
}

void CPageFiller::Break() {
    Flush();
    m_budget = m_defaultBudget;
}

void CPageFiller::BreakToPrintedPage(size_t budget) {
    Flush();
    m_budget = std::max<size_t>(budget, 1);
    m_keepEmpty = true;
}

void CPageFiller::Finish() {
    Flush();
    if (m_pagesDone == 0) {
        m_sink({});
        ++m_pagesDone;
    }
}

size_t CPageFiller::CutPoint(const Paragraph& paragraph, size_t room) {
    size_t best = room;
    size_t index = 0;  // characters before the current one
    for (const TextRun& run : paragraph.runs) {
        for (char32_t cp : run.text) {
            if (++index > room) return best;
            if (index > room / 2 && IsCutAfter(cp)) best = index;
        }
    }
    return best;
}

void CPageFiller::Place(Paragraph paragraph) {
    m_used += paragraph.Length();
    m_page.push_back(std::move(paragraph));
}

void CPageFiller::Flush() {
    if (m_page.empty() && !m_keepEmpty) return;
    m_sink(m_page);
    ++m_pagesDone;
    m_page.clear();
    m_used = 0;
    m_keepEmpty = false;
}

// The heading that ends the page, taken off it, when the page holds more than
// the heading and `following` characters fit after it on a page of their own.
std::optional<Paragraph> CPageFiller::TakeTrailingHeading(size_t following) {
    if (m_page.size() < 2 || !m_page.back().heading) return std::nullopt;
    const size_t length = m_page.back().Length();
    if (length + following > m_budget) return std::nullopt;
    Paragraph heading = std::move(m_page.back());
    m_page.pop_back();
    m_used -= length;
    return heading;
}

// Cuts the first count characters off paragraph and returns them.
Paragraph CPageFiller::SplitOff(Paragraph& paragraph, size_t count) {
    Paragraph head{paragraph.heading, {}};
    size_t taken = 0;
    auto run = paragraph.runs.begin();
    for (; run != paragraph.runs.end() && count > 0; ++run) {
        if (run->text.size() > count) {
            head.runs.push_back({run->annotation, run->text.substr(0, count)});
            run->text.erase(0, count);
            break;
        }
        count -= run->text.size();
        head.runs.push_back(std::move(*run));
        ++taken;
    }
    paragraph.runs.erase(paragraph.runs.begin(), paragraph.runs.begin() + std::ptrdiff_t(taken));
    return head;
}
