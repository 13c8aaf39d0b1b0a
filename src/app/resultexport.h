// CResultExport: the files the export command writes: the result entries or
// the concordance lines as the command line lists them, a CSV file opening
// with a UTF-8 byte order mark so spreadsheets read its CJK text as UTF-8.
#pragma once

#include <string>
#include <vector>

#include <QString>

#include "panel/model/concordanceline.h"
#include "panel/model/searchnodetag.h"
#include "panel/model/tablewriter.h"

class CResultExport {
public:
    static constexpr const char* kByteOrderMark = "\xEF\xBB\xBF";

    CResultExport() = delete;

    // A CSV file opens with the column names, a TSV file with the totals line.
    static std::string Entries(const std::vector<SearchNodeTag>& entries, int totalHits, CTableWriter::Format format);
    static std::string Lines(const std::vector<ConcordanceLine>& lines, CTableWriter::Format format);
    // Replaces path's content with bytes; false when it cannot be written whole.
    static bool Write(const QString& path, const std::string& bytes);
};
