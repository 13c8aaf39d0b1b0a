// Term patterns and hit highlighting: a term is cut into literal chunks at its
// wildcards, and one forward scan over a run of page text marks every match,
// with a numbered anchor before each marked chunk. Matching is on raw bytes:
// tags are ordinary text and a "?" is one 3-byte character. When punctuation
// is ignored, runs of it (and line breaks) may stand between the characters of
// a chunk and around a "?", which then stands for one character of any length
// that is not punctuation.
#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "base/codeconverter.h"
#include "docstore/filelist.h"
#include "docstore/htmlentity.h"
#include "docstore/pagetemplate.h"
#include "docstore/punctuation.h"

namespace {

// Where the characters of a chunk stand apart only by punctuation, white
// space and line breaks, as a search that ignores punctuation finds them.
class SpacedChunk {
public:
    explicit SpacedChunk(std::string_view bytes) {
        for (size_t at = 0; at < bytes.size();) {
            char32_t c;
            const size_t length = std::max<size_t>(CCodeConverter::DecodeUtf8(bytes, at, c), 1);
            m_chars.push_back(bytes.substr(at, length));
            at += length;
        }
    }

    // The end of the chunk when it stands at text[at], or npos.
    size_t EndAt(std::string_view text, size_t at) const {
        for (size_t k = 0; k < m_chars.size(); ++k) {
            if (k > 0) at = SkipPunctuation(text, at);
            if (!text.substr(at).starts_with(m_chars[k])) return std::string_view::npos;
            at += m_chars[k].size();
        }
        return at;
    }

    std::string_view First() const { return m_chars.empty() ? std::string_view() : m_chars[0]; }

    // Past a run of at most punctuation::kMaxRun ignorable characters (an
    // entity counting as the one it stands for) and any line breaks among them.
    static size_t SkipPunctuation(std::string_view text, size_t at) {
        for (unsigned run = 0; at < text.size();) {
            const std::string_view rest = text.substr(at);
            if (rest.starts_with(pagetemplate::kLineBreakTag)) {
                at += pagetemplate::kLineBreakTag.size();
                continue;
            }
            if (run == punctuation::kMaxRun) break;
            char32_t c = 0;
            size_t length = 0;
            if (const htmlentity::Entity* entity = htmlentity::EntityAt(rest)) {
                c = entity->value;
                length = entity->name.size();
            } else if (rest[0] != '&') {
                length = CCodeConverter::DecodeUtf8(text, at, c);
            }
            if (length == 0 || !punctuation::IsIgnorable(c)) break;
            at += length;
            ++run;
        }
        return at;
    }

private:
    std::vector<std::string_view> m_chars;
};

// The first match of one chunk in a text at or after a start position, or the
// text's end when there is none: the chunk's bytes as they stand, or with
// punctuation between its characters when that is ignored. An answer still at
// or after a later start is the answer for that start too, so rising starts
// search each byte once.
class ChunkFinder {
public:
    ChunkFinder(std::string_view text, std::string_view chunk, bool ignorePunctuation)
        : m_text(text), m_chunk(chunk), m_ignorePunctuation(ignorePunctuation),
          m_spaced(ignorePunctuation ? chunk : std::string_view()) {}

    size_t From(size_t start) {
        if (!m_searched || start < m_from || start > m_found) {
            Search(start);
            m_from = start;
            m_searched = true;
        }
        return m_found;
    }

    // Where the match From found ends.
    size_t End() const { return m_foundEnd; }

private:
    void Search(size_t start) {
        m_found = m_foundEnd = m_text.size();
        if (!m_ignorePunctuation) {
            const size_t found = m_text.find(m_chunk, start);
            if (found != std::string_view::npos) m_found = found, m_foundEnd = found + m_chunk.size();
            return;
        }
        const std::string_view first = m_spaced.First();
        if (first.empty()) return;
        for (size_t at = m_text.find(first, start); at != std::string_view::npos; at = m_text.find(first, at + 1)) {
            const size_t end = m_spaced.EndAt(m_text, at);
            if (end != std::string_view::npos) {
                m_found = at, m_foundEnd = end;
                return;
            }
        }
    }

    std::string_view m_text;
    std::string_view m_chunk;
    bool m_ignorePunctuation;
    SpacedChunk m_spaced;
    bool m_searched = false;
    size_t m_from = 0;      // the start of the last search
    size_t m_found = 0;     // its answer
    size_t m_foundEnd = 0;  // where that match ends
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

// Where one chunk of a match stands: [begin, end).
struct Hit {
    size_t begin;
    size_t end;
};

// Match attempts of a term's chunks over one text. Each attempt starts where
// the one before stopped, and every attempt stops strictly further on.
class TermScanner {
public:
    TermScanner(std::string_view text, const std::vector<Seg>& segs, bool ignorePunctuation)
        : m_text(text), m_segs(segs), m_end(text.size()), m_ignorePunctuation(ignorePunctuation),
          m_paragraph(text, pagetemplate::kParagraphBarrier, false),
          m_heading(text, pagetemplate::kHeadingBarrier, false) {
        m_chunks.reserve(segs.size());
        for (const Seg& seg : segs) m_chunks.emplace_back(text, seg.bytes, ignorePunctuation);
    }

    // Tries every chunk in order, each from where the one before left the
    // position; hits gets where each chunk that matched stands (all of them
    // for a match). Returns where the attempt stopped.
    size_t Attempt(size_t pos, std::vector<Hit>& hits) {
        hits.clear();
        for (size_t s = 0; s < m_segs.size(); ++s) {
            bool hit = false;
            switch (m_segs[s].kind) {
            case Seg::kFirst: pos = MatchFirst(s, pos, hit); break;
            case Seg::kAfterStar: pos = MatchAfterStar(s, pos, hit); break;
            default: pos = MatchAfterQuestion(s, pos, hit); break;
            }
            if (!hit) continue;
            const size_t end = m_chunks[s].End();
            hits.push_back({pos, end});
            pos = Advance(pos, end - pos, m_end);
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

    // Exactly gap characters ahead. When the chunk stands later, the position
    // stays and the next attempt starts from it.
    size_t MatchAfterQuestion(size_t s, size_t pos, bool& hit) {
        if (pos == m_end) return pos;
        const size_t start = m_ignorePunctuation ? PastSpacedWildcards(pos, m_segs[s].gap) : PastWildcards(pos, m_segs[s].gap);
        if (start == std::string_view::npos) return pos;
        const size_t found = m_chunks[s].From(start);
        if (found == m_end) return m_end;
        hit = found == start;
        return hit ? start : pos;
    }

    // Where a chunk after gap 3-byte characters would stand; npos past the text.
    size_t PastWildcards(size_t pos, int gap) const {
        const size_t skip = pagetemplate::kQuestionMarkBytes * size_t(gap);
        return skip >= m_end - pos ? std::string_view::npos : pos + skip;
    }

    // Where a chunk after gap characters that are not punctuation, with runs
    // of punctuation before, between and after them, would stand; npos when
    // the text ends first or something else stands there (a tag, a longer run).
    size_t PastSpacedWildcards(size_t pos, int gap) const {
        for (int k = 0; k < gap; ++k) {
            pos = SpacedChunk::SkipPunctuation(m_text, pos);
            if (pos >= m_end || m_text[pos] == '<' || htmlentity::EntityAt(m_text.substr(pos))) return std::string_view::npos;
            char32_t c;
            const size_t length = CCodeConverter::DecodeUtf8(m_text, pos, c);
            if (length == 0 || punctuation::IsIgnorable(c)) return std::string_view::npos;
            pos += length;
        }
        pos = SpacedChunk::SkipPunctuation(m_text, pos);
        return pos >= m_end ? std::string_view::npos : pos;
    }

    std::string_view m_text;
    const std::vector<Seg>& m_segs;
    size_t m_end;
    bool m_ignorePunctuation;
    std::vector<ChunkFinder> m_chunks;  // one per Seg
    ChunkFinder m_paragraph;
    ChunkFinder m_heading;
};

// One match of every chunk of a term: where each chunk stands in the text.
void WriteMatch(std::string_view text, size_t cursor, const std::vector<Seg>& segs, const std::vector<Hit>& hits,
                std::string& out, int& counter, std::vector<MarkedMatch>* matches) {
    using namespace pagetemplate;
    if (matches) matches->push_back({counter, 0});
    out.append(text.substr(cursor, hits[0].begin - cursor));
    for (size_t i = 0; i < hits.size(); ++i) {
        AppendAnchor(out, counter);
        out.append(kMarkOpenTag).append(text.substr(hits[i].begin, hits[i].end - hits[i].begin)).append(kMarkCloseTag);
        if (i + 1 == hits.size()) break;
        const std::string_view between = text.substr(hits[i].end, hits[i + 1].begin - hits[i].end);
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
                              std::vector<MarkedMatch>* matches, bool ignorePunctuation) {
    const std::vector<Seg> segs = ParseTerm(term);
    const std::string_view text = item.text;
    if (segs.empty()) {
        out.append(text);
        return;
    }
    TermScanner scanner(text, segs, ignorePunctuation);
    std::vector<Hit> hits;
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
