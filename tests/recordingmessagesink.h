// CRecordingMessageSink: a message sink for tests; it keeps every text shown
// instead of opening a box.
#pragma once

#include <QStringList>

#include "panel/messagesink.h"

class CRecordingMessageSink : public CMessageSink {
public:
    void ShowMessage(const QString& text) override { m_Messages.append(text); }
    const QStringList& Messages() const { return m_Messages; }
    void Clear() { m_Messages.clear(); }

private:
    QStringList m_Messages;
};
