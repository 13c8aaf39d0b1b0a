// CImportPlan: which files of the chinese-poetry package become which books,
// in which categories and order, and how each book is cut into volumes. The
// default collection takes the small classics and anthologies; the full plan
// adds the large anthologies (全唐詩, 全宋詩, 宋詞, 元曲 and the rest).
#pragma once

#include <string>
#include <vector>

// How a book's pieces are cut into volumes.
enum class VolumeRule {
    kDivisions,      // the file's own chapters or sections, each a volume
    kVolumePerFile,  // each file one volume, named in the plan
    kByFields,       // runs of pieces with equal values of groupFields
    kFixedCount,     // runs of piecesPerVolume pieces, named 卷一, 卷二, ...
};

struct FileSource {
    // Path under the JSON folder. A "#" in the file name stands for a run of
    // digits: all matching files, in numeric order.
    std::string path;
    std::string volumeName;  // kVolumePerFile only
};

struct BookPlan {
    std::string name;
    VolumeRule rule = VolumeRule::kDivisions;
    std::vector<FileSource> files;
    std::vector<std::string> groupFields;  // kByFields: joined with "·" into the volume name
    int piecesPerVolume = 0;               // kFixedCount
    bool fullOnly = false;                 // only in the full collection
};

struct CategoryPlan {
    std::string name;
    std::vector<BookPlan> books;
};

class CImportPlan {
public:
    static CImportPlan Subset();  // the embedded default collection
    static CImportPlan Full();    // the whole package

    int headerWord = 1;      // first number of the reader's page label
    std::string headerText;  // stored in the page table, not shown
    std::vector<CategoryPlan> categories;

private:
    static CImportPlan Table();
};
