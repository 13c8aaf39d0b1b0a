#include "app/shownpage.h"

#include <algorithm>

#include <QRegularExpression>

#include "docstore/pagetemplate.h"

namespace {

QString FromView(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

// A tag's attribute, with its value quoted or bare.
QRegularExpression AttributePattern(const char* names) {
    return QRegularExpression(QStringLiteral("\\s+(?:%1)\\s*=\\s*(?:\"[^\"]*\"|'[^']*'|[^\\s>]*)").arg(QLatin1String(names)),
                              QRegularExpression::CaseInsensitiveOption);
}

// The end of the tag that starts at from ('<'), or -1.
qsizetype TagEnd(const QString& html, qsizetype from) { return html.indexOf(QLatin1Char('>'), from); }

bool IsTableOrCell(const QString& tag) {
    static const QRegularExpression name(QStringLiteral("^<(?:table|td|th)[\\s>]"), QRegularExpression::CaseInsensitiveOption);
    return name.match(tag).hasMatch();
}

// Drops the heights of every table and cell tag, keeping the tallest table height.
QString DropHeights(const QString& html, int& tallest) {
    static const QRegularExpression height = AttributePattern("height");
    static const QRegularExpression tableHeight(QStringLiteral("^<table\\b[^>]*\\sheight\\s*=\\s*[\"']?(\\d+)"),
                                                QRegularExpression::CaseInsensitiveOption);
    QString out;
    out.reserve(html.size());
    qsizetype pos = 0;
    while (pos < html.size()) {
        const qsizetype open = html.indexOf(QLatin1Char('<'), pos);
        const qsizetype close = open < 0 ? -1 : TagEnd(html, open);
        if (close < 0) {
            out += QStringView(html).mid(pos);
            break;
        }
        out += QStringView(html).mid(pos, open - pos);
        QString tag = html.mid(open, close + 1 - open);
        if (IsTableOrCell(tag)) {
            const QRegularExpressionMatch match = tableHeight.match(tag);
            if (match.hasMatch()) tallest = std::max(tallest, match.captured(1).left(6).toInt());
            tag.remove(height);
        }
        out += tag;
        pos = close + 1;
    }
    return out;
}

// The first cell tag at or after from: its start, or -1.
qsizetype FindCell(const QString& html, qsizetype from) {
    return html.indexOf(FromView(pagetemplate::kCellOpen), from);
}

// Replaces the cell tag at start with one of the given width (and picture).
qsizetype RewriteCell(QString& html, qsizetype start, int width, const char* picture) {
    static const QRegularExpression sized = AttributePattern("width|background");
    const qsizetype close = TagEnd(html, start);
    if (close < 0) return -1;
    QString tag = html.mid(start, close - start);  // without its '>'
    tag.remove(sized);
    tag += QStringLiteral(" width=%1").arg(width);
    if (picture) tag += QStringLiteral(" background=\"%1\"").arg(QLatin1String(picture));
    tag += QLatin1Char('>');
    html.replace(start, close + 1 - start, tag);
    return start + tag.size();
}

}  // namespace

CShownPage CShownPage::FromPage(const QString& html) {
    CShownPage page;
    page.m_strHtml = DropHeights(html, page.m_nMinimumHeight);
    return page;
}

CShownPage CShownPage::FromHitPage(const QString& html, int textCell) {
    CShownPage page = FromPage(html);
    QString& shown = page.m_strHtml;
    const qsizetype first = FindCell(shown, 0);
    if (first < 0) return page;
    const qsizetype afterFirst = TagEnd(shown, first);
    if (afterFirst < 0 || FindCell(shown, afterFirst) < 0) return page;
    const bool textFirst = textCell == 0;
    const qsizetype end = RewriteCell(shown, first, textFirst ? kTextCellWidth : kMarginCellWidth,
                                      textFirst ? nullptr : kMarginPicture);
    RewriteCell(shown, FindCell(shown, end), textFirst ? kMarginCellWidth : kTextCellWidth,
                textFirst ? kMarginPicture : nullptr);
    return page;
}
