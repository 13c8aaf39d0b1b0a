// CBusyCursor: shows the wait cursor over the whole program while it lives,
// for work that runs to completion on the user-interface thread (a search).
#pragma once

#include <QGuiApplication>

class CBusyCursor {
public:
    CBusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CBusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    CBusyCursor(const CBusyCursor&) = delete;
    CBusyCursor& operator=(const CBusyCursor&) = delete;
};
