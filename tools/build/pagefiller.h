// CPageFiller: lays the paragraphs of one volume out on pages of at most a
// character budget. A paragraph goes whole onto the current page when it fits
// there, else whole onto the next page; only a paragraph longer than a page
// is cut, where the page is full, preferably after punctuation. A heading
// that would end a page moves to the next page with the paragraph it heads.
// Every volume has at least one page, empty if the volume has no text.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "build/paragraph.h"

class CPageFiller {
public:
    using PageSink = std::function<void(const std::vector<Paragraph>& page)>;

    // sink receives every finished page in order. REQUIRES: budget >= 1.
    CPageFiller(size_t budget, PageSink sink);

    void Add(Paragraph paragraph);
    // A forced page break: the next paragraph starts a new page. A break on an
    // empty page adds no page. The pages after it hold the constructor's budget.
    void Break();
    // A break to an edition's printed page: the page after it is laid out even
    // if it stays empty (a blank leaf), and it and the pages cut from it (up
    // to the next break) hold up to budget characters. REQUIRES: budget >= 1.
    void BreakToPrintedPage(size_t budget);
    // Ends the volume: hands over the last page.
    void Finish();

    // How many characters of a paragraph longer than room go before a cut:
    // just after the last punctuation or space in the second half of room,
    // else room. REQUIRES: 1 <= room < paragraph.Length().
    static size_t CutPoint(const Paragraph& paragraph, size_t room);

private:
    void Place(Paragraph paragraph);
    void Flush();
    std::optional<Paragraph> TakeTrailingHeading(size_t following);
    static Paragraph SplitOff(Paragraph& paragraph, size_t count);

    size_t m_defaultBudget;
    size_t m_budget;  // of the pages being filled now
    PageSink m_sink;
    std::vector<Paragraph> m_page;  // the page being filled
    size_t m_used = 0;              // characters on it
    bool m_keepEmpty = false;       // it is laid out even when empty
    size_t m_pagesDone = 0;
};
