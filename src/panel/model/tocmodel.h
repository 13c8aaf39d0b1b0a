// CTocModel: the table of contents read from "vrn.dir": the records by record
// index (slot 0 unused), the outline of ContentsNodeTag nodes, and the listing
// lines for diagnosis. Loaded once; the search panel and the CLI share it.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "docstore/tocformat.h"
#include "panel/model/contentsnodetag.h"

class CTocModel {
public:
    // Deepest outline level the tree's handle table can hold.
    static constexpr int kMaxLevel = 19;
    // The level of a volume, the entry a reader reads page by page.
    static constexpr int kVolumeLevel = 3;

    CTocModel();

    // Reads dataFolder/"vrn.dir". False when it cannot be read (the outline
    // stays empty). Loading stops at 9999 records or at a record whose level lies
    // outside 1..19; a trailing partial record is ignored; a record whose parent
    // level is missing becomes a top-level entry.
    bool LoadTableOfContents(const std::filesystem::path& dataFolder);

    // One more than the number of records; valid record indexes are 1 .. count - 1.
    int NodeCount() const { return m_nNodeCount; }
    const TocRecord& Record(int record) const { return m_NodeItem[size_t(record)]; }
    bool IsRecord(int record) const { return record >= 1 && record < m_nNodeCount; }
    // The node of a record index, null when there is none.
    ContentsNodeTag* Node(int record) const { return IsRecord(record) ? m_nodes[size_t(record)] : nullptr; }
    ContentsNodeTag* Root() const { return m_pRoot.get(); }
    // The record index of the entry a record hangs under in the tree; 0 for a top-level entry.
    int ParentRecord(int record) const;
    // The entry's name with its ancestors' names before it, separated by "\".
    std::u16string ScopePath(int record) const;
    // The first volume record after record, in record order; 0 when there is none.
    int NextVolume(int record) const;
    // The last volume record before record; 0 when there is none.
    int PreviousVolume(int record) const;
    // Whether record's run has a page before / after printed page printedPage
    // (counted from the run's first printed page). False for no record.
    bool HasPageBefore(int record, int printedPage) const;
    bool HasPageAfter(int record, int printedPage) const;
    // "name=%s\tdocID=%d\tdocNo=%d\tcurFileName=%d" per record, books indented by
    // one tab and volumes by two, in UTF-8 with a closing line feed.
    const std::vector<std::string>& ListingLines() const { return m_listing; }

    // The most recently loaded node below node that stands one level above newNode.
    static ContentsNodeTag* FindParentNode(ContentsNodeTag* node, const ContentsNodeTag& newNode);
    // The first node, depth first from node, whose numbers equal the record's.
    static ContentsNodeTag* FindNodeByItem(ContentsNodeTag* node, const TocRecord& record);

private:
    void AddRecord(const TocRecord& record, ContentsNodeTag*& lastVolume);

    std::vector<TocRecord> m_NodeItem;       // slot 0 unused
    int m_nNodeCount = 1;
    std::unique_ptr<ContentsNodeTag> m_pRoot;
    std::vector<ContentsNodeTag*> m_nodes;   // by record index
    std::vector<std::string> m_listing;
};
