// CPanelServices: what the main frame hands the search panel when it builds
// it: the reader pane, the toolbar's page controls, the message sink and the
// folders of this run. The pointers belong to the frame and outlive the panel.
#pragma once

#include <functional>

#include <QString>

#include "panel/messagesink.h"
#include "panel/pagecontrols.h"
#include "panel/readerpane.h"

struct CPanelServices {
    CReaderPane* pReader = nullptr;
    CPageControls* pPageControls = nullptr;
    CMessageSink* pMessages = nullptr;
    // The collection's folder: the executable's folder unless --data names another.
    QString dataFolder;
    // A folder private to this run (mode 0700) for "windows.html",
    // "windows1.html" and "windows2.html"; the program removes it at exit.
    QString tempFolder;
    // Call after the reading position or the hit state changed, so the frame
    // updates the enable state of its commands at once.
    std::function<void()> readingStateChanged;
    // Call after every search that listed its results, so the research tools
    // show the new result.
    std::function<void()> searchFinished;
    // Whether "句読点を無視" starts checked, and where each change of it goes
    // (the frame keeps it in the settings); may be empty.
    bool ignorePunctuation = false;
    std::function<void(bool)> ignorePunctuationChanged;
};
