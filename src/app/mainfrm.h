// CMainFrame: the program's single top-level window. From top to bottom it
// holds the menus, the toolbar with the page slider and page edit, and the
// splitter with the search panel (left) and the reader (right), and under
// them the research dock while it is switched on. It owns the
// command set (copy, select all, printing, full display, help, About, exit,
// the page, volume and hit steps, the export of the results) and re-evaluates the commands' enable rules
// when a menu opens and whenever the program goes idle, so that menus and
// toolbar buttons are never stale.
#pragma once

#include <functional>
#include <memory>

#include <QHash>
#include <QMainWindow>
#include <QMetaObject>

#include "panel/readingstate.h"
#include "panel/searchpanel.h"

class CBookView;
class CConcordanceDock;
class CExportDialog;
class CMessageSink;
class CSCrollToolBar;
class ST_SplitterWnd;
class QAction;

struct CFrameOptions {
    QString programFolder;  // holds "main.gif" and "help.html"
    QString dataFolder;     // the collection the panel opens
    QString tempFolder;     // this run's private folder for page files
    QString documentName;   // offered by the save command; may be empty
};

class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    using PanelFactory = std::function<CSearchPanel*(const CPanelServices&, QWidget*)>;
    static constexpr const char* kCaption = "Quorel";

    // messages shows every message of the window and the panel; it must
    // outlive the frame. makePanel builds the left pane.
    CMainFrame(const CFrameOptions& options, CMessageSink* messages, PanelFactory makePanel = &CSearchPanel::Create,
               QWidget* parent = nullptr);
    // Destroys the panes (the splitter writes its layout) before the rest.
    ~CMainFrame() override;

    CBookView* GetRightPane() const { return m_pBookView; }
    CSearchPanel* GetLeftForm() const { return m_pLeftForm; }
    CSCrollToolBar* GetToolBar() const { return m_wndToolBar; }
    ST_SplitterWnd* GetSplitter() const { return m_wndSplitter; }
    CConcordanceDock* GetConcordanceDock() const { return m_pConcordance; }
    // The dialog the export command asks (the program's save dialog until replaced).
    void SetExportDialog(std::unique_ptr<CExportDialog> dialog);
    // The action of command id (commandids.h), or null.
    QAction* GetAction(int id) const { return m_Actions.value(id); }
    // The reader is the active pane (it had the focus last); else the search panel is.
    bool IsReaderActive() const;

    void UpdateCommandUI();

    void OnEditCopy();
    void OnSelectAll();
    void OnPrint();
    void OnPrintSetup();
    void OnFilePrint();
    void OnFileSave();
    // "検索結果の書き出し…": the results list or the concordance lines to a file.
    void OnFileExport();
    void OnViewAll();
    void OnHelpFile();
    void OnAppAbout();
    // F6, Shift+F6: the next (previous) pane takes the focus: the search
    // panel, the reader and, while it shows, the research dock's table.
    void OnNextPane();
    void OnPrevPane();

private:
    void CreateActions();
    void CreateToolBar();
    void CreateConcordanceDock();
    void CyclePane(int direction);
    void OnCreateClient(const PanelFactory& makePanel);
    void CreateMenus();
    QAction* AddCommand(int id, const char* text, const char* toolTip, void (CMainFrame::*handler)());
    void RunReadingStep(CReadingState::Step step);
    void Enable(int id, bool enabled);

    CFrameOptions m_Options;
    CMessageSink* m_pMessages;
    QHash<int, QAction*> m_Actions;             // by command id
    QHash<int, CReadingState::Step> m_Steps;    // the reading commands' steps by command id
    ST_SplitterWnd* m_wndSplitter = nullptr;
    CBookView* m_pBookView = nullptr;           // pane 1
    CSearchPanel* m_pLeftForm = nullptr;        // pane 0
    CSCrollToolBar* m_wndToolBar = nullptr;
    CConcordanceDock* m_pConcordance = nullptr;
    std::unique_ptr<CExportDialog> m_pExportDialog;
    QMetaObject::Connection m_IdleConnection;   // the idle update of the enable rules
    QMetaObject::Connection m_DockSwitchConnection;  // remembers the dock switched on or off
};
