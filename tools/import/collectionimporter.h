// CCollectionImporter: carries out an import plan over a folder of the
// package's JSON: reads each book's files, cuts the pieces into volumes and
// hands every book to the source writer as soon as it is complete, so that
// memory holds one book's text and one parsed file at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "import/importplan.h"
#include "import/sourcemodel.h"

class CSourceWriter;

class CCollectionImporter {
public:
    // A JSON file larger than this is refused rather than parsed.
    static constexpr uintmax_t kMaxJsonBytes = uintmax_t(64) << 20;

    CCollectionImporter(std::filesystem::path jsonFolder, CImportPlan plan);

    // Writes every book of the plan; raises CImportError on the first problem.
    // written, when given, receives the categories as written, for another
    // importer to add books to.
    ImportTotals Run(CSourceWriter& writer, std::vector<WrittenCategory>* written = nullptr);

    // The files a plan path names under folder: the file itself, or for a "#"
    // pattern every match in numeric order. Raises CImportError when none exists.
    static std::vector<std::filesystem::path> ResolveFiles(const std::filesystem::path& folder, const std::string& path);
    // The parsed file; CImportError when it is missing, too large or not JSON.
    static nlohmann::json LoadJson(const std::filesystem::path& file);

private:
    SourceBook ImportBook(const BookPlan& plan);

    std::filesystem::path m_jsonFolder;
    CImportPlan m_plan;
    size_t m_characters = 0;
};
