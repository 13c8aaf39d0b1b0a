#include "panel/tooltipresourcebutton.h"

#include <QPainter>

bool CToolTipResourceButton::LoadBitmap(const QString& path) {
    QPixmap strip(path);
    if (strip.isNull() || strip.width() < kFrameCount) return false;
    m_Bitmap = strip;
    m_nFrameWidth = strip.width() / kFrameCount;
    m_nFrameHeight = strip.height();
    setFixedSize(m_nFrameWidth, m_nFrameHeight);
    update();
    return true;
}

CToolTipResourceButton::Frame CToolTipResourceButton::CurrentFrame() const {
    if (!isEnabled()) return kDisabled;
    if (isDown()) return kPressed;
    return m_bHover ? kHover : kNormal;
}

void CToolTipResourceButton::paintEvent(QPaintEvent* event) {
    if (m_Bitmap.isNull()) {
        CToolTipButton::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.drawPixmap(QPoint(0, 0), m_Bitmap, QRect(CurrentFrame() * m_nFrameWidth, 0, m_nFrameWidth, m_nFrameHeight));
}

void CToolTipResourceButton::enterEvent(QEnterEvent* event) {
    m_bHover = true;
    update();
    CToolTipButton::enterEvent(event);
}

void CToolTipResourceButton::leaveEvent(QEvent* event) {
    m_bHover = false;
    update();
    CToolTipButton::leaveEvent(event);
}
