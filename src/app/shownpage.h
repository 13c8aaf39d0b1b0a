// CShownPage: what the reader displays of a page file. The page files keep
// the fixed 477-pixel page of their templates, which a web browser grows with
// the text but Qt's text engine clips; the reader shows a copy whose tables and
// cells grow with their text (MinimumHeight says how tall a short page stays).
// On a rendered hit page the text cell is as wide as a stored page's on either
// parity, and the other cell holds the margin with the program's own picture.
#pragma once

#include <QString>

class CShownPage {
public:
    static constexpr int kTextCellWidth = 520;    // the stored page's text cell
    static constexpr int kMarginCellWidth = 80;   // the margin: volume name, page number
    static constexpr const char* kMarginPicture = "qrc:/res/Back.gif";

    // Any page file: every height of its tables and cells dropped.
    static CShownPage FromPage(const QString& html);
    // A rendered hit page whose text stands in cell textCell of the template's
    // row (0 the first, 1 the second); grows like any page. A page without two
    // cells only grows.
    static CShownPage FromHitPage(const QString& html, int textCell);

    const QString& Html() const { return m_strHtml; }
    // The tallest table height the file asked for (0 when none): the shown
    // table is at least this tall, as a browser keeps it.
    int MinimumHeight() const { return m_nMinimumHeight; }

private:
    QString m_strHtml;
    int m_nMinimumHeight = 0;
};
