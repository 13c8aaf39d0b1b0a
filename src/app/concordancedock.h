// CConcordanceDock: the research tools under the reader, off until the user
// switches them on: "用例一覧" lists the concordance lines of the last search
// (choosing one opens its page at its hit; the headers and the context menu
// sort them) and "書名別集計" its pages and hits
// per book (choosing one searches again in that book). It refills after every
// search while it shows, and when it opens after searches it missed.
#pragma once

#include <vector>

#include <QDockWidget>

#include "panel/model/booktotals.h"
#include "panel/model/concordanceline.h"

class CConcordanceModel;
class CResearchSource;
class QLabel;
class QTableView;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

class CConcordanceDock : public QDockWidget {
    Q_OBJECT

public:
    static constexpr int kLinesTab = 0;  // "用例一覧"
    static constexpr int kBooksTab = 1;  // "書名別集計"
    // Characters of context either side of a match.
    static constexpr int kContext = 20;

    explicit CConcordanceDock(QWidget* parent = nullptr);

    // source must outlive the dock or be taken away (null) before it goes.
    void SetSource(CResearchSource* source);
    // The panel searched: the dock shows the new result, now or when it opens.
    void OnSearchFinished();

    CConcordanceModel* GetModel() const { return m_pModel; }
    QTableView* GetLineView() const { return m_LineView; }
    QTreeWidget* GetBookList() const { return m_BookList; }
    QTabWidget* GetTabs() const { return m_Tabs; }
    const std::vector<CBookTotals::Book>& GetBooks() const { return m_Books; }
    // Every line of the last search in the order shown, made now if need be.
    const std::vector<ConcordanceLine>& AllLines();
    // The table of the tab shown: it takes the focus in the pane cycle.
    QWidget* CurrentTable() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void CreateLinesTab();
    void CreateBooksTab();
    void Refill();
    void FillBooks();
    void ShowProgress();
    void OnHeaderClicked(int section);
    void OnLineActivated(const QModelIndex& index);
    void OnBookActivated(QTreeWidgetItem* item);

    CResearchSource* m_pSource = nullptr;
    bool m_bStale = false;  // a search came while the dock was closed
    CConcordanceModel* m_pModel = nullptr;
    std::vector<CBookTotals::Book> m_Books;
    QTabWidget* m_Tabs = nullptr;
    QTableView* m_LineView = nullptr;
    QLabel* m_LinesLabel = nullptr;
    QTreeWidget* m_BookList = nullptr;
    QLabel* m_BooksLabel = nullptr;
};
