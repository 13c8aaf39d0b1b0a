// CKanripoText: one checked-out text of the Kanseki Repository, a folder of
// files "KR3a0001_001.txt" (one per juan) and its Readme.org. Listing the
// folder is cheap; ReadDescription reads the files' header lines and the
// Readme for the names the source tree needs: the book (title and edition)
// and each volume (from the Readme's table of contents, else the juan number).
#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

class CKanripoText {
public:
    struct File {
        std::filesystem::path path;
        unsigned long number = 0;  // from the file name; orders the volumes
        long juan = -1;            // "#+PROPERTY: JUAN n"; -1 when the file has none
    };

    // Lists the text files of folder. Raises CImportError when it holds none,
    // or files of more than one text.
    explicit CKanripoText(std::filesystem::path folder);

    const std::filesystem::path& Folder() const { return m_folder; }
    const std::string& Id() const { return m_id; }
    // The division of the repository: 1 經部 to 6 佛部. Raises CImportError
    // for an ID of none of them.
    int Division() const;
    const std::vector<File>& Files() const { return m_files; }

    // Reads the title, the edition and the juan numbers from the files and
    // the names from Readme.org. Raises CImportError when no file has a title.
    void ReadDescription();
    // The edition's code ("SBCK"): the base edition, else the first page's.
    const std::string& Edition() const { return m_edition; }
    // "孔子家語（四部叢刊）": the title with the edition's name, or its code.
    std::string BookName() const;
    // The file's name in the Readme's table of contents, unless that is only
    // the title and a number; else 卷首 for juan 0, 卷一, 卷二, … for the others.
    std::string VolumeName(const File& file) const;

    // True for a file name of a text: "KR", letters and digits, "_", digits, ".txt".
    static bool IsTextFileName(const std::string& name, std::string& id, unsigned long& number);

private:
    void ReadHeaders(File& file);
    void ReadReadme();

    std::filesystem::path m_folder;
    std::string m_id;
    std::vector<File> m_files;
    std::string m_title;
    std::string m_edition;
    std::map<std::string, std::string> m_tocNames;      // file name -> name in the Readme
    std::map<std::string, std::string> m_editionNames;  // edition code -> name in the Readme
};
