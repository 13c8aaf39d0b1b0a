// CSourceWriter: writes a source tree (CATEGORY/BOOK/VOLUME.txt with numeric
// name prefixes, and collection.txt) into a hidden folder beside the target
// and puts it in place at Commit, so that the target holds either the old tree
// or the whole new one. Without Commit the partial tree is removed.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "import/sourcemodel.h"

class CSourceWriter {
public:
    static constexpr const char* kCollectionFile = "collection.txt";

    // Raises CImportError when target is a file, or a folder that is neither
    // empty nor a source tree (it has no collection.txt): it is not replaced.
    explicit CSourceWriter(const std::filesystem::path& target);
    ~CSourceWriter();
    CSourceWriter(const CSourceWriter&) = delete;
    CSourceWriter& operator=(const CSourceWriter&) = delete;

    // collection.txt: the header word on the first line, the header text on the second.
    void WriteHeader(int headerWord, const std::string& headerText);
    // Writes the book's volume files into categoryFolder/bookFolder.
    void WriteBook(const std::string& categoryFolder, const std::string& bookFolder, const SourceBook& book);
    // Writes one volume file, fileName without ".txt", into categoryFolder/bookFolder.
    void WriteVolume(const std::string& categoryFolder, const std::string& bookFolder, const std::string& fileName,
                     const std::string& text);
    // Replaces the target with the tree written so far.
    void Commit();

    // "07-name": number with at least two digits, as many as count needs.
    static std::string PrefixedName(size_t number, size_t count, const std::string& name);

private:
    void WriteFile(const std::filesystem::path& path, const std::string& text);

    std::filesystem::path m_target;
    std::filesystem::path m_staging;  // the hidden folder being filled
    bool m_committed = false;
};
