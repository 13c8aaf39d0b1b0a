#include "panel/model/tablewriter.h"

#include <cstdio>

std::optional<CTableWriter::Format> CTableWriter::FormatOf(std::string_view name) {
    if (name == "tsv") return Format::kTsv;
    if (name == "csv") return Format::kCsv;
    return std::nullopt;
}

void CTableWriter::WriteRow(const std::vector<std::string>& fields) const {
    const std::string line = FormatRow(fields);
    std::fwrite(line.data(), 1, line.size(), stdout);
}

std::string CTableWriter::FormatRow(const std::vector<std::string>& fields) const {
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) line.push_back(m_format == Format::kCsv ? ',' : '\t');
        if (m_format == Format::kCsv)
            AppendCsvField(fields[i], line);
        else
            AppendTsvField(fields[i], line);
    }
    line.append(m_format == Format::kCsv ? "\r\n" : "\n");
    return line;
}

void CTableWriter::AppendCsvField(std::string_view field, std::string& line) {
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        line.append(field);
        return;
    }
    line.push_back('"');
    for (const char c : field) {
        if (c == '"') line.push_back('"');
        line.push_back(c);
    }
    line.push_back('"');
}

void CTableWriter::AppendTsvField(std::string_view field, std::string& line) {
    for (const char c : field) line.push_back(c == '\t' || c == '\n' || c == '\r' ? ' ' : c);
}
