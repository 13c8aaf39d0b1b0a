#include "build/collectionbuilder.h"

#include <chrono>
#include <thread>

#include "build/builderror.h"
#include "build/collectionheader.h"
#include "build/outputfolder.h"
#include "build/pagecomposer.h"
#include "build/pagefiller.h"
#include "build/pagequeue.h"
#include "build/progressline.h"
#include "build/sourcetree.h"
#include "build/varianttable.h"
#include "build/volumereader.h"
#include "docstore/tocformat.h"
#include "index/variantformat.h"
#include "writer/collectionwriter.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kHeaderFileName = "collection.txt";

constexpr size_t kPageBatch = 64;     // composed pages handed to the writer at once
constexpr size_t kQueuedPages = 512;  // composed pages waiting for the writer at most

// Adds a composed page to the writer; a fault names the volume and page.
void FeedWriter(CCollectionWriter& writer, QueuedPage page) {
    writer.AddPage(std::move(page.page));
    try {
        writer.CheckFault();
    } catch (const CWriterError& error) {
        throw CBuildError(page.where + ": " + error.what());
    }
}

// Streams the volumes of a scanned source through the page filler and the
// page composer to a sink of composed pages, and keeps the table of contents.
class CVolumeStreamer {
public:
    using Sink = std::function<void(QueuedPage)>;

    CVolumeStreamer(const BuildOptions& options, Sink sink, uint64_t totalBytes)
        : m_options(options), m_sink(std::move(sink)), m_progress(options.progress, totalBytes) {}

    void AddCategory(const SourceEntry& category) {
        const size_t record = StartRecord(category, 1);
        for (const SourceEntry& book : category.children) AddBook(book);
        EndRecord(record);
    }

    void Finish(CCollectionWriter& writer, BuildSummary& summary) {
        for (TocRecord& record : m_toc) writer.AddTocRecord(std::move(record));
        summary.pages = m_pages;
        summary.bytes = m_bytesDone;
    }

    CProgressLine& Progress() { return m_progress; }

private:
    void AddBook(const SourceEntry& book) {
        const size_t record = StartRecord(book, 2);
        ++m_bookId;
        int volumeId = 0;
        for (const SourceEntry& volume : book.children) AddVolume(book, volume, ++volumeId);
        EndRecord(record);
    }

    void AddVolume(const SourceEntry& book, const SourceEntry& volume, int volumeId) {
        const size_t record = StartRecord(volume, 3);
        CVolumeReader reader(volume.path);
        CPageComposer::PageInfo info{book.name, volume.name, m_bookId, volumeId, 0, {}};
        std::u32string label;  // of the pages being filled
        CPageFiller filler(m_options.pageChars, [&](const std::vector<Paragraph>& page) {
            ++info.printedPage;
            AddPage(page, info, volume);
            m_progress.Update(m_bytesDone + reader.BytesRead(), m_pages);
        });
        Paragraph paragraph;
        for (;;) {
            const CVolumeReader::Item item = reader.Next(paragraph);
            if (item == CVolumeReader::Item::kEnd) break;
            if (item == CVolumeReader::Item::kPageBreak)
                BreakPage(filler, reader.PageLabel(), label, info);
            else
                filler.Add(std::move(paragraph));
        }
        filler.Finish();
        m_bytesDone += reader.BytesRead();
        EndRecord(record);
    }

    // The page after a labelled break is an edition's printed page: it is a
    // page even when blank, it stays whole unless it is longer than any page
    // may be, and every page cut from it carries its label.
    void BreakPage(CPageFiller& filler, const std::u32string& newLabel, std::u32string& label,
                   CPageComposer::PageInfo& info) {
        if (newLabel.empty())
            filler.Break();
        else
            filler.BreakToPrintedPage(CCollectionBuilder::kMaxPageChars);
        label = newLabel;
        info.pageLabel = label;
    }

    void AddPage(const std::vector<Paragraph>& page, const CPageComposer::PageInfo& info, const SourceEntry& volume) {
        if (m_options.cancelled && m_options.cancelled()) throw CBuildError("interrupted");
        m_sink({CPageComposer::Compose(page, info), volume.path.string() + ", page " + std::to_string(info.printedPage)});
        ++m_pages;
    }

    // A record whose run starts at the next page; EndRecord closes the run.
    size_t StartRecord(const SourceEntry& entry, int level) {
        TocRecord toc;
        toc.name = entry.tocName;
        toc.level = level;
        toc.docID = int(m_pages) + 1;
        toc.curFileName = 1;
        m_toc.push_back(std::move(toc));
        return m_toc.size() - 1;
    }

    void EndRecord(size_t record) { m_toc[record].docNo = int(m_pages) - (m_toc[record].docID - 1); }

    const BuildOptions& m_options;
    Sink m_sink;
    CProgressLine m_progress;
    std::vector<TocRecord> m_toc;  // in preorder
    size_t m_pages = 0;
    uint64_t m_bytesDone = 0;
    int m_bookId = 0;
};

std::string Describe(const BuildSummary& summary) {
    char text[160];
    std::snprintf(text, sizeof text, "%zu pages of %zu volumes, %.1f MB of text in %.1f s", summary.pages,
                  summary.volumes, double(summary.bytes) / 1e6, summary.seconds);
    return text;
}

// What the source holds, checked before any text is read.
struct CheckedSource {
    CollectionHeader header;
    std::vector<std::vector<uint32_t>> groups;
    std::vector<SourceEntry> categories;
};

CheckedSource CheckSource(const BuildOptions& options) {
    if (options.pageChars < 1 || options.pageChars > CCollectionBuilder::kMaxPageChars)
        throw CBuildError("the page budget must be from 1 to " + std::to_string(CCollectionBuilder::kMaxPageChars) +
                          " characters");
    std::error_code error;
    if (!fs::is_directory(options.source, error)) throw CBuildError(options.source.string() + ": no such source folder");
    CheckedSource source;
    const fs::path headerPath = options.source / kHeaderFileName;
    if (fs::exists(headerPath, error)) source.header = CollectionHeader::Read(headerPath);
    std::optional<fs::path> variants = options.variants;
    if (!variants && fs::exists(options.source / variantformat::kFileName, error)) variants = options.source / variantformat::kFileName;
    if (variants) source.groups = CVariantTable::Read(*variants);
    source.categories = CSourceTree::Scan(options.source, options.warn);
    const size_t records = CSourceTree::RecordCount(source.categories);
    if (records > size_t(tocformat::kMaxRecords))
        throw CBuildError(options.source.string() + ": " + std::to_string(records) +
                          " categories, books and volumes; the table of contents holds at most " +
                          std::to_string(tocformat::kMaxRecords));
    return source;
}

void StreamAll(CVolumeStreamer& streamer, const std::vector<SourceEntry>& categories) {
    for (const SourceEntry& category : categories) streamer.AddCategory(category);
}

// Reads and composes the pages on a thread of their own while this thread
// feeds them to the writer in order.
void StreamInParallel(CVolumeStreamer& streamer, CPageQueue& queue, CCollectionWriter& writer,
                      const std::vector<SourceEntry>& categories) {
    std::thread composer([&] {
        std::exception_ptr error;
        try {
            StreamAll(streamer, categories);
        } catch (...) {
            error = std::current_exception();
        }
        queue.Finish(error);
    });
    try {
        std::deque<QueuedPage> pages;
        while (queue.Take(pages)) {
            for (QueuedPage& page : pages) FeedWriter(writer, std::move(page));
            pages.clear();
        }
    } catch (...) {
        queue.Stop();
        composer.join();
        throw;
    }
    composer.join();
}

void CountEntries(const std::vector<SourceEntry>& categories, BuildSummary& summary) {
    summary.categories = categories.size();
    for (const SourceEntry& category : categories) {
        summary.books += category.children.size();
        for (const SourceEntry& book : category.children) summary.volumes += book.children.size();
    }
}

}  // namespace

size_t CCollectionBuilder::DefaultThreads() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : cores;
}

CCollectionBuilder::CCollectionBuilder(BuildOptions options) : m_options(std::move(options)) {
    if (!m_options.warn) m_options.warn = [](const std::string&) {};
}

BuildSummary CCollectionBuilder::Run() {
    const auto start = std::chrono::steady_clock::now();
    CheckedSource source = CheckSource(m_options);
    COutputFolder output(m_options.output);
    WriterOptions writerOptions;
    writerOptions.headerWord = source.header.word;
    writerOptions.headerText = source.header.text;
    writerOptions.spoolFolder = output.TempPath();
    const size_t threads = m_options.threads == 0 ? DefaultThreads() : m_options.threads;
    writerOptions.threads = threads;
    writerOptions.pairIndex = m_options.pairIndex;
    BuildSummary summary;
    try {
        CCollectionWriter writer(writerOptions);
        writer.SetVariantGroups(std::move(source.groups));
        const uint64_t totalBytes = CSourceTree::TotalBytes(source.categories);
        const bool bParallel = threads > 1;
        CPageQueue queue(kPageBatch, kQueuedPages);
        CVolumeStreamer streamer(
            m_options,
            [&](QueuedPage page) {
                if (bParallel)
                    queue.Push(std::move(page));
                else
                    FeedWriter(writer, std::move(page));
            },
            totalBytes);
        if (bParallel)
            StreamInParallel(streamer, queue, writer, source.categories);
        else
            StreamAll(streamer, source.categories);
        streamer.Finish(writer, summary);
        CountEntries(source.categories, summary);
        writer.Write(output.TempPath());
        std::vector<std::string> names = CCollectionWriter::FileNames();
        const std::vector<std::string> pairNames = CCollectionWriter::PairIndexNames();
        if (m_options.pairIndex) names.insert(names.end(), pairNames.begin(), pairNames.end());
        output.Commit(names, m_options.pairIndex ? std::vector<std::string>{} : pairNames);
        summary.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        streamer.Progress().Finish(Describe(summary));
    } catch (const CWriterError& error) {
        throw CBuildError(error.what());
    }
    return summary;
}
