// CMessageSink: where the reader window's messages to the user go. Every
// message is a fixed Japanese text with an OK button and no choice. The
// program shows message boxes (CMessageBoxSink); tests record the texts
// (CRecordingMessageSink), so no test ever waits on a modal box.
#pragma once

#include <QString>

class CMessageSink {
public:
    virtual ~CMessageSink() = default;
    // Returns when the user has taken note of text.
    virtual void ShowMessage(const QString& text) = 0;
};
