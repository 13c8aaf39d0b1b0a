#include "app/bookview.h"

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextFrame>
#include <QTextTable>

#include "app/commandids.h"
#include "app/shownpage.h"
#include "app/textwidth.h"

namespace {

constexpr const char* kCopyMenuText = "コピー(300字以内に制限しています。)";
constexpr const char* kSelectAllMenuText = "すべて選択。";
constexpr const char* kNoPrinterMessage = "プリンターが見つかりません。";
// The pages' own font: a serif face for the classical text, and room around it.
constexpr int kPagePointSize = 13;
constexpr int kPageMargin = 14;

// Splits "path#name" into the file's URL with its fragment. A "#" followed by
// a "/" belongs to the path.
QUrl LocalAddressUrl(const QString& address) {
    const qsizetype hash = address.lastIndexOf(QLatin1Char('#'));
    const bool hasFragment = hash >= 0 && address.indexOf(QLatin1Char('/'), hash) < 0;
    QUrl url = QUrl::fromLocalFile(hasFragment ? address.left(hash) : address);
    if (hasFragment) url.setFragment(address.mid(hash + 1));
    return url;
}

bool IsWebLink(const QUrl& url) {
    return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
}

// What a refused picture shows: one transparent pixel.
QImage BlankPicture() {
    QImage blank(1, 1, QImage::Format_ARGB32);
    blank.fill(Qt::transparent);
    return blank;
}

bool IsRightButtonEvent(const QEvent* event) {
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonRelease &&
        event->type() != QEvent::MouseButtonDblClick)
        return false;
    return static_cast<const QMouseEvent*>(event)->button() == Qt::RightButton;
}

}  // namespace

CBookView::CBookView(CMessageSink* messages, QWidget* parent) : QTextBrowser(parent), m_pMessages(messages) {
    setObjectName(QStringLiteral("bookView"));
    setOpenLinks(false);
    // Tab never enters the reader; a click or F6 makes it the active pane.
    setFocusPolicy(Qt::ClickFocus);
    document()->setUndoRedoEnabled(false);
    m_OpenExternal = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    QFont font = this->font();
    font.setFamilies({QStringLiteral("Noto Serif CJK TC"), QStringLiteral("Noto Serif CJK JP"), QStringLiteral("serif")});
    font.setPointSize(kPagePointSize);
    setFont(font);
    document()->setDocumentMargin(kPageMargin);
    setContextMenuPolicy(Qt::PreventContextMenu);
    viewport()->setContextMenuPolicy(Qt::PreventContextMenu);
    for (QObject* watched : {static_cast<QObject*>(this), static_cast<QObject*>(viewport()),
                             static_cast<QObject*>(horizontalScrollBar()), static_cast<QObject*>(verticalScrollBar())})
        watched->installEventFilter(this);

    m_pContextMenu = new QMenu(this);
    m_pContextMenu->setObjectName(QStringLiteral("readerMenu"));
    m_pContextMenu->addAction(QString::fromUtf8(kCopyMenuText), this, &CBookView::LimitedCopy)
        ->setObjectName(QStringLiteral("command%1").arg(ID_RCLICK_COPY));
    m_pContextMenu->addAction(QString::fromUtf8(kSelectAllMenuText), this, &QTextBrowser::selectAll)
        ->setObjectName(QStringLiteral("command%1").arg(ID_RCLICK_SELECT_ALL));

    connect(this, &QTextBrowser::copyAvailable, this, [this](bool available) { m_bCopyAvailable = available; });
    connect(this, &QTextBrowser::anchorClicked, this, &CBookView::FollowLink);
}

CBookView::~CBookView() = default;

void CBookView::SetPageFolder(const QString& folder) {
    m_strPageFolder = QFileInfo(folder).canonicalFilePath();
}

void CBookView::Navigate2(const QString& address) { Show(address, false); }

void CBookView::ShowHitPage(const QString& address, int textCell) {
    const QString path = QFileInfo(LocalAddressUrl(address).toLocalFile()).canonicalFilePath();
    if (!path.isEmpty()) m_HitPages.insert(path, textCell);
    Show(address, true);
}

// reread: the file was rewritten, so it is read again even while it is shown.
void CBookView::Show(const QString& address, bool reread) {
    if (address == QLatin1String(kBlankLocation) || address.isEmpty()) {
        setSource(QUrl());
        clear();
        m_bBlank = true;
    } else {
        const QUrl url = LocalAddressUrl(address);
        const bool sameFile = !m_bBlank && source().adjusted(QUrl::RemoveFragment) == url.adjusted(QUrl::RemoveFragment);
        setSource(url);
        // The same file shown without an anchor, or as a new hit page, was rewritten: read it again.
        if (sameFile && (reread || !url.hasFragment())) {
            reload();
            if (url.hasFragment()) scrollToAnchor(url.fragment());
        }
        m_bBlank = false;
    }
    clearHistory();
    emit LocationChanged();
}

void CBookView::doSetSource(const QUrl& name, QTextDocument::ResourceType type) {
    m_SourceUrl = name.isRelative() ? source().resolved(name) : name;
    QTextBrowser::doSetSource(name, type);
    KeepMinimumHeight();
}

// A short page keeps the height its file asks for; a long one grows past it.
void CBookView::KeepMinimumHeight() {
    if (m_nMinimumHeight <= 0) return;
    for (QTextFrame* frame : document()->rootFrame()->childFrames()) {
        auto* table = qobject_cast<QTextTable*>(frame);
        if (!table) continue;
        document()->size();  // lays the page out
        if (document()->documentLayout()->frameBoundingRect(table).height() >= m_nMinimumHeight) continue;
        QTextTableFormat format = table->format();
        format.setHeight(QTextLength(QTextLength::FixedLength, m_nMinimumHeight));
        {
            // The browser takes a changed document for one to read again at
            // the next anchor; this is still the file's page.
            const QSignalBlocker quiet(document());
            table->setFormat(format);
        }
        viewport()->update();
    }
}

QString CBookView::PageFolderFile(const QUrl& url) const {
    if (m_strPageFolder.isEmpty() || !url.isLocalFile()) return {};
    const QString path = QFileInfo(url.toLocalFile()).canonicalFilePath();
    if (path.isEmpty() || !path.startsWith(m_strPageFolder + QLatin1Char('/'))) return {};
    return path;
}

QVariant CBookView::loadResource(int type, const QUrl& name) {
    const QUrl url = name.isRelative() ? m_SourceUrl.resolved(name) : name;
    const bool own = url.scheme() == QLatin1String("qrc");
    const QString path = own ? QLatin1Char(':') + url.path() : PageFolderFile(url);
    if (type == QTextDocument::ImageResource) {
        QImage picture;
        if (!path.isEmpty()) picture.load(path);
        return picture.isNull() ? BlankPicture() : picture;
    }
    if (type == QTextDocument::HtmlResource) {
        if (!path.isEmpty()) return LoadPage(path);
        m_nMinimumHeight = 0;
    }
    return QStringLiteral("");  // not null: the document would read the file itself
}

QVariant CBookView::LoadPage(const QString& path) {
    QFile file(path);
    const QString html = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    const auto hit = m_HitPages.constFind(path);
    const CShownPage page = hit == m_HitPages.cend() ? CShownPage::FromPage(html) : CShownPage::FromHitPage(html, *hit);
    m_nMinimumHeight = page.MinimumHeight();
    return page.Html().isNull() ? QStringLiteral("") : page.Html();
}

QString CBookView::GetLocationURL() const {
    return m_bBlank ? QString::fromLatin1(kBlankLocation) : source().toString();
}

// An anchor of the page or another page of the page folder is shown; a web
// link opens in the browser; every other link is ignored.
void CBookView::FollowLink(const QUrl& url) {
    const QUrl target = m_SourceUrl.resolved(url);
    if (IsWebLink(target)) {
        if (m_OpenExternal) m_OpenExternal(target);
        return;
    }
    const QString path = PageFolderFile(target);
    if (path.isEmpty()) return;
    Navigate2(path + (target.hasFragment() ? QLatin1Char('#') + target.fragment() : QString()));
}

void CBookView::LimitedCopy() {
    if (!textCursor().hasSelection()) return;
    copy();
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QString text = clipboard->text();
    if (text.isEmpty()) return;
    const QString kept = CTextWidth::Cut(text, kCopyWidthLimit);
    if (kept.size() < text.size()) clipboard->setText(kept);  // drops every other format
}

bool CBookView::eventFilter(QObject* watched, QEvent* event) {
    if (IsRightButtonEvent(event)) {
        if (!m_bBlank) OpenContextMenu(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        return true;
    }
    if (event->type() == QEvent::ContextMenu) return true;  // never the browser's own menu
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Control && !key->isAutoRepeat()) {
            if (m_pMessages) m_pMessages->ShowMessage(QString::fromUtf8(kCtrlMessage));
            return true;
        }
    }
    return QTextBrowser::eventFilter(watched, event);
}

void CBookView::OpenContextMenu(const QPoint& globalPos) {
    if (m_pContextMenu->isVisible()) return;
    m_pContextMenu->popup(globalPos);
}

QPrinter& CBookView::Printer() {
    if (!m_pPrinter) m_pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_pPrinter;
}

void CBookView::PrintNow() {
    if (QPrinterInfo::defaultPrinter().isNull()) {
        if (m_pMessages) m_pMessages->ShowMessage(QString::fromUtf8(kNoPrinterMessage));
        return;
    }
    QPrinter& printer = Printer();
    printer.setPrinterName(QPrinterInfo::defaultPrinter().printerName());
    print(&printer);
}

void CBookView::PrintWithDialog() {
    QPrintDialog dialog(&Printer(), this);
    if (dialog.exec() == QDialog::Accepted) print(&Printer());
}

void CBookView::PageSetup() {
    QPageSetupDialog dialog(&Printer(), this);
    dialog.exec();
}

void CBookView::PrintPreview() {
    QPrintPreviewDialog dialog(&Printer(), this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* printer) { print(printer); });
    dialog.exec();
}
