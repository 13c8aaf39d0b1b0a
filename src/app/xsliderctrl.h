// CXSliderCtrl: the toolbar's page slider. Besides the slider's own signals it
// reports the end of a scroll: the thumb let go, a click on the groove
// released, a key move finished or a wheel turn; positions passed on the way
// are not reported. While the thumb is dragged the cursor is the left-right arrow.
#pragma once

#include <QCursor>
#include <QSlider>

class CXSliderCtrl : public QSlider {
    Q_OBJECT

public:
    explicit CXSliderCtrl(QWidget* parent = nullptr);

signals:
    void ScrollEnded(int position);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void EndScroll();
    void ShowPositionTip();

    bool m_bMoved = false;  // the user moved the slider since the last end of a scroll
    QCursor m_DragCursor;   // the left-right arrow
};
