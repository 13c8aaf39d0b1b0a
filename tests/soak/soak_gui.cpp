// soak_gui: the reader window, offscreen, on one collection for many cycles
// of what a reader does: a keyword cut from the collection typed with random
// options (and/or, variants, now and then another scope or search range),
// searched with Enter or "検索", a random result opened, its hits stepped with
// F3 and Alt+F3, and a page, volume or slider step. It measures the resident
// memory and the files of the window's temporary folder after the warm-up
// and at the end, prints them in one line, and fails when the memory grew by
// more than the bound or the temporary files grew at all.
//   soak_gui [--data DIR] [--cycles N] [--warm-up N] [--seed N] [--max-growth-kb N]
// Without --data it builds a collection of its own with the collection
// builder, in the reader's page layout, so that opened results have hits to
// step through; a DIR must hold a table of contents.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "app/bookview.h"
#include "app/commandids.h"
#include "app/mainfrm.h"
#include "app/scrolltoolbar.h"
#include "app/splash.h"
#include "base/codeconverter.h"
#include "build/collectionbuilder.h"
#include "docstore/storeformat.h"
#include "index/index.h"
#include "panel/leftform.h"
#include "panel/sortlistctrl.h"
#include "processstatus.h"
#include "recordingmessagesink.h"

namespace {

struct Options {
    std::string data;
    int cycles = 1000;
    int warmUp = 100;
    unsigned seed = 1;
    long maxGrowthKb = 8192;
};

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const char* value = argv[i + 1];
        if (name == "--data") options.data = value;
        else if (name == "--cycles") options.cycles = std::atoi(value);
        else if (name == "--warm-up") options.warmUp = std::atoi(value);
        else if (name == "--seed") options.seed = unsigned(std::strtoul(value, nullptr, 10));
        else if (name == "--max-growth-kb") options.maxGrowthKb = std::atol(value);
        else return false;
    }
    return argc % 2 == 1 && options.cycles > 0 && options.warmUp >= 0 &&
           options.warmUp < options.cycles;
}

qsizetype FileCount(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size();
}

// Characters drawn with falling frequency from the first kAlphabet
// ideographs, so that a few stand several times on nearly every page. The
// alphabet is small enough for the warm-up to show every character: the
// font's glyph caches grow with each new character shown, which is no leak.
constexpr int kAlphabet = 200;
char16_t RandomCharacter(std::mt19937& random) {
    const double u = std::uniform_real_distribution<double>(0.0, 1.0)(random);
    return char16_t(0x4E00 + int(kAlphabet * u * u * u));
}

void WriteText(const std::filesystem::path& path, const std::u16string& text) {
    std::string bytes;
    CCodeConverter::Utf16ToUtf8(text, bytes, true);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// Builds into output a collection of 3 categories of 3 books of 4 volumes of
// about 25 pages, with annotations in full-width brackets and 40 variant pairs.
void BuildCollection(const std::filesystem::path& output, std::mt19937& random) {
    QTemporaryDir source;
    const std::filesystem::path root = QFile::encodeName(source.path()).toStdString();
    std::u16string variants;
    for (char16_t i = 0; i < 40; ++i)
        variants += QStringLiteral("%1,%2\n").arg(0x4E00 + 7 * i, 0, 16).arg(0x4E00 + 7 * i + 3, 0, 16).toStdU16String();
    WriteText(root / "yitizi.txt", variants);
    for (int category = 1; category <= 3; ++category)
        for (int book = 1; book <= 3; ++book)
            for (int volume = 1; volume <= 4; ++volume) {
                std::u16string text;
                for (int paragraph = 0; paragraph < 100; ++paragraph) {
                    for (unsigned n = 40 + random() % 80; n > 0; --n) text += RandomCharacter(random);
                    if (random() % 3 == 0) {
                        text += u'\uFF08';
                        for (unsigned n = 5 + random() % 20; n > 0; --n) text += RandomCharacter(random);
                        text += u'\uFF09';
                    }
                    text += u'\n';
                }
                char path[64];
                std::snprintf(path, sizeof path, "%02d-c%d/%02d-b%d/%02d-v%d.txt", category, category, book, book,
                              volume, volume);
                WriteText(root / path, text);
            }
    BuildOptions options;
    options.source = root;
    options.output = output;
    CCollectionBuilder(options).Run();
}

// Keywords as a reader types them: one to three words cut from the indexed
// text of random pages, now and then with "?" or "*".
std::vector<QString> CollectKeywords(const std::string& folder, std::mt19937& random, size_t count) {
    CIndex index;
    std::vector<QString> keywords;
    if (!index.Open(folder, storeformat::kBaseName, 0) || index.GetFileList().GetPageCount() == 0) return keywords;
    const int pages = index.GetFileList().GetPageCount();
    while (keywords.size() < count) {
        std::u16string keyword;
        const int words = 1 + int(random() % 3);
        for (int w = 0; w < words; ++w) {
            std::string html;
            std::u16string units, text;
            if (!index.ReadPage(int(random() % unsigned(pages)), html)) continue;
            CCodeConverter::Utf8ToUtf16(html, units);
            for (char16_t unit : units)
                if (CCodeConverter::ToCharNumber(unit) >= 0) text += unit;
            if (text.empty()) continue;
            const size_t length = std::min<size_t>(1 + random() % 4, text.size());
            std::u16string word = text.substr(random() % (text.size() - length + 1), length);
            if (random() % 10 == 0) word[random() % word.size()] = u'?';
            if (random() % 10 == 0) word.insert(random() % (word.size() + 1), 1, u'*');
            if (!keyword.empty()) keyword += random() % 2 ? u' ' : u'\u3000';
            keyword += word;
        }
        if (!keyword.empty()) keywords.push_back(QString::fromStdU16String(keyword));
    }
    return keywords;
}

// The window and the controls a cycle drives.
class CSoakWindow {
public:
    CSoakWindow(const CFrameOptions& options, CRecordingMessageSink* messages) : m_Frame(options, messages) {
        m_Frame.resize(1000, 700);
        m_Frame.show();
        m_Frame.activateWindow();
        m_bActive = QTest::qWaitForWindowActive(&m_Frame);  // the F3 keys need an active window
        m_pPanel = qobject_cast<CLeftForm*>(m_Frame.GetLeftForm());
        m_pTabs = m_Frame.findChild<QTabWidget*>(QStringLiteral("tabs"));
        m_pKeywordBox = m_Frame.findChild<QLineEdit*>(QStringLiteral("keywordBox"));
        m_pSearchButton = m_Frame.findChild<QPushButton*>(QStringLiteral("searchButton"));
        m_pResults = m_Frame.findChild<CSortListCtrl*>(QStringLiteral("results"));
        m_pVariants = m_Frame.findChild<QCheckBox*>(QStringLiteral("variants"));
        m_pNextListPage = m_Frame.findChild<QPushButton*>(QStringLiteral("nextListPage"));
        for (const char* name : {"andButton", "orButton"})
            m_AndOr.push_back(m_Frame.findChild<QRadioButton*>(QString::fromLatin1(name)));
        for (const char* name : {"fullButton", "mainButton", "notesButton"})
            m_Scopes.push_back(m_Frame.findChild<QRadioButton*>(QString::fromLatin1(name)));
    }

    struct Counts {
        long searchesWithResults = 0;
        long resultsOpened = 0;  // the reader moved to the result page
        long hitSteps = 0;       // F3 or Alt+F3 moved to another hit
    };

    bool IsWhole() const {
        return m_bActive && m_pPanel && m_pTabs && m_pKeywordBox && m_pSearchButton && m_pResults &&
               m_pVariants && m_pNextListPage;
    }
    bool HasTableOfContents() const { return m_pPanel->GetTableOfContents().NodeCount() > 1; }
    const Counts& GetCounts() const { return m_Counts; }

    void RunCycle(const QString& keyword, std::mt19937& random) {
        if (random() % 4 == 0) ChooseRange(random);
        m_pTabs->setCurrentIndex(CLeftForm::kSearchTab);
        if (random() % 25 == 0) QTest::mouseClick(m_Scopes[random() % m_Scopes.size()], Qt::LeftButton);
        QTest::mouseClick(m_AndOr[random() % 2], Qt::LeftButton);
        m_pVariants->setChecked(random() % 2);
        m_pKeywordBox->clear();
        Type(m_pKeywordBox, keyword);
        if (random() % 2)
            QTest::keyClick(m_pKeywordBox, Qt::Key_Return);
        else
            QTest::mouseClick(m_pSearchButton, Qt::LeftButton);
        OpenResult(random);
        StepHits(random);
        StepReading(random);
    }

private:
    // Key presses that carry text and no key code, as an input method sends
    // them (QTest's key clicks know only ASCII).
    static void Type(QWidget* widget, const QString& text) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const qsizetype units = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            const QString typed = text.mid(i, units);
            i += units - 1;
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, typed);
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, typed);
            QApplication::sendEvent(widget, &press);
            QApplication::sendEvent(widget, &release);
        }
    }

    // A random entry of the tree becomes the range; a volume also shows its first page.
    void ChooseRange(std::mt19937& random) {
        const int records = m_pPanel->GetTableOfContents().NodeCount() - 1;
        m_pTabs->setCurrentIndex(CLeftForm::kTocTab);
        m_Frame.findChild<QTreeWidget*>(QStringLiteral("toc"))
            ->setCurrentItem(m_pPanel->GetTreeItem(1 + int(random() % unsigned(records))));
    }

    void OpenResult(std::mt19937& random) {
        if (random() % 4 == 0 && m_pNextListPage->isVisible() && m_pNextListPage->isEnabled())
            QTest::mouseClick(m_pNextListPage, Qt::LeftButton);
        const int rows = m_pResults->RowCount();
        if (rows == 0) return;
        ++m_Counts.searchesWithResults;
        const QString before = m_Frame.GetRightPane()->GetLocationURL();
        m_pResults->setCurrentItem(m_pResults->topLevelItem(int(random() % unsigned(rows))));
        m_Counts.resultsOpened += m_Frame.GetRightPane()->GetLocationURL() != before;
    }

    void StepHits(std::mt19937& random) {
        const auto press = [this](Qt::KeyboardModifiers modifiers) {
            const int hit = m_pPanel->GetCurrentHit();
            QTest::keyClick(&m_Frame, Qt::Key_F3, modifiers);
            m_Counts.hitSteps += m_pPanel->GetCurrentHit() != hit;
        };
        for (unsigned i = random() % 4; i > 0; --i) press(Qt::NoModifier);
        if (random() % 2) press(Qt::AltModifier);
    }

    // One page or volume step, or a release of the page slider somewhere in the volume.
    void StepReading(std::mt19937& random) {
        static constexpr int kSteps[] = {ID_PREV_PAGE, ID_NEXT_PAGE, ID_PREV_VOLUME, ID_NEXT_VOLUME};
        const unsigned choice = random() % 5;
        if (choice < 4) {
            m_Frame.GetAction(kSteps[choice])->trigger();  // a disabled step does nothing
        } else if (m_pPanel->GetCurrentNode() != 0) {
            CXSliderCtrl* slider = m_Frame.GetToolBar()->GetSlider();
            const int span = slider->maximum() - slider->minimum() + 1;
            emit slider->ScrollEnded(slider->minimum() + int(random() % unsigned(span)));
        }
    }

    CMainFrame m_Frame;
    bool m_bActive = false;
    CLeftForm* m_pPanel = nullptr;
    QTabWidget* m_pTabs = nullptr;
    QLineEdit* m_pKeywordBox = nullptr;
    QPushButton* m_pSearchButton = nullptr;
    CSortListCtrl* m_pResults = nullptr;
    QCheckBox* m_pVariants = nullptr;
    QPushButton* m_pNextListPage = nullptr;  // ">" below the results
    std::vector<QRadioButton*> m_AndOr;
    std::vector<QRadioButton*> m_Scopes;
    Counts m_Counts;
};

// Lets the window finish what the cycle queued: paints, deferred deletions.
void Settle() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: soak_gui [--data DIR] [--cycles N] [--warm-up N] [--seed N] [--max-growth-kb N]\n");
        return 2;
    }
    // Offscreen, and with settings and caches of its own, never the user's.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(QDir(home.path()).filePath(QStringLiteral("config"))));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(QDir(home.path()).filePath(QStringLiteral("cache"))));
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorel"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
    CSplashWnd::EnableSplashScreen(false);

    std::mt19937 random(options.seed);
    QTemporaryDir built;
    if (options.data.empty()) {
        options.data = QFile::encodeName(built.path()).toStdString();
        try {
            BuildCollection(options.data, random);
        } catch (const std::exception& error) {
            std::fprintf(stderr, "soak_gui: cannot build a collection: %s\n", error.what());
            return 1;
        }
    }
    const std::vector<QString> keywords = CollectKeywords(options.data, random, 500);
    if (keywords.empty()) {
        std::fprintf(stderr, "soak_gui: no pages to cut keywords from in %s\n", options.data.c_str());
        return 1;
    }
    QTemporaryDir temp;
    CFrameOptions frameOptions;
    frameOptions.programFolder = home.path();
    frameOptions.dataFolder = QString::fromStdString(options.data);
    frameOptions.tempFolder = temp.path();
    CRecordingMessageSink messages;
    long messageCount = 0;
    CSoakWindow window(frameOptions, &messages);
    if (!window.IsWhole() || !window.HasTableOfContents() || !messages.Messages().isEmpty()) {
        std::fprintf(stderr, "soak_gui: the window did not open whole on %s (it needs a table of contents)\n",
                     options.data.c_str());
        return 1;
    }

    // Memory and page files after the warm-up and at the end.
    struct Figures {
        long rssKb = 0;
        long anonymousKb = 0;  // heap and other memory no file backs
        qsizetype tempFiles = 0;
    };
    const auto measure = [&temp] { return Figures{StatusKb("VmRSS"), StatusKb("RssAnon"), FileCount(temp.path())}; };
    const qsizetype startFiles = FileCount(temp.path());
    const auto started = std::chrono::steady_clock::now();
    Figures warm;
    for (int cycle = 0; cycle < options.cycles; ++cycle) {
        if (cycle == options.warmUp) warm = measure();
        window.RunCycle(keywords[random() % keywords.size()], random);
        Settle();
        messageCount += messages.Messages().size();  // a range the volume steps cleared, say
        messages.Clear();
    }
    const Figures end = measure();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const long growth = end.rssKb - warm.rssKb;
    const CSoakWindow::Counts& counts = window.GetCounts();
    std::printf("soak_gui: %d cycles in %.1f s; rss %ld kB after %d cycles, %ld kB at the end (%+ld kB, bound %ld kB; "
                "anonymous %+ld kB); temporary files %lld at the start, %lld after %d cycles, %lld at the end; "
                "%ld searches with results, %ld results opened, %ld hit steps, %ld messages\n",
                options.cycles, seconds, warm.rssKb, options.warmUp, end.rssKb, growth, options.maxGrowthKb,
                end.anonymousKb - warm.anonymousKb, static_cast<long long>(startFiles),
                static_cast<long long>(warm.tempFiles), options.warmUp, static_cast<long long>(end.tempFiles),
                counts.searchesWithResults, counts.resultsOpened, counts.hitSteps, messageCount);
    bool failed = false;
    if (growth > options.maxGrowthKb) {
        std::fprintf(stderr, "soak_gui: resident memory grew by %ld kB, more than %ld kB\n", growth, options.maxGrowthKb);
        failed = true;
    }
    if (end.tempFiles > warm.tempFiles) {
        std::fprintf(stderr, "soak_gui: the temporary folder grew from %lld to %lld files\n",
                     static_cast<long long>(warm.tempFiles), static_cast<long long>(end.tempFiles));
        failed = true;
    }
    return failed ? 1 : 0;
}
