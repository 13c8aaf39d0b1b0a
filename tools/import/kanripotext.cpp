#include "import/kanripotext.h"

#include <algorithm>
#include <cctype>
#include <fstream>

#include "import/importerror.h"
#include "import/sourcetext.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kTitleHeader = "#+TITLE:";
constexpr std::string_view kPropertyHeader = "#+PROPERTY:";
constexpr std::string_view kEditionProperty = "BASEEDITION";
constexpr std::string_view kJuanProperty = "JUAN";
constexpr std::string_view kPageStart = "<pb:";
constexpr std::string_view kReadme = "Readme.org";
constexpr std::string_view kLinkStart = "[[file:";
constexpr std::string_view kVolumeWord = "\xE5\x8D\xB7";              // 卷
constexpr std::string_view kFrontMatter = "\xE5\x8D\xB7\xE9\xA6\x96";  // 卷首
constexpr std::string_view kOpenParen = "\xEF\xBC\x88";                // （
constexpr std::string_view kCloseParen = "\xEF\xBC\x89";               // ）

bool IsAsciiBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsAsciiBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsAsciiBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool IsDigits(std::string_view text) {
    return !text.empty() && text.size() <= 9 && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Removes every occurrence of the brackets 【 and 】 and the blanks around a name.
std::string WithoutLenticularBrackets(std::string_view name) {
    std::string out(Trim(name));
    for (std::string_view bracket : {std::string_view("\xE3\x80\x90"), std::string_view("\xE3\x80\x91")})
        for (size_t at = out.find(bracket); at != std::string::npos; at = out.find(bracket)) out.erase(at, bracket.size());
    return std::string(Trim(out));
}

// The edition in a page break "<pb:KR3a0001_SBCK_001-1a>": the part between
// the first two "_".
std::string PageEdition(std::string_view line) {
    const size_t start = line.find(kPageStart);
    if (start == std::string_view::npos) return {};
    const std::string_view tag = line.substr(start + kPageStart.size(), line.find('>', start) - start - kPageStart.size());
    const size_t first = tag.find('_');
    const size_t second = first == std::string_view::npos ? first : tag.find('_', first + 1);
    if (second == std::string_view::npos) return {};
    return std::string(tag.substr(first + 1, second - first - 1));
}

}  // namespace

bool CKanripoText::IsTextFileName(const std::string& name, std::string& id, unsigned long& number) {
    constexpr std::string_view kExtension = ".txt";
    const size_t underscore = name.rfind('_');
    if (!name.starts_with("KR") || !name.ends_with(kExtension) || underscore == std::string::npos || underscore < 3)
        return false;
    const std::string_view stem(name.data(), underscore);
    if (!std::all_of(stem.begin(), stem.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)); }))
        return false;
    const std::string_view digits = std::string_view(name).substr(underscore + 1, name.size() - underscore - 1 - kExtension.size());
    if (!IsDigits(digits)) return false;
    id = std::string(stem);
    number = std::stoul(std::string(digits));
    return true;
}

CKanripoText::CKanripoText(fs::path folder) : m_folder(std::move(folder)) {
    std::error_code error;
    if (!fs::is_directory(m_folder, error)) throw CImportError(m_folder.string() + ": not a folder");
    for (fs::directory_iterator it(m_folder, error), end; !error && it != end; it.increment(error)) {
        std::string id;
        File file;
        if (!IsTextFileName(it->path().filename().string(), id, file.number)) continue;
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        if (!m_id.empty() && id != m_id)
            throw CImportError(m_folder.string() + ": holds files of two texts, " + m_id + " and " + id);
        m_id = id;
        file.path = it->path();
        m_files.push_back(std::move(file));
    }
    if (error) throw CImportError(m_folder.string() + ": cannot list the folder: " + error.message());
    if (m_files.empty())
        throw CImportError(m_folder.string() + ": no Kanripo text files (KR…_001.txt) in this folder");
    std::sort(m_files.begin(), m_files.end(), [](const File& a, const File& b) { return a.number < b.number; });
}

int CKanripoText::Division() const {
    const char digit = m_id.size() > 2 ? m_id[2] : '\0';
    if (digit < '1' || digit > '6')
        throw CImportError(m_folder.string() + ": " + m_id + " is in none of the divisions KR1 to KR6");
    return digit - '0';
}

void CKanripoText::ReadDescription() {
    for (File& file : m_files) ReadHeaders(file);
    if (m_title.empty()) throw CImportError(m_folder.string() + ": no file of " + m_id + " has a #+TITLE line");
    ReadReadme();
}

void CKanripoText::ReadHeaders(File& file) {
    std::ifstream in(file.path, std::ios::binary);
    if (!in) throw CImportError(file.path.string() + ": cannot read");
    std::string pageEdition;
    for (std::string line; std::getline(in, line);) {
        std::string_view text = Trim(line);
        if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
        if (text.starts_with(kTitleHeader)) {
            if (m_title.empty()) m_title = CSourceText::CleanLine(text.substr(kTitleHeader.size()));
        } else if (text.starts_with(kPropertyHeader)) {
            const std::string_view property = Trim(text.substr(kPropertyHeader.size()));
            const size_t blank = property.find_first_of(" \t");
            const std::string_view name = property.substr(0, blank);
            const std::string_view value = blank == std::string_view::npos ? std::string_view() : Trim(property.substr(blank));
            if (name == kEditionProperty && m_edition.empty()) m_edition = CSourceText::CleanLine(value);
            if (name == kJuanProperty && file.juan < 0 && IsDigits(value)) file.juan = std::stol(std::string(value));
        } else if (pageEdition.empty() && text.find(kPageStart) != std::string_view::npos) {
            pageEdition = PageEdition(text);
        }
    }
    if (in.bad()) throw CImportError(file.path.string() + ": cannot read");
    if (m_edition.empty()) m_edition = CSourceText::CleanLine(pageEdition);
}

// The Readme's table of contents ("[[file:NAME.txt][TITLE]]") and its table
// of editions ("| SBCK | 【四部叢刊】 |"). A text without a Readme has neither.
void CKanripoText::ReadReadme() {
    std::ifstream in(m_folder / kReadme, std::ios::binary);
    for (std::string line; in && std::getline(in, line);) {
        const std::string_view text = Trim(line);
        for (size_t at = text.find(kLinkStart); at != std::string_view::npos; at = text.find(kLinkStart, at + 1)) {
            const size_t nameStart = at + kLinkStart.size();
            const size_t nameEnd = text.find("][", nameStart);
            const size_t titleEnd = nameEnd == std::string_view::npos ? nameEnd : text.find("]]", nameEnd + 2);
            if (titleEnd == std::string_view::npos) break;
            m_tocNames.emplace(std::string(text.substr(nameStart, nameEnd - nameStart)),
                               CSourceText::CleanLine(text.substr(nameEnd + 2, titleEnd - nameEnd - 2)));
        }
        if (text.starts_with('|')) {
            const size_t codeEnd = text.find('|', 1);
            const size_t nameEnd = codeEnd == std::string_view::npos ? codeEnd : text.find('|', codeEnd + 1);
            if (nameEnd == std::string_view::npos) continue;
            const std::string code(Trim(text.substr(1, codeEnd - 1)));
            const std::string name = CSourceText::CleanLine(WithoutLenticularBrackets(text.substr(codeEnd + 1, nameEnd - codeEnd - 1)));
            if (!code.empty() && !name.empty()) m_editionNames.emplace(code, name);
        }
    }
}

std::string CKanripoText::BookName() const {
    if (m_edition.empty()) return m_title;
    const auto named = m_editionNames.find(m_edition);
    return m_title + std::string(kOpenParen) + (named == m_editionNames.end() ? m_edition : named->second) +
           std::string(kCloseParen);
}

std::string CKanripoText::VolumeName(const File& file) const {
    const auto listed = m_tocNames.find(file.path.filename().string());
    if (listed != m_tocNames.end()) {
        std::string_view name = listed->second;
        if (name.starts_with(m_title)) name = Trim(name.substr(m_title.size()));
        if (!name.empty() && !IsDigits(name)) return listed->second;
    }
    const long juan = file.juan >= 0 ? file.juan : long(file.number);
    if (juan == 0) return std::string(kFrontMatter);
    return std::string(kVolumeWord) + CSourceText::ChineseNumeral(int(std::min<long>(juan, 99999)));
}
