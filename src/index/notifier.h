// CNotifier: how the core tells the user something ("データを開けませんでした。").
// The reader window shows a message box, the command line writes to stderr,
// tests record the texts. The core never shows anything itself.
#pragma once

#include <string>

class CNotifier {
public:
    virtual ~CNotifier() = default;
    // text is UTF-8.
    virtual void ShowMessage(const std::string& text) = 0;
};
