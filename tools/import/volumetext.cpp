#include "import/volumetext.h"

#include "import/sourcetext.h"

namespace {

// A single line with its brackets closed, as FoldAnnotations leaves a paragraph.
std::string Balanced(const std::string& line) { return CSourceText::FoldAnnotations({line}).front(); }

}  // namespace

void CVolumeText::AddPiece(const SourcePiece& piece) {
    const std::string heading = CSourceText::CleanLine(piece.heading);
    if (!heading.empty()) AddLine(Balanced(heading), true);

    const std::string byline = CSourceText::CleanLine(piece.byline);
    if (!byline.empty() && byline != m_lastByline) {
        AddLine(Balanced(byline));
        m_lastByline = byline;
    }
    AddLine(CSourceText::Annotation(piece.bylineNote));

    std::vector<std::string> paragraphs;
    for (const auto& line : piece.lines)
        for (auto& part : CSourceText::SplitLines(line)) paragraphs.push_back(std::move(part));
    for (const auto& line : CSourceText::FoldAnnotations(paragraphs)) AddLine(line);

    for (const auto& note : piece.notes) AddLine(CSourceText::Annotation(note));
}

void CVolumeText::AddLine(const std::string& line, bool heading) {
    if (line.empty()) return;
    if (heading) m_text += "# ";
    m_text += line;
    m_text += '\n';
    m_characters += CSourceText::CountCharacters(line);
}
