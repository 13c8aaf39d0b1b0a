#include "app/resultexport.h"

#include <QSaveFile>

#include "panel/model/listingrows.h"

namespace {

std::string Opening(CTableWriter::Format format) {
    return format == CTableWriter::Format::kCsv ? CResultExport::kByteOrderMark : "";
}

}  // namespace

std::string CResultExport::Entries(const std::vector<SearchNodeTag>& entries, int totalHits,
                                   CTableWriter::Format format) {
    const CTableWriter writer(format);
    std::string bytes = Opening(format);
    bytes += format == CTableWriter::Format::kCsv ? writer.FormatRow(CListingRows::EntryColumns())
                                                  : CListingRows::TotalsLine(entries.size(), totalHits);
    for (const SearchNodeTag& entry : entries) bytes += writer.FormatRow(CListingRows::EntryRow(entry));
    return bytes;
}

std::string CResultExport::Lines(const std::vector<ConcordanceLine>& lines, CTableWriter::Format format) {
    const CTableWriter writer(format);
    std::string bytes = Opening(format) + writer.FormatRow(CListingRows::LineColumns());
    for (const ConcordanceLine& line : lines) bytes += writer.FormatRow(CListingRows::LineRow(line));
    return bytes;
}

bool CResultExport::Write(const QString& path, const std::string& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size())) return false;
    return file.commit();
}
