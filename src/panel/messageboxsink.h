// CMessageBoxSink: the program's message sink; each message is a modal
// message box captioned "Quorel" with an OK button.
#pragma once

#include <QPointer>
#include <QWidget>

#include "panel/messagesink.h"

class CMessageBoxSink : public CMessageSink {
public:
    // parent (may be null) centres the box; it is not owned.
    explicit CMessageBoxSink(QWidget* parent = nullptr) : m_pParent(parent) {}
    void SetParent(QWidget* parent) { m_pParent = parent; }
    void ShowMessage(const QString& text) override;

private:
    QPointer<QWidget> m_pParent;
};
