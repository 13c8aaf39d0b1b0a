// CReaderPane: the reading pane as the search panel sees it. The main frame's
// reader (CBookView) implements it; panel tests replace it with a fake.
#pragma once

#include <QString>

class CReaderPane {
public:
    virtual ~CReaderPane() = default;
    // Shows address: "about:blank", or a local file path optionally followed by
    // "#" and an anchor name ("#0003"). Navigating again to the file shown with
    // another anchor only scrolls; without an anchor the file is read again.
    // An empty address is "about:blank".
    virtual void Navigate2(const QString& address) = 0;
    // Shows a rendered hit page at address (its file followed by "#0000"),
    // read again even when that file is shown. textCell is the template cell
    // that holds the page's text: 0 the first, 1 the second.
    virtual void ShowHitPage(const QString& address, int textCell) = 0;
    // "about:blank" until the first page is shown, then the page's address.
    virtual QString GetLocationURL() const = 0;
};
