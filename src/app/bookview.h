// CBookView: the reader, the right-hand pane of the main window. A text
// browser that shows the pages the search panel writes and adds the program's
// copy policy: copying goes through its own right-click menu and keeps at most
// 300 full-width characters, and a Ctrl key press inside it reminds the user
// of that. It also selects all, prints and sets up the page. It reads only
// the pages of its private page folder and the program's own pictures, and
// follows links only inside that folder (web links go to the desktop's browser).
#pragma once

#include <functional>
#include <memory>

#include <QHash>
#include <QUrl>

#include <QTextBrowser>

#include "panel/messagesink.h"
#include "panel/readerpane.h"

class QMenu;
class QPrinter;

class CBookView : public QTextBrowser, public CReaderPane {
    Q_OBJECT

public:
    static constexpr const char* kBlankLocation = "about:blank";
    // Width (CTextWidth) the limited copy keeps: 300 full-width characters.
    static constexpr int kCopyWidthLimit = 600;
    static constexpr const char* kCtrlMessage = "マウスの右ボタンでコピーして下さい。";

    // messages shows the Ctrl reminder; it must outlive the view.
    explicit CBookView(CMessageSink* messages, QWidget* parent = nullptr);
    ~CBookView() override;

    // The folder whose pages the view shows and whose page files links may
    // open; nothing outside it is read. Set before the first page.
    void SetPageFolder(const QString& folder);
    // Opens an http or https link; the desktop's browser unless replaced.
    void SetExternalOpener(std::function<void(const QUrl&)> open) { m_OpenExternal = std::move(open); }

    void Navigate2(const QString& address) override;
    void ShowHitPage(const QString& address, int textCell) override;
    QString GetLocationURL() const override;
    bool IsBlank() const { return m_bBlank; }

    // Copies the selection; when it is wider than kCopyWidthLimit the clipboard
    // keeps only its plain text, cut to the limit. No selection: nothing happens.
    void LimitedCopy();
    // The whole selection, every format, no limit (the copy key while the reader is active).
    void CopyAll() { copy(); }
    bool CanCopyAll() const { return m_bCopyAvailable; }

    // Prints the page to the default printer at once; tells the user when there is none.
    void PrintNow();
    // Prints through the print dialog.
    void PrintWithDialog();
    void PageSetup();
    void PrintPreview();

    // The page files and pictures the view may read: only those of its page
    // folder and the program's resources; anything else is an empty page or
    // a blank picture, never read.
    QVariant loadResource(int type, const QUrl& name) override;

    // The right-click menu; visible while it is open.
    QMenu* GetContextMenu() const { return m_pContextMenu; }

signals:
    // The location changed: a page or anchor was shown.
    void LocationChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override;

private:
    void Show(const QString& address, bool reread);
    void OpenContextMenu(const QPoint& globalPos);
    void FollowLink(const QUrl& url);
    // The canonical path of url when it is a file of the page folder; else empty.
    QString PageFolderFile(const QUrl& url) const;
    QVariant LoadPage(const QString& path);
    void KeepMinimumHeight();
    QPrinter& Printer();

    CMessageSink* m_pMessages;
    QMenu* m_pContextMenu = nullptr;
    std::unique_ptr<QPrinter> m_pPrinter;  // made on first use; keeps the page setup
    bool m_bBlank = true;                  // "about:blank": nothing shown yet
    bool m_bCopyAvailable = false;         // there is a selection to copy
    QString m_strPageFolder;               // canonical; empty: no page is read
    QHash<QString, int> m_HitPages;        // hit page files (canonical) and their text cells
    QUrl m_SourceUrl;                      // the page being shown, for its relative names
    int m_nMinimumHeight = 0;              // of the page's table, as its file asks
    std::function<void(const QUrl&)> m_OpenExternal;
};
