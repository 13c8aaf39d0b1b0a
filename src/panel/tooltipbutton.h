// CToolTipButton: a push button with a tooltip text of its own that can be
// switched off without losing the text. The search panel's buttons use it.
#pragma once

#include <QPushButton>
#include <QString>

class CToolTipButton : public QPushButton {
public:
    explicit CToolTipButton(QWidget* parent = nullptr) : QPushButton(parent) {}
    CToolTipButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {}

    // Sets the tooltip's text and whether it shows; a null text changes nothing.
    void SetToolTipText(const QString* text, bool activate);
    QString GetToolTipText() const { return m_strToolTip; }
    bool IsToolTipActive() const { return m_bToolTipActive; }

private:
    QString m_strToolTip;
    bool m_bToolTipActive = false;
};
