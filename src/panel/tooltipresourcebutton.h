// CToolTipResourceButton: a tooltip button painted from a picture strip of
// four frames of equal width: normal, pressed, under the mouse, disabled. The
// results list's "<" and ">" use it; the button takes the size of one frame.
#pragma once

#include <QPixmap>
#include <QSize>

#include "panel/tooltipbutton.h"

class CToolTipResourceButton : public CToolTipButton {
public:
    enum Frame { kNormal = 0, kPressed = 1, kHover = 2, kDisabled = 3 };
    static constexpr int kFrameCount = 4;

    explicit CToolTipResourceButton(const QString& text, QWidget* parent = nullptr) : CToolTipButton(text, parent) {}

    // Loads the strip from path (a resource such as ":/res/list_prev.png") and
    // resizes the button to one frame. False, and the plain button stays, when
    // the picture cannot be read or is narrower than four pixels.
    bool LoadBitmap(const QString& path);
    QSize FrameSize() const { return QSize(m_nFrameWidth, m_nFrameHeight); }
    // The frame the button shows now: disabled wins over pressed, pressed over hover.
    Frame CurrentFrame() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QPixmap m_Bitmap;
    int m_nFrameWidth = 0;
    int m_nFrameHeight = 0;
    bool m_bHover = false;  // the mouse rests on the button
};
