// CTableWriter: writes rows of fields as tab-separated lines or as
// CSV by the rules of RFC 4180 (a field holding a comma, a quote or a line
// break is quoted, its quotes doubled; lines end in CRLF).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CTableWriter {
public:
    enum class Format { kTsv, kCsv };

    // "tsv" or "csv"; none for anything else.
    static std::optional<Format> FormatOf(std::string_view name);

    explicit CTableWriter(Format format) : m_format(format) {}
    void WriteRow(const std::vector<std::string>& fields) const;
    // One row as the format writes it, line end included.
    std::string FormatRow(const std::vector<std::string>& fields) const;

private:
    static void AppendCsvField(std::string_view field, std::string& line);
    // A TAB or line break inside a field would cut the line: it becomes a space.
    static void AppendTsvField(std::string_view field, std::string& line);

    Format m_format;
};
