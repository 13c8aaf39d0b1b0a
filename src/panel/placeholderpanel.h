// CPlaceholderPanel: the left pane until the table of contents and the search
// take its place. It opens the collection's full-text scope like the search
// panel does, lists the pages of the document store and reads them as one
// volume of printed pages 1..n, through the same services the search panel uses.
#pragma once

#include <QString>

#include "index/index.h"
#include "panel/searchpanel.h"
#include "panel/sinknotifier.h"

class QListWidget;

class CPlaceholderPanel : public CSearchPanel {
public:
    // Opens the index of services.dataFolder; a failure is told through the
    // message sink and leaves the list empty.
    CPlaceholderPanel(const CPanelServices& services, QWidget* parent = nullptr);
    // Removes the page file it wrote.
    ~CPlaceholderPanel() override;

    int GetCurrentNode() const override { return m_nCurNode; }
    int GetCurrentPage() const override { return m_nCurPage; }
    int GetHitCount() const override { return 0; }
    int GetCurrentHit() const override { return 0; }
    bool CanStep(Step step) const override;
    void RunStep(Step step) override;
    void OnSliderRelease(int printedPage) override;

    // Shows page printedPage (1..page count) in the reader and moves the
    // slider, the page edit and the list to it; other numbers do nothing.
    void ShowPage(int printedPage);

private:
    void FillPageList();
    int PageCount() const;

    CPanelServices m_Services;
    CSinkNotifier m_Notifier;
    CIndex m_Index;
    QString m_strTocFile;                // the page file shown in the reader
    QListWidget* m_pPageList = nullptr;  // one row per page of the store
    int m_nCurNode = 0;                  // 1 once a page is read, else 0
    int m_nCurPage = 0;                  // page being read, 1-based
};
