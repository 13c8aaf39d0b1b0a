#include "app/xtoolbar.h"

#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QStyleOptionToolBar>
#include <QWidgetAction>

CXToolBar::CXToolBar(const QString& title, QWidget* parent) : QToolBar(title, parent) {}

void CXToolBar::SetImageSize(int width, int height) {
    m_nImageWidth = width;
    m_nImageHeight = height;
    setIconSize(QSize(width, height));
}

bool CXToolBar::SetBackground(const QString& path) {
    m_Background = QPixmap(path);
    update();
    return !m_Background.isNull();
}

QImage CXToolBar::ReplaceMaskColor(const QImage& image, QRgb maskColor) {
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x)
            if ((line[x] & 0xFFFFFF) == (maskColor & 0xFFFFFF)) line[x] = 0;
    }
    return result;
}

QList<QAction*> CXToolBar::Buttons() const {
    QList<QAction*> buttons;
    for (QAction* action : actions())
        if (!action->isSeparator() && !qobject_cast<QWidgetAction*>(action)) buttons.append(action);
    return buttons;
}

bool CXToolBar::LoadTrueColorToolBar(int count, QRgb maskColor, const QString& normal, const QString& disabled,
                                     const QString& hot) {
    const QImage strips[] = {QImage(normal), QImage(disabled), QImage(hot)};
    for (const QImage& strip : strips)
        if (strip.width() < count * m_nImageWidth || strip.height() < m_nImageHeight) return false;
    m_nImageCount = count;
    const QList<QAction*> buttons = Buttons();
    for (int i = 0; i < count && i < buttons.size(); ++i) {
        const QRect cell(i * m_nImageWidth, 0, m_nImageWidth, m_nImageHeight);
        QIcon icon;
        icon.addPixmap(QPixmap::fromImage(ReplaceMaskColor(strips[0].copy(cell), maskColor)), QIcon::Normal);
        icon.addPixmap(QPixmap::fromImage(ReplaceMaskColor(strips[1].copy(cell), maskColor)), QIcon::Disabled);
        icon.addPixmap(QPixmap::fromImage(ReplaceMaskColor(strips[2].copy(cell), maskColor)), QIcon::Active);
        buttons[i]->setIcon(icon);
        buttons[i]->setIconVisibleInMenu(false);
    }
    return true;
}

void CXToolBar::paintEvent(QPaintEvent* event) {
    if (m_Background.isNull()) {
        QToolBar::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.drawTiledPixmap(rect(), m_Background);
    if (!isMovable()) return;
    QStyleOptionToolBar option;
    initStyleOption(&option);
    option.rect = style()->subElementRect(QStyle::SE_ToolBarHandle, &option, this);
    if (option.rect.isValid()) style()->drawPrimitive(QStyle::PE_IndicatorToolBarHandle, &option, &painter, this);
}
