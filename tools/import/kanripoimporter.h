// CKanripoImporter: turns checked-out texts of the Kanseki Repository into
// books of a source tree: one book per text, ordered by text ID, in the
// category of its division (KR1 經部 … KR6 佛部, named from the catalogue
// when one is given), one volume per juan file. Texts are listed first and
// the table of contents counted before anything is written; then each text
// is read and written one file at a time.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "import/sourcemodel.h"

class CSourceWriter;

class CKanripoImporter {
public:
    using Warn = std::function<void(const std::string&)>;

    // catalog: a folder with the catalogue files KR1.txt … KR6.txt (directly
    // or in its KR folder). warn receives notes on skipped files and dropped markup.
    CKanripoImporter(std::vector<std::filesystem::path> texts, std::optional<std::filesystem::path> catalog, Warn warn);

    // Writes a whole source tree of the texts. Raises CImportError on the
    // first problem; before writing any book for one found in the listing.
    ImportTotals Run(CSourceWriter& writer);
    // Adds the texts to a tree another importer has written the categories
    // of: a text goes after the books of the category of its division's name,
    // or into a new category after them.
    ImportTotals Add(CSourceWriter& writer, std::vector<WrittenCategory>& categories);

    // The division's name: from the catalogue when there is one, else the
    // repository's own (經部, 史部, 子部, 集部, 道部, 佛部).
    std::string DivisionName(int division) const;

private:
    struct ListedText {
        std::filesystem::path folder;
        std::string id;
        int division = 0;
        size_t files = 0;
    };

    std::vector<ListedText> ListTexts() const;
    // Categories of the listed texts' divisions, in code order, and the check
    // that their records (with extraRecords) fit in the table of contents.
    std::vector<int> Divisions(const std::vector<ListedText>& texts, size_t extraRecords) const;
    void WriteBook(CSourceWriter& writer, const std::string& categoryFolder, size_t number, size_t count,
                   const ListedText& listed, ImportTotals& totals);

    std::vector<std::filesystem::path> m_texts;
    std::optional<std::filesystem::path> m_catalog;
    Warn m_warn;
    std::set<std::string> m_warnedMarkup;  // kinds of unknown markup reported so far
};
