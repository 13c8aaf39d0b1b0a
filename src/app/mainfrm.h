// CMainFrame: the program's single top-level window. From top to bottom it
// holds the menus, the toolbar with the page slider and page edit, and the
// splitter with the search panel (left) and the reader (right). It owns the
// command set (copy, select all, printing, full display, help, About, exit,
// the page, volume and hit steps) and re-evaluates the commands' enable rules
// when a menu opens and whenever the program goes idle, so that menus and
// toolbar buttons are never stale.
#pragma once

#include <functional>

#include <QHash>
#include <QMainWindow>
#include <QMetaObject>

#include "panel/readingstate.h"
#include "panel/searchpanel.h"

class CBookView;
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
    void OnViewAll();
    void OnHelpFile();
    void OnAppAbout();
    // F6, Shift+F6: the other pane becomes the active pane.
    void OnNextPane();

private:
    void CreateActions();
    void CreateToolBar();
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
    QMetaObject::Connection m_IdleConnection;   // the idle update of the enable rules
};
