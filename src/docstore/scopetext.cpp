#include "docstore/scopetext.h"

#include <algorithm>
#include <vector>

#include "base/codeconverter.h"
#include "docstore/filelist.h"
#include "docstore/htmlentity.h"
#include "docstore/pagetemplate.h"

CScopeText::CScopeText(std::string_view content, int parity, RenderScope scope) {
    const std::vector<HTMLNode> nodes = CFileList::SplitPage(content);
    const HTMLNode& cell = nodes[parity == 0 ? 1 : 2];
    m_chars.reserve(cell.text.size() / 2);  // mostly 3-byte characters, and tags
    bool annotationSeen = false;
    for (const FilterItem& item : CFileList::FilterCell(cell)) {
        const bool annotation = item.kind == FilterItem::kAnnotation;
        if (scope == RenderScope::kMainText && annotation) continue;
        if (scope == RenderScope::kNotes) {
            if (!annotation) continue;
            if (annotationSeen) m_chars.append(pagetemplate::kAnnotationGap, kUnused);
            annotationSeen = true;
        }
        m_runStarts.push_back(m_chars.size());
        AppendRun(item.text);
    }
}

std::optional<CScopeText> CScopeText::Read(const CFileList& store, int n, RenderScope scope) {
    std::string name, content;
    if (!store.GetRecordName(n, name) || !store.ReadPage(n, content)) return std::nullopt;
    return CScopeText(content, CFileList::PageParity(name), scope);
}

size_t CScopeText::RunOf(uint64_t position) const {
    const auto after = std::upper_bound(m_runStarts.begin(), m_runStarts.end(), position);
    return after == m_runStarts.begin() ? 0 : size_t(after - m_runStarts.begin() - 1);
}

void CScopeText::AppendRun(std::string_view run) {
    for (size_t at = 0; at < run.size();) {
        if (run[at] == '<') {
            const size_t close = run.find('>', at);
            if (close == std::string_view::npos) return;  // a cut-off tag ends the text
            const std::string_view tag = run.substr(at, close + 1 - at);
            if (tag == pagetemplate::kParagraphBarrier || tag == pagetemplate::kHeadingBarrier)
                m_runStarts.push_back(m_chars.size());
            at = close + 1;
            continue;
        }
        if (const htmlentity::Entity* entity = htmlentity::EntityAt(run.substr(at))) {
            m_chars.push_back(entity->value);
            at += entity->name.size();
            continue;
        }
        char32_t c = 0;
        const size_t length = CCodeConverter::DecodeUtf8(run, at, c);
        m_chars.push_back(length ? c : U'\uFFFD');
        at += length ? length : 1;
    }
}
