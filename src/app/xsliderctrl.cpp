#include "app/xsliderctrl.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPixmap>
#include <QToolTip>

namespace {

constexpr const char* kDragCursorPath = ":/res/slider_cursor.png";
constexpr int kDragCursorHotX = 15;
constexpr int kDragCursorHotY = 0;

}  // namespace

CXSliderCtrl::CXSliderCtrl(QWidget* parent)
    : QSlider(Qt::Horizontal, parent),
      m_DragCursor(QPixmap(QString::fromLatin1(kDragCursorPath)), kDragCursorHotX, kDragCursorHotY) {
    setFocusPolicy(Qt::StrongFocus);
    setRange(0, 0);
    connect(this, &QSlider::actionTriggered, this, [this](int action) {
        if (action != QAbstractSlider::SliderNoAction) m_bMoved = true;
    });
    connect(this, &QSlider::sliderPressed, this, [this] { QApplication::setOverrideCursor(m_DragCursor); });
    connect(this, &QSlider::sliderReleased, this, [] { QApplication::restoreOverrideCursor(); });
    connect(this, &QSlider::sliderMoved, this, &CXSliderCtrl::ShowPositionTip);
}

void CXSliderCtrl::ShowPositionTip() {
    QToolTip::showText(mapToGlobal(QPoint(width() / 2, -height() / 2)), QString::number(sliderPosition()), this);
}

void CXSliderCtrl::EndScroll() {
    if (!m_bMoved) return;
    m_bMoved = false;
    emit ScrollEnded(value());
}

void CXSliderCtrl::mouseReleaseEvent(QMouseEvent* event) {
    QSlider::mouseReleaseEvent(event);
    EndScroll();
}

void CXSliderCtrl::keyReleaseEvent(QKeyEvent* event) {
    QSlider::keyReleaseEvent(event);
    if (!event->isAutoRepeat()) EndScroll();
}

void CXSliderCtrl::wheelEvent(QWheelEvent* event) {
    QSlider::wheelEvent(event);
    EndScroll();
}
