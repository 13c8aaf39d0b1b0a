// CExportDialog: asks where the export command writes and what: the results
// list or the concordance lines, as CSV or TSV, chosen by the save dialog's
// filter. The frame asks through it, so tests answer without a dialog.
#pragma once

#include <memory>
#include <optional>

#include <QString>

#include "panel/model/tablewriter.h"

class QWidget;

class CExportDialog {
public:
    enum class Listing { kResults, kLines };
    struct Choice {
        QString path;
        Listing listing = Listing::kResults;
        CTableWriter::Format format = CTableWriter::Format::kCsv;
    };

    virtual ~CExportDialog() = default;
    // None when the user cancels.
    virtual std::optional<Choice> Ask(QWidget* parent) = 0;

    // The program's: a save dialog with one filter per listing and format; a
    // name typed without a suffix gets the filter's.
    static std::unique_ptr<CExportDialog> Create();
};
