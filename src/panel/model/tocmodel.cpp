#include "panel/model/tocmodel.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "base/codeconverter.h"
#include "base/datafileerror.h"
#include "base/readonlyfile.h"
#include "docstore/tocformat.h"

namespace {

std::string ListingLine(const TocRecord& record) {
    std::string name;
    CCodeConverter::Utf16ToUtf8(record.name, name, true);
    const char* indent = record.level == 2 ? "\t" : record.level == 3 ? "\t\t" : "";
    char numbers[96];
    std::snprintf(numbers, sizeof numbers, "\tdocID=%d\tdocNo=%d\tcurFileName=%d\n", record.docID, record.docNo,
                  int(record.curFileName));
    return indent + std::string("name=") + name + numbers;
}

}  // namespace

CTocModel::CTocModel() : m_NodeItem(1), m_pRoot(std::make_unique<ContentsNodeTag>()), m_nodes(1, nullptr) {
    m_pRoot->name = u"root";
}

bool CTocModel::LoadTableOfContents(const std::filesystem::path& dataFolder) {
    std::string bytes;
    try {
        CReadOnlyFile file;
        if (!file.Open(dataFolder / tocformat::kFileName)) return false;
        const uint64_t wanted = std::min<uint64_t>(file.Size(), uint64_t(tocformat::kMaxRecords) * tocformat::kRecordBytes);
        bytes.resize(size_t(wanted));
        bytes.resize(file.ReadSome(0, bytes.data(), bytes.size()));
    } catch (const CDataFileError&) {
        return false;
    }
    ContentsNodeTag* lastVolume = nullptr;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    for (size_t at = 0; at + tocformat::kRecordBytes <= bytes.size(); at += tocformat::kRecordBytes) {
        const TocRecord record = tocformat::DecodeRecord(data + at);
        if (record.level < 1 || record.level > kMaxLevel) break;
        AddRecord(record, lastVolume);
    }
    return true;
}

void CTocModel::AddRecord(const TocRecord& record, ContentsNodeTag*& lastVolume) {
    auto node = std::make_unique<ContentsNodeTag>();
    node->name = record.name;
    node->level = record.level;
    node->docID = record.docID;
    node->docNo = record.docNo;
    node->curFileName = record.curFileName;
    node->record = m_nNodeCount;
    m_listing.push_back(ListingLine(record));

    ContentsNodeTag* parent = FindParentNode(m_pRoot.get(), *node);
    if (!parent) parent = m_pRoot.get();  // its parent level is missing: a top-level entry
    if (node->level == kVolumeLevel) {
        if (lastVolume && lastVolume->parent == parent) {
            lastVolume->nextVolume = node.get();
            node->prevVolume = lastVolume;
        }
        lastVolume = node.get();
    }
    node->parent = parent;
    m_NodeItem.push_back(record);
    m_nodes.push_back(node.get());
    parent->children.push_back(std::move(node));
    ++m_nNodeCount;
}

int CTocModel::NextVolume(int record) const {
    for (int r = std::max(record + 1, 1); r < m_nNodeCount; ++r)
        if (Record(r).level == kVolumeLevel) return r;
    return 0;
}

int CTocModel::PreviousVolume(int record) const {
    for (int r = std::min(record - 1, m_nNodeCount - 1); r >= 1; --r)
        if (Record(r).level == kVolumeLevel) return r;
    return 0;
}

bool CTocModel::HasPageBefore(int record, int printedPage) const {
    return IsRecord(record) && int64_t(printedPage) - Record(record).curFileName >= 1;
}

bool CTocModel::HasPageAfter(int record, int printedPage) const {
    return IsRecord(record) && int64_t(printedPage) - Record(record).curFileName + 1 < Record(record).docNo;
}

int CTocModel::ParentRecord(int record) const {
    const ContentsNodeTag* node = Node(record);
    return node && node->parent ? node->parent->record : 0;
}

std::u16string CTocModel::ScopePath(int record) const {
    std::u16string path;
    for (const ContentsNodeTag* node = Node(record); node && node != m_pRoot.get(); node = node->parent)
        path = node->record == record ? node->name : node->name + u"\\" + path;
    return path;
}

ContentsNodeTag* CTocModel::FindParentNode(ContentsNodeTag* node, const ContentsNodeTag& newNode) {
    if (!node) return nullptr;
    if (node->level == newNode.level - 1) return node;
    // The last match in child order is the first one met from the back.
    for (auto child = node->children.rbegin(); child != node->children.rend(); ++child)
        if (ContentsNodeTag* found = FindParentNode(child->get(), newNode)) return found;
    return nullptr;
}

ContentsNodeTag* CTocModel::FindNodeByItem(ContentsNodeTag* node, const TocRecord& record) {
    if (!node) return nullptr;
    if (node->level == record.level && node->docID == record.docID && node->docNo == record.docNo &&
        node->curFileName == record.curFileName)
        return node;
    for (auto& child : node->children)
        if (ContentsNodeTag* found = FindNodeByItem(child.get(), record)) return found;
    return nullptr;
}
