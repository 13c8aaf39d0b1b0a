// CBookApp: the program's start and end. It reads the command line, makes
// this run's private folder for page files, builds the main frame (which
// shows the splash first) and shows it maximized; at the end it closes the
// frame and starts the companion program "end" of the program's folder when
// there is one.
#pragma once

#include <memory>

#include <QString>
#include <QTemporaryDir>

#include "app/commandline.h"
#include "panel/messageboxsink.h"

class CMainFrame;

class CBookApp {
public:
    static constexpr const char* kCompanionName = "end";
    static constexpr int kExitUsage = 2;
    static constexpr int kExitNoTempFolder = 1;

    CBookApp();
    ~CBookApp();

    // Start-up, the message loop and shut-down; returns the exit status.
    int Run();

    // The folder of the running executable.
    static QString ProgramFolder();
    // Starts the companion program "end" (with the platform's executable
    // suffix) of folder, detached; false, silently, when there is none.
    static bool StartCompanion(const QString& folder);

private:
    // False, with the exit status set, when the program must end at once.
    bool InitInstance();
    void ExitInstance();

    CCommandLine m_CommandLine;
    QTemporaryDir m_TempFolder;  // private to this run (mode 0700), removed at exit
    CMessageBoxSink m_Messages;
    std::unique_ptr<CMainFrame> m_pMainFrame;
    int m_nExitCode = 0;
};
