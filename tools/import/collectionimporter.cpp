#include "import/collectionimporter.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <utility>

#include <nlohmann/json.hpp>

#include "import/importerror.h"
#include "import/poetryreader.h"
#include "import/sourcetext.h"
#include "import/sourcewriter.h"
#include "import/volumetext.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kGroupSeparator = "\xC2\xB7";  // · between the values a volume is grouped by
constexpr const char* kVolumeWord = "\xE5\x8D\xB7";  // 卷

std::string NumberedVolume(size_t number) { return kVolumeWord + CSourceText::ChineseNumeral(int(number)); }

std::string GroupName(const std::vector<std::string>& keys) {
    std::string name;
    for (const auto& key : keys) {
        if (key.empty()) continue;
        if (!name.empty()) name += kGroupSeparator;
        name += key;
    }
    return name;
}

// The parse error's own text without nlohmann's "[json.exception...] " tag.
std::string ParseMessage(const std::string& what) {
    const auto tagEnd = what.find("] ");
    return tagEnd == std::string::npos ? what : what.substr(tagEnd + 2);
}

std::optional<unsigned long long> DigitRun(std::string_view text) {
    if (text.empty() || text.size() > 18) return std::nullopt;
    unsigned long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + unsigned(c - '0');
    }
    return value;
}

// Collects the volumes of one book: the current volume is named when it
// starts and closed into the book when the next one starts or the book ends.
class CBookVolumes {
public:
    explicit CBookVolumes(std::string bookName) { m_book.name = std::move(bookName); }

    void Start(const std::string& name) {
        Close();
        m_name = CSourceText::FileNamePart(name);
        if (m_name.empty()) m_name = NumberedVolume(m_book.volumes.size() + 1);
        m_open = true;
    }
    // Starts a volume for a piece of group unless the open one is that group's.
    void StartGroup(const std::string& group) {
        if (!m_open || group != m_group) Start(group);
        m_group = group;
    }
    // Starts a volume unless the open one has fewer than count pieces.
    void StartEvery(size_t count) {
        if (!m_open || m_pieces >= count) Start({});
    }
    void Add(const SourcePiece& piece) {
        m_text.AddPiece(piece);
        ++m_pieces;
    }

    SourceBook Finish(size_t& characters) {
        Close();
        characters += m_characters;
        return std::move(m_book);
    }

private:
    // Volumes without any text are left out.
    void Close() {
        if (m_open && !m_text.IsEmpty()) {
            m_characters += m_text.Characters();
            m_book.volumes.push_back({m_name, m_text.Text()});
        }
        m_text = CVolumeText();
        m_open = false;
        m_pieces = 0;
    }

    SourceBook m_book;
    std::string m_name;
    std::string m_group;  // the group the open volume holds
    CVolumeText m_text;
    bool m_open = false;
    size_t m_pieces = 0;
    size_t m_characters = 0;
};

// Adds the pieces of one file to the book's volumes by the book's rule.
void AddFile(const BookPlan& plan, const FileSource& source, const CPoetryReader& reader,
             const nlohmann::json& document, CBookVolumes& volumes) {
    if (plan.rule == VolumeRule::kDivisions) {
        for (const auto& division : reader.ReadDivisions(document)) {
            volumes.Start(division.name);
            for (const auto& piece : division.pieces) volumes.Add(piece);
        }
        return;
    }
    if (plan.rule == VolumeRule::kVolumePerFile) volumes.Start(source.volumeName);
    for (const auto& piece : reader.ReadPieces(document, plan.groupFields)) {
        if (plan.rule == VolumeRule::kByFields) volumes.StartGroup(GroupName(piece.groupKeys));
        if (plan.rule == VolumeRule::kFixedCount) volumes.StartEvery(size_t(std::max(1, plan.piecesPerVolume)));
        volumes.Add(piece);
    }
}

}  // namespace

CCollectionImporter::CCollectionImporter(fs::path jsonFolder, CImportPlan plan)
    : m_jsonFolder(std::move(jsonFolder)), m_plan(std::move(plan)) {}

ImportTotals CCollectionImporter::Run(CSourceWriter& writer, std::vector<WrittenCategory>* written) {
    std::error_code error;
    if (!fs::is_directory(m_jsonFolder, error)) throw CImportError(m_jsonFolder.string() + ": not a folder");
    writer.WriteHeader(m_plan.headerWord, m_plan.headerText);
    ImportTotals totals;
    const auto& categories = m_plan.categories;
    for (size_t c = 0; c < categories.size(); ++c) {
        const std::string categoryFolder = CSourceWriter::PrefixedName(c + 1, categories.size(), categories[c].name);
        const auto& books = categories[c].books;
        for (size_t b = 0; b < books.size(); ++b) {
            const SourceBook book = ImportBook(books[b]);
            writer.WriteBook(categoryFolder, CSourceWriter::PrefixedName(b + 1, books.size(), book.name), book);
            totals.volumes += book.volumes.size();
        }
        totals.books += books.size();
        if (written) written->push_back({categories[c].name, categoryFolder, books.size()});
    }
    totals.categories = categories.size();
    totals.characters = m_characters;
    return totals;
}

SourceBook CCollectionImporter::ImportBook(const BookPlan& plan) {
    CBookVolumes volumes(plan.name);
    for (const auto& source : plan.files)
        for (const auto& file : ResolveFiles(m_jsonFolder, source.path))
            AddFile(plan, source, CPoetryReader(file.string()), LoadJson(file), volumes);
    SourceBook book = volumes.Finish(m_characters);
    if (book.volumes.empty()) {
        std::string files;
        for (const auto& source : plan.files) files += (files.empty() ? "" : ", ") + (m_jsonFolder / source.path).string();
        throw CImportError(plan.name + ": no text in " + files);
    }
    return book;
}

std::vector<fs::path> CCollectionImporter::ResolveFiles(const fs::path& folder, const std::string& path) {
    const fs::path relative(path);
    const std::string pattern = relative.filename().string();
    const auto hash = pattern.find('#');
    if (hash == std::string::npos) {
        const fs::path file = folder / relative;
        std::error_code error;
        if (!fs::is_regular_file(file, error)) throw CImportError(file.string() + ": file not found (or not a regular file)");
        return {file};
    }
    const std::string prefix = pattern.substr(0, hash);
    const std::string suffix = pattern.substr(hash + 1);
    const fs::path directory = folder / relative.parent_path();
    std::vector<std::pair<unsigned long long, fs::path>> matches;
    std::error_code error;
    for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.size() <= prefix.size() + suffix.size() || !name.starts_with(prefix) || !name.ends_with(suffix)) continue;
        const auto number = DigitRun(std::string_view(name).substr(prefix.size(), name.size() - prefix.size() - suffix.size()));
        if (number && it->is_regular_file(error)) matches.emplace_back(*number, it->path());
    }
    if (matches.empty()) throw CImportError((directory / pattern).string() + ": no matching file");
    std::sort(matches.begin(), matches.end());
    std::vector<fs::path> files;
    for (auto& match : matches) files.push_back(std::move(match.second));
    return files;
}

nlohmann::json CCollectionImporter::LoadJson(const fs::path& file) {
    std::error_code error;
    const uintmax_t size = fs::file_size(file, error);
    if (error) throw CImportError(file.string() + ": cannot read: " + error.message());
    if (size > kMaxJsonBytes) throw CImportError(file.string() + ": too large for a JSON file of the package");
    std::ifstream in(file, std::ios::binary);
    std::string text(size_t(size), '\0');
    if (!in.read(text.data(), std::streamsize(text.size()))) throw CImportError(file.string() + ": cannot read");
    try {
        return nlohmann::json::parse(text);
    } catch (const nlohmann::json::parse_error& parseError) {
        throw CImportError(file.string() + ": invalid JSON: " + ParseMessage(parseError.what()));
    }
}
