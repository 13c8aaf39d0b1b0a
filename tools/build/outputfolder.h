// COutputFolder: where a build is written. The files grow in a hidden
// temporary folder beside the output folder; Commit moves them into place.
// A build that never commits (an error, an interruption) leaves the output
// folder exactly as it was, and the temporary folder goes with the object.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

class COutputFolder {
public:
    // Creates the temporary folder (and the output's parent folders). Raises
    // CBuildError when output is something other than a folder or the
    // temporary folder cannot be made.
    explicit COutputFolder(const std::filesystem::path& output);
    ~COutputFolder();
    COutputFolder(const COutputFolder&) = delete;
    COutputFolder& operator=(const COutputFolder&) = delete;

    const std::filesystem::path& TempPath() const { return m_temp; }

    // Moves the build into place: the temporary folder becomes the output folder
    // when there is none yet; otherwise each of staleNames is removed from the
    // output folder, each of fileNames replaces its old copy there, one rename
    // each, and other files there stay.
    void Commit(const std::vector<std::string>& fileNames, const std::vector<std::string>& staleNames = {});

private:
    std::filesystem::path m_output;
    std::filesystem::path m_temp;
    bool m_bCommitted = false;
};
