// CLeftForm: the search panel, the left pane of the main window. Two tabs
// share one set of controls: "目録" shows the table of contents, "検索" the
// keyword box with its options, the search range, the totals and the results
// list with its list pages. The panel owns the program's index (one search
// scope open at a time), the outline, the entries of the last search and the
// reading position: the volume and printed page shown from the table of
// contents and the hits of the result page opened last. It reaches the reader,
// the toolbar's page controls and the message boxes only through the services
// the frame hands it, which must outlive it. It is the research tools' source
// of the last search's result.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <vector>

#include <QString>

#include "index/index.h"
#include "panel/model/listpager.h"
#include "panel/model/searchnodetag.h"
#include "panel/model/tocmodel.h"
#include "panel/researchsource.h"
#include "panel/searchpanel.h"
#include "panel/sinknotifier.h"

class CSortListCtrl;
struct SearchScope;
class CToolTipResourceButton;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

class CLeftForm : public CSearchPanel, public CResearchSource {
    Q_OBJECT

public:
    static constexpr int kTocTab = 0;     // "目録"
    static constexpr int kSearchTab = 1;  // "検索"

    // Opens the full-text scope of services.dataFolder and loads its table of
    // contents; either failure is told through the message sink and leaves the
    // panel working without it.
    explicit CLeftForm(const CPanelServices& services, QWidget* parent = nullptr);
    // Closes the index and removes the three page files of the temporary folder.
    ~CLeftForm() override;

    // The reading state the frame's "一覧" commands and the page slider use.
    int GetCurrentNode() const override { return m_nCurNode; }
    int GetCurrentPage() const override { return m_nCurPage; }
    int GetHitCount() const override { return m_nHitCount; }
    int GetCurrentHit() const override { return m_nCurrentHit; }
    bool CanStep(Step step) const override;
    void RunStep(Step step) override;
    void OnSliderRelease(int printedPage) override;

    // The research tools' view of the last search.
    CResearchSource* GetResearchSource() override { return this; }
    const std::vector<SearchNodeTag>& GetResults() const override { return m_Results; }
    const ContentsNodeTag* GetSearchedRange() const override { return m_Toc.Node(m_nSearchedItem); }
    int GetTotalHits() const override { return m_nTotalHits; }
    CConcordance::PageRenderer HitPageRenderer() const override;
    void OpenHit(int page, int anchor) override;
    void SearchInRange(int record) override;

    // Table of contents. The tree's selection makes its entry the search range;
    // an entry without sub-entries also becomes the volume read, from its first page.
    void OnTocSelChanged();
    // Shows printed page printedPage (the record's first page when useOwnPage
    // is 1) of record's run in the reader, as the store holds it. A page the run
    // does not hold shows "about:blank"; a page file that cannot be written
    // leaves the reader as it was.
    void ShowTocPage(int record, int useOwnPage, int printedPage);

    // The search button and the Enter key with at most one list page: reads
    // the keyword box and the options and searches the range.
    void OnSearch();
    // The scope buttons: reopen the index on full text, main text or annotations.
    void OnScopeFull();
    void OnScopeMain();
    void OnScopeNotes();

    // Results list: the rows of the current list page, "<", ">" and the page box.
    void ShowResultPage();
    void UpdatePager();
    void OnPrevListPage();
    void OnNextListPage();
    void GoToListPage();
    // A row became selected: renders its page with the keyword marked, writes it
    // to the next of the two result files and shows it at its first hit.
    void OnResultItemChanged();

    // Reading navigation (the commands' enable rules are CanStep's).
    void OnPrevPage();
    void OnNextPage();
    void OnPrevVolume();
    void OnNextVolume();
    void OnPrevHit();
    void OnNextHit();

    // Places the controls of the tab shown in the panel's current size.
    void LayoutPanel();

    // What the panel holds, for the frame's tests and the panel's own.
    const CTocModel& GetTableOfContents() const { return m_Toc; }
    int GetScopeItem() const { return m_nScopeItem; }
    QString GetKeyword() const { return m_strKeyword; }
    int GetScopeCode() const { return m_nScopeCode; }
    const CListPager& GetListPager() const { return m_Pager; }
    QString GetTocFile() const { return m_strTocFile; }
    QString GetHitFile1() const { return m_strHitFile1; }
    QString GetHitFile2() const { return m_strHitFile2; }
    QString GetResultFile() const { return m_strResultFile; }
    QTreeWidgetItem* GetTreeItem(int record) const;

    static constexpr const char* kNoTocMessage = "you delete data file!";
    static constexpr const char* kNoRangeMessage = "検索範囲をまた指定していません。";
    static constexpr const char* kNoKeywordMessage = "何かキーワードを入力して検索をして下さい。";
    static constexpr const char* kLastVolumeMessage = "もう最後の巻まで至りました。";
    static constexpr const char* kFirstVolumeMessage = "これ以上戻れません。もう巻一に至っています。";
    // The diagnostic listing of the table of contents, in the user's cache folder.
    static constexpr const char* kListingFileName = "vrn.txt";

protected:
    // The Enter key anywhere in the panel, and the page box losing the focus.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void CreateControls();
    void CreateSearchControls();
    void CreateResultControls();
    void OnInitialUpdate();
    void LayoutSearchTab(int width, int height);
    void LayoutTocTab(int width, int height);
    void OnTabChanged();
    void HideControls(std::initializer_list<QWidget*> controls, QWidget* first);

    void LoadTableOfContents();
    void WriteListing() const;
    void SetVolume(int record);
    void SetReadingPosition(int record, int printedPage);
    int TextCellOf(int page) const;
    void ReadOnFrom(int page);

    std::optional<QString> ReadKeywordBox() const;
    void RunSearch();
    void OpenScope(const SearchScope& scope);
    void OpenHitPage(int page, int anchor);

    void ApplyEnterKey(QObject* target);
    void SelectTreeItem(QTreeWidgetItem* item);
    QTreeWidgetItem* NextSibling(QTreeWidgetItem* item) const;
    QTreeWidgetItem* PrevSibling(QTreeWidgetItem* item) const;
    QTreeWidgetItem* FirstChild(QTreeWidgetItem* item) const;
    QTreeWidgetItem* SelectedTreeItem() const;
    void ShowPageLabel();
    void ReportReadingState();
    void Message(const char* text);

    static bool WritePageFile(const QString& path, std::string_view bytes);
    // The result file shown at hit hit: "windows1.html#0003".
    QString HitAddress(int hit) const;

    CPanelServices m_Services;
    CSinkNotifier m_Notifier;
    CIndex m_Index;

    // Table of contents and selection.
    CTocModel m_Toc;
    std::vector<QTreeWidgetItem*> m_TreeItems;  // by record index; slot 0 unused
    uint16_t m_nScopeItem = 0;                  // record of the search range; 0: none
    QString m_strScopePath;                     // that entry's path, "category\book\volume"
    int m_nCurNode = 0;                         // record of the volume read; 0: none
    int m_nCurPage = 0;                         // printed page read

    // Search and results.
    QString m_strKeyword;        // keyword of the last search, marked in opened pages
    int m_nAndOr = 0;            // 0 every word, 1 any word
    bool m_bVariants = true;     // variant characters count as the same
    bool m_bIgnorePunctuation = false;  // punctuation may stand inside a phrase
    int m_nScopeCode = 0;        // render scope of the open index
    std::vector<SearchNodeTag> m_Results;
    int m_nSearchedItem = 0;     // record of the range the results come from; 0: none yet
    int m_nTotalHits = 0;
    CListPager m_Pager;

    // Result page opened last.
    bool m_bAltFile = true;      // the next result goes to windows1.html (else windows2.html)
    QString m_strResultFile;
    int m_nHitCount = 0;
    int m_nCurrentHit = 0;
    bool m_bHitPageShown = false;  // the reader shows that page; no other was shown since

    // Page files in the temporary folder.
    QString m_strTocFile;
    QString m_strHitFile1;
    QString m_strHitFile2;

    // Controls.
    QTabWidget* m_TabCtrl = nullptr;
    QTreeWidget* m_TreeCtrl = nullptr;
    QLabel* m_PromptLabel = nullptr;
    QLineEdit* m_KeywordBox = nullptr;
    QPushButton* m_SearchButton = nullptr;
    QFrame* m_Separator = nullptr;
    QCheckBox* m_VariantCheck = nullptr;
    QCheckBox* m_PunctuationCheck = nullptr;
    QGroupBox* m_MethodGroup = nullptr;
    QRadioButton* m_AndButton = nullptr;
    QRadioButton* m_OrButton = nullptr;
    QGroupBox* m_TargetGroup = nullptr;
    QRadioButton* m_FullButton = nullptr;
    QRadioButton* m_MainButton = nullptr;
    QRadioButton* m_NotesButton = nullptr;
    QGroupBox* m_RangeGroup = nullptr;
    QLabel* m_ScopeLabel = nullptr;
    QLabel* m_TotalsLabel = nullptr;
    CSortListCtrl* m_ResultList = nullptr;
    CToolTipResourceButton* m_PrevButton = nullptr;
    CToolTipResourceButton* m_NextButton = nullptr;
    QLineEdit* m_PageEdit = nullptr;
    QLabel* m_PageCountLabel = nullptr;
};
