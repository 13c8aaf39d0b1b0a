#include "import/kanripoimporter.h"

#include <algorithm>
#include <fstream>
#include <set>

#include "docstore/tocformat.h"
#include "import/importerror.h"
#include "import/kanripojuan.h"
#include "import/kanripotext.h"
#include "import/sourcetext.h"
#include "import/sourcewriter.h"

namespace fs = std::filesystem;

namespace {

constexpr int kDivisions = 6;
const char* const kDivisionNames[kDivisions] = {"經部", "史部", "子部", "集部", "道部", "佛部"};
constexpr const char* kHeaderText = "漢籍リポジトリ";

// The name in the catalogue file's heading "* KR3 子部".
std::string CatalogName(const fs::path& catalog, int division) {
    const std::string code = "KR" + std::to_string(division);
    fs::path file = catalog / (code + ".txt");
    std::error_code error;
    if (!fs::is_regular_file(file, error)) file = catalog / "KR" / (code + ".txt");
    std::ifstream in(file, std::ios::binary);
    if (!in) throw CImportError(file.string() + ": cannot read the catalogue of " + code);
    const std::string heading = "* " + code + " ";
    size_t number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (!line.starts_with(heading)) continue;
        const std::string name = CSourceText::FileNamePart(line.substr(heading.size()));
        if (name.empty()) throw CImportError(file.string() + ":" + std::to_string(number) + ": no name after " + code);
        return name;
    }
    throw CImportError(file.string() + ": no heading \"* " + code + " NAME\"");
}

}  // namespace

CKanripoImporter::CKanripoImporter(std::vector<fs::path> texts, std::optional<fs::path> catalog, Warn warn)
    : m_texts(std::move(texts)), m_catalog(std::move(catalog)), m_warn(std::move(warn)) {
    if (!m_warn) m_warn = [](const std::string&) {};
}

std::string CKanripoImporter::DivisionName(int division) const {
    if (m_catalog) return CatalogName(*m_catalog, division);
    return kDivisionNames[division - 1];
}

std::vector<CKanripoImporter::ListedText> CKanripoImporter::ListTexts() const {
    std::vector<ListedText> texts;
    for (const fs::path& folder : m_texts) {
        const CKanripoText text(folder);
        texts.push_back({folder, text.Id(), text.Division(), text.Files().size()});
    }
    std::stable_sort(texts.begin(), texts.end(), [](const ListedText& a, const ListedText& b) { return a.id < b.id; });
    return texts;
}

std::vector<int> CKanripoImporter::Divisions(const std::vector<ListedText>& texts, size_t extraRecords) const {
    std::set<int> divisions;
    size_t records = extraRecords;
    for (const ListedText& text : texts) {
        divisions.insert(text.division);
        records += 1 + text.files;
    }
    records += divisions.size();
    if (records > size_t(tocformat::kMaxRecords))
        throw CImportError(std::to_string(texts.size()) + " texts need " + std::to_string(records) +
                           " table-of-contents records (categories, books and volumes); at most " +
                           std::to_string(tocformat::kMaxRecords) + " fit");
    return {divisions.begin(), divisions.end()};
}

ImportTotals CKanripoImporter::Run(CSourceWriter& writer) {
    const std::vector<ListedText> texts = ListTexts();
    const std::vector<int> divisions = Divisions(texts, 0);
    std::vector<std::string> names;
    for (int division : divisions) names.push_back(DivisionName(division));
    writer.WriteHeader(1, kHeaderText);
    ImportTotals totals;
    for (size_t c = 0; c < divisions.size(); ++c) {
        const std::string folder = CSourceWriter::PrefixedName(c + 1, divisions.size(), names[c]);
        const size_t count = size_t(std::count_if(texts.begin(), texts.end(), [&](const ListedText& t) { return t.division == divisions[c]; }));
        size_t number = 0;
        for (const ListedText& text : texts)
            if (text.division == divisions[c]) WriteBook(writer, folder, ++number, count, text, totals);
    }
    totals.categories = divisions.size();
    return totals;
}

ImportTotals CKanripoImporter::Add(CSourceWriter& writer, std::vector<WrittenCategory>& categories) {
    const std::vector<ListedText> texts = ListTexts();
    ImportTotals totals;
    for (int division : Divisions(texts, 0)) {
        const std::string name = DivisionName(division);
        auto category = std::find_if(categories.begin(), categories.end(), [&](const WrittenCategory& c) { return c.name == name; });
        if (category == categories.end()) {
            categories.push_back({name, CSourceWriter::PrefixedName(categories.size() + 1, categories.size() + 1, name), 0});
            category = categories.end() - 1;
            ++totals.categories;
        }
        const size_t count = category->books +
            size_t(std::count_if(texts.begin(), texts.end(), [&](const ListedText& t) { return t.division == division; }));
        for (const ListedText& text : texts)
            if (text.division == division) WriteBook(writer, category->folder, ++category->books, count, text, totals);
    }
    return totals;
}

void CKanripoImporter::WriteBook(CSourceWriter& writer, const std::string& categoryFolder, size_t number, size_t count,
                                 const ListedText& listed, ImportTotals& totals) {
    CKanripoText text(listed.folder);
    text.ReadDescription();
    const std::string bookFolder = CSourceWriter::PrefixedName(number, count, CSourceText::FileNamePart(text.BookName()));
    CKanripoJuan juan(text.Edition(), m_warn, m_warnedMarkup);
    const auto& files = text.Files();
    size_t written = 0;
    for (size_t i = 0; i < files.size(); ++i) {
        const std::string volume = juan.Convert(files[i].path);
        if (volume.empty()) {
            m_warn(files[i].path.string() + ": no text; the volume is left out");
            continue;
        }
        writer.WriteVolume(categoryFolder, bookFolder,
                           CSourceWriter::PrefixedName(i + 1, files.size(), CSourceText::FileNamePart(text.VolumeName(files[i]))),
                           volume);
        ++written;
    }
    if (written == 0) throw CImportError(listed.folder.string() + ": no text in any file of " + listed.id);
    ++totals.books;
    totals.volumes += written;
    totals.characters += juan.Characters();
}
