// CPageControls: the toolbar's page slider and page edit as the search panel
// writes them (tree selection, page and volume steps). The main frame's toolbar
// implements it; panel tests replace it with a fake.
#pragma once

#include <QString>

class CPageControls {
public:
    virtual ~CPageControls() = default;
    // Range of printed page numbers the slider covers (0..0 until a volume is read).
    virtual void SetSliderRange(int minimum, int maximum) = 0;
    virtual void SetSliderPos(int position) = 0;
    virtual int GetSliderPos() const = 0;
    // The page edit's text; write it with PageLabelText.
    virtual void SetPageLabel(const QString& text) = 0;
    virtual QString GetPageLabel() const = 0;

    // The page label text "%d/%d": the store's header word, then the printed page.
    static QString PageLabelText(int headerWord, int printedPage) {
        return QStringLiteral("%1/%2").arg(headerWord).arg(printedPage);
    }
};
