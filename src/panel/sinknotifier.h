// CSinkNotifier: lets the core (CIndex) tell the user something through the
// window's message sink. The sink must outlive the notifier.
#pragma once

#include <QString>

#include "index/notifier.h"
#include "panel/messagesink.h"

class CSinkNotifier : public CNotifier {
public:
    explicit CSinkNotifier(CMessageSink* sink) : m_pSink(sink) {}
    void ShowMessage(const std::string& text) override {
        if (m_pSink) m_pSink->ShowMessage(QString::fromUtf8(text.data(), qsizetype(text.size())));
    }

private:
    CMessageSink* m_pSink;
};
