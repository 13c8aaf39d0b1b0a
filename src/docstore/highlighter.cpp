// Term patterns and hit highlighting: a term is cut into literal chunks at its
// wildcards, and one forward scan over a run of page text marks every match,
// with a numbered anchor before each marked chunk. Matching is on raw bytes:
// tags are ordinary text and a "?" is one 3-byte character.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "docstore/filelist.h"
#include "docstore/pagetemplate.h"

namespace {

// The first occurrence of one needle in a text at or after a start position,
// or the text's end when there is none. An answer still at or after a later
// start is the answer for that start too, so rising starts search each byte once.
class FirstOccurrence {
public:
    FirstOccurrence(std::string_view text, std::string_view needle) : m_text(text), m_needle(needle) {}

    size_t From(size_t start) {
        if (!m_searched || start < m_from || start > m_found) {
            const size_t found = m_text.find(m_needle, start);
            m_found = found == std::string_view::npos ? m_text.size() : found;
            m_from = start;
            m_searched = true;
        }
        return m_found;
    }

private:
    std::string_view m_text;
    std::string_view m_needle;
    bool m_searched = false;
    size_t m_from = 0;   // the start of the last search
    size_t m_found = 0;  // its answer
};

// from + length, or end when that reaches or passes it.
size_t Advance(size_t from, size_t length, size_t end) { return length >= end - from ? end : from + length; }

void AppendAnchor(std::string& out, int& counter) {
    char anchor[32];
    const int length = std::snprintf(anchor, sizeof anchor, pagetemplate::kAnchorFormat, counter);
    out.append(anchor, size_t(length));
    ++counter;
}

// Cuts one "*"-separated piece at its "?" runs and appends its chunks.
void AppendPieceSegs(std::string_view piece, int firstKind, std::vector<Seg>& segs) {
    segs.push_back({firstKind, std::string(), 0});
    int count = 1;
    for (size_t p = 0; p < piece.size();) {
        size_t next = piece.find('?', p);
        if (next == std::string_view::npos) next = piece.size();
        if (next != p) {
            segs.back().bytes.assign(piece.substr(p, next - p));
            segs.back().gap = count;
            segs.push_back({Seg::kAfterQuestion, std::string(), 0});
            count = 1;
        } else {
            ++count;
        }
        p = next + 1;
    }
    // Either the empty chunk after the piece's last one, or the piece's own
    // when it held only "?": "?" at either end of a piece binds nothing.
    segs.pop_back();
}

// Match attempts of a term's chunks over one text. Each attempt starts where
// the one before stopped, and every attempt stops strictly further on.
class TermScanner {
public:
    TermScanner(std::string_view text, const std::vector<Seg>& segs)
        : m_segs(segs), m_end(text.size()), m_paragraph(text, pagetemplate::kParagraphBarrier),
          m_heading(text, pagetemplate::kHeadingBarrier) {
        m_chunks.reserve(segs.size());
        for (const Seg& seg : segs) m_chunks.emplace_back(text, seg.bytes);
    }

    // Tries every chunk in order, each from where the one before left the
    // position; hits gets the position of each chunk that matched (all of
    // them for a match). Returns where the attempt stopped.
    size_t Attempt(size_t pos, std::vector<size_t>& hits) {
        hits.clear();
        for (size_t s = 0; s < m_segs.size(); ++s) {
            bool hit = false;
            switch (m_segs[s].kind) {
            case Seg::kFirst: pos = MatchFirst(s, pos, hit); break;
            case Seg::kAfterStar: pos = MatchAfterStar(s, pos, hit); break;
            default: pos = MatchAfterQuestion(s, pos, hit); break;
            }
            if (!hit) continue;
            hits.push_back(pos);
            pos = Advance(pos, m_segs[s].bytes.size(), m_end);
        }
        return pos;
    }

private:
    // Each Match returns the new position: with hit set, where chunk s stands.
    size_t MatchFirst(size_t s, size_t pos, bool& hit) {
        pos = m_chunks[s].From(pos);
        hit = pos != m_end;
        return pos;
    }

    // Anywhere ahead, but a "*" stretch stops at a paragraph or heading and
    // the scan resumes after it.
    size_t MatchAfterStar(size_t s, size_t pos, bool& hit) {
        if (pos == m_end) return pos;
        const size_t start = pos;
        pos = m_chunks[s].From(start);
        const size_t paragraphAt = m_paragraph.From(start);
        if (paragraphAt < pos) return Advance(paragraphAt, pagetemplate::kParagraphBarrier.size(), m_end);
        const size_t headingAt = m_heading.From(start);
        if (headingAt < pos) return Advance(headingAt, pagetemplate::kHeadingBarrier.size(), m_end);
        hit = pos != m_end;
        return pos;
    }

    // Exactly gap characters of 3 bytes ahead. When the chunk stands later,
    // the position stays and the next attempt starts from it.
    size_t MatchAfterQuestion(size_t s, size_t pos, bool& hit) {
        if (pos == m_end) return pos;
        const size_t skip = pagetemplate::kQuestionMarkBytes * size_t(m_segs[s].gap);
        if (skip >= m_end - pos) return pos;
        const size_t start = pos + skip;
        const size_t found = m_chunks[s].From(start);
        if (found == m_end) return m_end;
        hit = found == start;
        return hit ? start : pos;
    }

    const std::vector<Seg>& m_segs;
    size_t m_end;
    std::vector<FirstOccurrence> m_chunks;  // one per Seg
    FirstOccurrence m_paragraph;
    FirstOccurrence m_heading;
};

// One match of every chunk of a term: where each chunk stands in the text.
void WriteMatch(std::string_view text, size_t cursor, const std::vector<Seg>& segs, const std::vector<size_t>& hits,
                std::string& out, int& counter, std::vector<MarkedMatch>* matches) {
    using namespace pagetemplate;
    if (matches) matches->push_back({counter, 0});
    out.append(text.substr(cursor, hits[0] - cursor));
    for (size_t i = 0; i < hits.size(); ++i) {
        const size_t chunkEnd = hits[i] + segs[i].bytes.size();
        AppendAnchor(out, counter);
        out.append(kMarkOpenTag).append(text.substr(hits[i], segs[i].bytes.size())).append(kMarkCloseTag);
        if (i + 1 == hits.size()) break;
        const std::string_view between = text.substr(chunkEnd, hits[i + 1] - chunkEnd);
        if (segs[i + 1].kind == Seg::kAfterQuestion) {
            // The characters a "?" stood for are marked and anchored as well.
            out.append(kMarkOpenTag);
            AppendAnchor(out, counter);
            out.append(between).append(kMarkCloseTag);
        } else {
            out.append(between);  // a "*" stretch stays unmarked
        }
    }
    if (matches) matches->back().anchorCount = counter - matches->back().firstAnchor;
}

}  // namespace

std::vector<Seg> CFileList::ParseTerm(std::string_view term) {
    std::vector<Seg> segs;
    for (size_t start = 0; start <= term.size();) {
        size_t star = term.find('*', start);
        if (star == std::string_view::npos) star = term.size();
        if (star != start) {
            const int kind = start == 0 ? Seg::kFirst : Seg::kAfterStar;
            AppendPieceSegs(term.substr(start, star - start), kind, segs);
        }
        start = star + 1;
    }
    return segs;
}

void CFileList::HighlightItem(const FilterItem& item, std::string_view term, std::string& out, int& counter,
                              std::vector<MarkedMatch>* matches) {
    const std::vector<Seg> segs = ParseTerm(term);
    const std::string_view text = item.text;
    if (segs.empty()) {
        out.append(text);
        return;
    }
    TermScanner scanner(text, segs);
    std::vector<size_t> hits;
    hits.reserve(segs.size());
    for (size_t cursor = 0; cursor < text.size();) {
        if (counter >= kMaxAnchors) {
            out.append(text.substr(cursor));
            return;
        }
        const size_t stop = scanner.Attempt(cursor, hits);
        if (hits.size() == segs.size())
            WriteMatch(text, cursor, segs, hits, out, counter, matches);
        else
            out.append(text.substr(cursor, stop - cursor));
        cursor = stop;
    }
}
