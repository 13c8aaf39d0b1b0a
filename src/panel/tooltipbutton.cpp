#include "panel/tooltipbutton.h"

void CToolTipButton::SetToolTipText(const QString* text, bool activate) {
    if (!text) return;
    m_strToolTip = *text;
    m_bToolTipActive = activate;
    setToolTip(activate ? m_strToolTip : QString());
}
