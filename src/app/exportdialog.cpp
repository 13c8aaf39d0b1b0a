#include "app/exportdialog.h"

#include <QFileDialog>
#include <QFileInfo>

namespace {

struct Filter {
    const char* text;
    const char* suffix;
    CExportDialog::Listing listing;
    CTableWriter::Format format;
};

constexpr Filter kFilters[] = {
    {"検索結果一覧 CSV (*.csv)", "csv", CExportDialog::Listing::kResults, CTableWriter::Format::kCsv},
    {"検索結果一覧 TSV (*.tsv)", "tsv", CExportDialog::Listing::kResults, CTableWriter::Format::kTsv},
    {"用例一覧 CSV (*.csv)", "csv", CExportDialog::Listing::kLines, CTableWriter::Format::kCsv},
    {"用例一覧 TSV (*.tsv)", "tsv", CExportDialog::Listing::kLines, CTableWriter::Format::kTsv},
};

class CFileExportDialog : public CExportDialog {
public:
    std::optional<Choice> Ask(QWidget* parent) override {
        QStringList filters;
        for (const Filter& filter : kFilters) filters << QString::fromUtf8(filter.text);
        QString chosen = filters.first();
        const QString path = QFileDialog::getSaveFileName(parent, QString::fromUtf8("検索結果の書き出し"), QString(),
                                                          filters.join(QStringLiteral(";;")), &chosen);
        if (path.isEmpty()) return std::nullopt;
        const Filter& filter = kFilters[std::max<qsizetype>(filters.indexOf(chosen), 0)];
        Choice choice;
        choice.path = QFileInfo(path).suffix().isEmpty() ? path + QLatin1Char('.') + QLatin1String(filter.suffix) : path;
        choice.listing = filter.listing;
        choice.format = filter.format;
        return choice;
    }
};

}  // namespace

std::unique_ptr<CExportDialog> CExportDialog::Create() { return std::make_unique<CFileExportDialog>(); }
