#include "app/bookview.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QFont>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScrollBar>
#include <QAbstractTextDocumentLayout>
#include <QToolTip>

#include "app/commandids.h"
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

void CBookView::Navigate2(const QString& address) {
    if (address == QLatin1String(kBlankLocation) || address.isEmpty()) {
        setSource(QUrl());
        clear();
        m_bBlank = true;
    } else {
        const QUrl url = LocalAddressUrl(address);
        const bool sameFile = !m_bBlank && source().adjusted(QUrl::RemoveFragment) == url.adjusted(QUrl::RemoveFragment);
        setSource(url);
        // The same file without an anchor was rewritten: read it again.
        if (sameFile && !url.hasFragment()) reload();
        m_bBlank = false;
    }
    clearHistory();
    emit LocationChanged();
}

QString CBookView::GetLocationURL() const {
    return m_bBlank ? QString::fromLatin1(kBlankLocation) : source().toString();
}

void CBookView::FollowLink(const QUrl& url) {
    const QUrl resolved = source().resolved(url);
    if (resolved.isLocalFile())
        Navigate2(resolved.toLocalFile() + (resolved.hasFragment() ? QLatin1Char('#') + resolved.fragment() : QString()));
    else
        QDesktopServices::openUrl(resolved);
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
    if (event->type() == QEvent::ToolTip && watched == viewport()) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString title = TitleAt(help->pos());
        if (title.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), title, viewport());
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Control && !key->isAutoRepeat()) {
            if (m_pMessages) m_pMessages->ShowMessage(QString::fromUtf8(kCtrlMessage));
            return true;
        }
    }
    return QTextBrowser::eventFilter(watched, event);
}

QString CBookView::TitleAt(const QPoint& pos) const {
    const QPoint documentPos = pos + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    return document()->documentLayout()->formatAt(documentPos).toCharFormat().toolTip();
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
