// The Kanseki Repository importer: a juan file's markup turned into the
// builder's source, the names of books and volumes, the two sample texts
// imported and built, and bad input.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>

#include <sys/wait.h>

#include "build/collectionbuilder.h"
#include "docstore/storeformat.h"
#include "docstore/tocformat.h"
#include "import/collectionimporter.h"
#include "import/importerror.h"
#include "import/importplan.h"
#include "import/kanripoimporter.h"
#include "import/kanripojuan.h"
#include "import/kanripotext.h"
#include "import/sourcewriter.h"
#include "index/index.h"
#include "sourcefixture.h"

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

const fs::path kSamples = QUOREL_KANRIPO_SAMPLES;

// "⏎" in expected texts stands for the builder's line break U+2028.
std::string Breaks(std::string text) {
    for (size_t at = text.find("⏎"); at != std::string::npos; at = text.find("⏎")) text.replace(at, 3, "\u2028");
    return text;
}

struct JuanCase {
    const char* why;
    const char* body;
    const char* volume;
    std::vector<std::string> warnings;  // parts of the warnings, in order
};

// Each piece of markup as a volume file must hold it; a note read in the
// wrong order, a line end lost or a page missed would show here.
TEST(KanripoJuan, TurnsMarkupIntoTheBuildersSource) {
    const JuanCase cases[] = {
        {"pages, printed lines and paragraphs",
         "<pb:KR3a9999_SBCK_001-1a>¶\n子曰學而¶\n時習之\n不亦說乎¶\n\n有朋<pb:KR3a9999_SBCK_001-1b>¶\n自遠方來¶\n",
         "---page--- 1a\n子曰學而⏎時習之不亦說乎\n有朋\n---page--- 1b\n自遠方來\n", {}},
        {"text before the first page", "序文\n<pb:KR3a9999_SBCK_001-1a>¶\n正文\n", "序文\n---page--- 1a\n正文\n", {}},
        {"headings, header and comment lines", "# SB1.png\n** 《乾第一》¶\n元亨¶\n#+PROPERTY: JUAN 1\n利貞\n",
         "# 《乾第一》\n元亨⏎利貞\n", {}},
        {"a note read column by column", "宰(中都/魯邑)制\n", "宰（中都魯邑）制\n", {}},
        {"a note continued on the next printed line", "任(任謂/力作)¶\n(之事/各從)男\n", "任（任謂力作⏎之事各從）男\n", {}},
        {"notes side by side stay apart", "甲(一/二)(三/四)乙\n", "甲（一二）（三四）乙\n", {}},
        {"a note holding a line end", "甲(注¶\n文/曰)乙\n", "甲（注⏎文曰）乙\n", {}},
        {"numbered characters; brackets that are text", "人乃&KR0099;然（也）\n", "人乃&KR0099;然〔也〕\n", {}},
        {"another edition's pages and milestones", "甲<pb:KR3a9999_WYG_001-1a>乙<md:KR3a9999_WYG_001-1a>丙\n",
         "甲乙丙\n", {}},
        {"unknown markup, reported once a kind", "甲<note>乙<note>丙\n<x:1>丁\n", "甲乙丙丁\n",
         {"KR3a9999_001.txt:1: markup <note", "KR3a9999_001.txt:2: markup <x"}},
        {"an unclosed note ends with its page", "甲(注文\n乙\n<pb:KR3a9999_SBCK_001-1b>丙(注\n",
         "甲（注文乙）\n---page--- 1b\n丙（注）\n",
         {"KR3a9999_001.txt:1: note not closed", "KR3a9999_001.txt:3: note not closed"}},
        {"lines that look like the builder's own", "---page--- 1a¶\n", "－－－page－－－ 1a\n", {}},
        {"a paragraph pieced together into a break line stays text", "-<x>--page--- 1a\n<x>#<x> 題\n\n", "－--page--- 1a＃題\n",
         {"markup <x"}},
        {"bytes of a character split over two lines are dropped, not joined", "甲\xC2\n\xB6乙\n", "甲乙\n", {}},
        {"bytes of a character split by markup are dropped, not joined", "甲\xC2<md:x>\xB6乙(注\xC2/\xB6文)\n",
         "甲乙（注文）\n", {}},
        {"a line end inside a page reference", "<pb:KR3a9999_SBCK_001-1a¶>甲\n", "---page--- 1a\n甲\n", {}},
        {"a file without text", "# -*- mode: mandoku-view -*-\n#+TITLE: 家語\n<pb:KR3a9999_SBCK_001-1a>¶\n\n", "", {}},
    };
    for (const JuanCase& c : cases) {
        CTempDir dir;
        const fs::path file = dir.Path() / "KR3a9999_001.txt";
        WriteFileBytes(file, c.body);
        std::vector<std::string> warnings;
        std::set<std::string> warned;
        CKanripoJuan juan("SBCK", [&](const std::string& note) { warnings.push_back(note); }, warned);
        EXPECT_EQ(juan.Convert(file), Breaks(c.volume)) << c.why;
        ASSERT_EQ(warnings.size(), c.warnings.size()) << c.why;
        for (size_t i = 0; i < warnings.size(); ++i) EXPECT_THAT(warnings[i], HasSubstr(c.warnings[i])) << c.why;
    }
}

const char* const kReadme =
    "#+TITLE: 家語 / SBCK\n* 版本\n |      SBCK|【四部叢刊】  |\n |       WYG|【四庫全書・文淵閣】|\n目次\n"
    " - [[file:KR3a9999_000.txt][家語 0]]\n - [[file:KR3a9999_001.txt][相魯第一]]\n";

// A small text: front matter without a title, juan with and without a
// number, a file the Readme does not list.
void WriteSmallText(const fs::path& folder, bool withReadme = true) {
    WriteSourceFiles(folder, {
        {"KR3a9999_000.txt", "#+PROPERTY: JUAN 0\n<pb:KR3a9999_SBCK_000-1a>¶\n序\n"},
        {"KR3a9999_001.txt", "#+TITLE: 家語\n#+PROPERTY: BASEEDITION SBCK   \n#+PROPERTY: JUAN 1\n<pb:KR3a9999_SBCK_001-1a>¶\n一\n"},
        {"KR3a9999_2.txt", "#+PROPERTY: JUAN 2\n二\n"},
        {"KR3a9999_10.txt", "十\n"},
        {"notes.txt", "not a juan\n"},
    });
    if (withReadme) WriteFileBytes(folder / "Readme.org", kReadme);
}

// The book and volume names: the edition's name from the Readme or its code,
// a table-of-contents name unless it only numbers the title, the juan number otherwise.
TEST(KanripoText, NamesBookAndVolumes) {
    CTempDir dir;
    for (const bool withReadme : {true, false}) {
        const fs::path folder = dir.Path() / (withReadme ? "with" : "without");
        WriteSmallText(folder, withReadme);
        CKanripoText text(folder);
        text.ReadDescription();
        EXPECT_EQ(text.Id(), "KR3a9999");
        EXPECT_EQ(text.Division(), 3);
        EXPECT_EQ(text.Edition(), "SBCK");
        EXPECT_EQ(text.BookName(), withReadme ? "家語（四部叢刊）" : "家語（SBCK）");
        std::vector<std::string> names;
        for (const auto& file : text.Files()) names.push_back(text.VolumeName(file));
        if (withReadme)
            EXPECT_THAT(names, ElementsAre("卷首", "相魯第一", "卷二", "卷十"));
        else
            EXPECT_THAT(names, ElementsAre("卷首", "卷一", "卷二", "卷十"));
    }
}

// The samples as a source tree: categories by division in code order, books
// named by title and edition, volumes in file order with their names.
TEST(KanripoImporter, ImportsTheSamplesIntoATree) {
    CTempDir dir;
    CSourceWriter writer(dir.Path() / "out");
    std::vector<std::string> warnings;
    const ImportTotals totals =
        CKanripoImporter({kSamples / "KR3a0001", kSamples / "KR1a0001"}, kSamples / "KR-Catalog",
                         [&](const std::string& note) { warnings.push_back(note); })
            .Run(writer);
    writer.Commit();
    EXPECT_THAT(warnings, ElementsAre());
    EXPECT_EQ(totals.categories, 2u);
    EXPECT_EQ(totals.books, 2u);
    EXPECT_EQ(totals.volumes, 69u + 12u);
    const std::vector<std::string> files = TreeFiles(dir.Path() / "out");
    ASSERT_EQ(files.size(), 1u + 69u + 12u);
    EXPECT_EQ(files[0], "01-經部/01-周易（tls）/01-〈乾〉第一.txt");
    EXPECT_EQ(files[64], "01-經部/01-周易（tls）/65-〈繫辭上〉.txt");
    EXPECT_EQ(files[68], "01-經部/01-周易（tls）/69-〈雜卦〉.txt");
    const std::vector<std::string> jiayu(files.begin() + 69, files.begin() + 81);
    EXPECT_THAT(jiayu, ElementsAre("02-子部/01-孔子家語（四部叢刊）/01-卷首.txt", "02-子部/01-孔子家語（四部叢刊）/02-卷一.txt",
                                   "02-子部/01-孔子家語（四部叢刊）/03-卷二.txt", "02-子部/01-孔子家語（四部叢刊）/04-卷三.txt",
                                   "02-子部/01-孔子家語（四部叢刊）/05-卷四.txt", "02-子部/01-孔子家語（四部叢刊）/06-卷五.txt",
                                   "02-子部/01-孔子家語（四部叢刊）/07-卷六.txt", "02-子部/01-孔子家語（四部叢刊）/08-卷七.txt",
                                   "02-子部/01-孔子家語（四部叢刊）/09-卷八.txt", "02-子部/01-孔子家語（四部叢刊）/10-卷九.txt",
                                   "02-子部/01-孔子家語（四部叢刊）/11-卷十.txt", "02-子部/01-孔子家語（四部叢刊）/12-卷十一.txt"));
    EXPECT_EQ(files[81], "collection.txt");
}

// Division names come from the catalogue when one is given; the default
// collection adds the texts after the package's books of the same category,
// and a division the package lacks becomes a category of its own.
TEST(KanripoImporter, NamesCategoriesAndAddsToAnotherImport) {
    CTempDir dir;
    WriteSmallText(dir.Path() / "text");
    WriteSourceFile(dir.Path() / "catalog/KR", "KR3.txt", "# -*- mode: org; -*-\n* KR3 子部（諸子）\n** [[file:KR3a.txt][KR3a 儒家類]]\n");
    {
        CSourceWriter writer(dir.Path() / "named");
        CKanripoImporter({dir.Path() / "text"}, dir.Path() / "catalog", nullptr).Run(writer);
        writer.Commit();
    }
    EXPECT_EQ(TreeFiles(dir.Path() / "named").front(), "01-子部（諸子）/01-家語（四部叢刊）/01-卷首.txt");

    WriteSourceFile(dir.Path() / "shi", "KR2a9999_001.txt", "#+TITLE: 史\n史\n");
    CSourceWriter writer(dir.Path() / "default");
    std::vector<WrittenCategory> categories;
    CCollectionImporter(QUOREL_DEFAULT_JSON, CImportPlan::Subset()).Run(writer, &categories);
    const ImportTotals added =
        CKanripoImporter({kSamples / "KR3a0001", kSamples / "KR1a0001", dir.Path() / "shi"}, std::nullopt, nullptr)
            .Add(writer, categories);
    writer.Commit();
    EXPECT_EQ(added.books, 3u);
    EXPECT_EQ(added.categories, 1u);
    const std::vector<std::string> files = TreeFiles(dir.Path() / "default");
    const auto has = [&](const std::string& file) { return std::find(files.begin(), files.end(), file) != files.end(); };
    EXPECT_TRUE(has("01-經部/06-周易（tls）/01-〈乾〉第一.txt"));
    EXPECT_TRUE(has("02-子部/02-孔子家語（四部叢刊）/02-卷一.txt"));
    EXPECT_TRUE(has("05-史部/01-史/01-卷一.txt"));
    EXPECT_TRUE(has("01-經部/03-論語/01-学而篇.txt"));
}

// The samples built into a collection: one page per page break of each file
// with the leaf in its margin, no markup left, the notes searchable as
// annotations and the main text read on across them.
class KanripoSamples : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = new CTempDir;
        {
            CSourceWriter writer(s_dir->Path() / "source");
            CKanripoImporter({kSamples / "KR1a0001", kSamples / "KR3a0001"}, std::nullopt, nullptr).Run(writer);
            writer.Commit();
        }
        BuildOptions options;
        options.source = s_dir->Path() / "source";
        options.output = s_dir->Path() / "out";
        CCollectionBuilder(options).Run();
        s_pages = ReadStoredPages(options.output);
    }
    static void TearDownTestSuite() {
        delete s_dir;
        s_dir = nullptr;
    }

    // The printed pages of the juan files in order: each file's leaves.
    static std::vector<std::vector<std::string>> Leaves() {
        std::vector<std::vector<std::string>> leaves;
        for (const char* id : {"KR1a0001", "KR3a0001"}) {
            const CKanripoText text(kSamples / id);
            for (const auto& file : text.Files()) {
                std::vector<std::string>& volume = leaves.emplace_back();
                const std::string bytes = ReadFileBytes(file.path);
                for (size_t at = bytes.find("<pb:"); at != std::string::npos; at = bytes.find("<pb:", at + 1))
                    volume.push_back(bytes.substr(bytes.find('-', at) + 1, bytes.find('>', at) - bytes.find('-', at) - 1));
            }
        }
        return leaves;
    }

    static std::vector<std::string> Found(int scope, const std::string& word) {
        CIndex index;
        EXPECT_TRUE(index.Open(s_dir->Path() / "out", storeformat::kBaseName, scope));
        std::u16string text = U16(word);
        index.SearchAll(text, false);
        std::vector<std::string> titles;
        for (int i = 0; i < index.GetResultPageCount(); ++i) {
            const StoredPage& page = s_pages.at(index.GetResultPages()[size_t(i)]);
            titles.push_back(page.title + " " + std::to_string(CFileList::PrintedPageOf(page.recordName).value_or(-1)));
        }
        return titles;
    }

    static inline CTempDir* s_dir = nullptr;
    static inline std::vector<StoredPage> s_pages;
};

TEST_F(KanripoSamples, OnePagePerPageBreakWithItsLeaf) {
    size_t page = 0;
    for (const std::vector<std::string>& volume : Leaves()) {
        for (size_t printed = 1; printed <= volume.size(); ++printed, ++page) {
            ASSERT_LT(page, s_pages.size());
            const StoredPage& stored = s_pages[page];
            EXPECT_EQ(CFileList::PrintedPageOf(stored.recordName), std::optional<int>(int(printed))) << stored.recordName;
            const std::string& label = stored.cells[1 - CFileList::PageParity(stored.recordName)];
            EXPECT_TRUE(label.ends_with("<br>" + std::to_string(printed) + "<br>" + volume[printed - 1]))
                << stored.recordName << ": " << label;
        }
    }
    EXPECT_EQ(page, s_pages.size());
}

TEST_F(KanripoSamples, NoMarkupIsLeftInAnyPage) {
    for (const StoredPage& page : s_pages) {
        for (const char* markup : {"¶", "<pb:", "&KR"})
            EXPECT_EQ(page.html.find(markup), std::string::npos) << page.recordName << ": " << markup;
        for (const CellChar& c : page.text)
            EXPECT_TRUE(c.cp != U'(' && c.cp != U')' && c.cp != U'/' && c.cp != U'<') << page.recordName;
    }
}

TEST_F(KanripoSamples, NotesAreAnnotationsAndTheMainTextRunsOnAcrossThem) {
    const std::string first = "孔子家語（四部叢刊） 卷一 1";
    EXPECT_THAT(Found(1, "中都魯邑"), ElementsAre(first));
    EXPECT_THAT(Found(2, "中都魯邑"), ElementsAre());
    EXPECT_THAT(Found(2, "孔子初仕為中都宰制為養生送死"), ElementsAre(first));
    EXPECT_THAT(Found(0, "孔子初仕為中都宰制為養生送死"), ElementsAre());
    EXPECT_THAT(Found(1, "任謂力作之事各從所任不用弱也"), ElementsAre(first));  // one note over two printed lines
    EXPECT_THAT(Found(0, "人乃?然而嘆"), ElementsAre("孔子家語（四部叢刊） 卷首 1"));  // 〓 is one character
    EXPECT_THAT(Found(2, "潛龍勿用"), ::testing::Contains("周易（tls） 〈乾〉第一 3"));
}

struct BadTextCase {
    const char* what;
    std::function<std::vector<fs::path>(const fs::path& dir)> make;  // the text folders
    bool catalog;
    const char* message;
};

// Bad input stops the import with a message that names the fault, and an
// earlier import in the output stays as it was.
TEST(KanripoImporter, BadInputLeavesTheOutputAlone) {
    const auto text = [](const fs::path& folder, std::vector<std::pair<std::string, std::string>> files) {
        WriteSourceFiles(folder, files);
        return folder;
    };
    const BadTextCase cases[] = {
        {"a missing folder", [](const fs::path& dir) { return std::vector<fs::path>{dir / "none"}; }, false, "none: not a folder"},
        {"a folder without text files",
         [&](const fs::path& dir) { return std::vector<fs::path>{text(dir / "t", {{"Readme.org", "x\n"}, {"KR1a_x.txt", ""}})}; },
         false, "no Kanripo text files"},
        {"no title in any file",
         [&](const fs::path& dir) { return std::vector<fs::path>{text(dir / "t", {{"KR1a9999_001.txt", "<pb:KR1a9999_X_001-1a>甲\n"}})}; },
         false, "no file of KR1a9999 has a #+TITLE line"},
        {"files of two texts",
         [&](const fs::path& dir) {
             return std::vector<fs::path>{text(dir / "t", {{"KR1a9999_001.txt", "#+TITLE: 甲\n"}, {"KR1a9998_001.txt", "#+TITLE: 乙\n"}})};
         },
         false, "two texts"},
        {"an ID in no division",
         [&](const fs::path& dir) { return std::vector<fs::path>{text(dir / "t", {{"KR9a9999_001.txt", "#+TITLE: 甲\n"}})}; }, false,
         "none of the divisions"},
        {"a missing catalogue",
         [&](const fs::path& dir) { return std::vector<fs::path>{text(dir / "t", {{"KR1a9999_001.txt", "#+TITLE: 甲\n甲\n"}})}; }, true,
         "cannot read the catalogue of KR1"},
        {"a good text before a bad one",
         [&](const fs::path& dir) {
             return std::vector<fs::path>{text(dir / "a", {{"KR1a0001_001.txt", "#+TITLE: 甲\n甲\n"}}),
                                          text(dir / "b", {{"KR1a0002_001.txt", "乙\n"}})};
         },
         false, "KR1a0002 has a #+TITLE"},
        {"more records than the table of contents holds",
         [](const fs::path& dir) {
             fs::create_directories(dir / "t");
             for (int i = 1; i <= 9998; ++i) WriteFileBytes(dir / "t" / ("KR1a9999_" + std::to_string(i) + ".txt"), "");
             return std::vector<fs::path>{dir / "t"};
         },
         false, "need 10000 table-of-contents records"},
    };
    for (const BadTextCase& c : cases) {
        CTempDir dir;
        const fs::path out = dir.Path() / "out";
        WriteSourceFiles(out, {{"collection.txt", "1\nold\n"}, {"01-a/01-b/01-c.txt", "old\n"}});
        fs::create_directories(dir.Path() / "catalog");
        std::string message;
        try {
            CSourceWriter writer(out);
            CKanripoImporter(c.make(dir.Path()), c.catalog ? std::optional(dir.Path() / "catalog") : std::nullopt, nullptr).Run(writer);
            writer.Commit();
        } catch (const CImportError& error) {
            message = error.what();
        }
        EXPECT_THAT(message, HasSubstr(c.message)) << c.what;
        EXPECT_THAT(TreeFiles(out), ElementsAre("01-a/01-b/01-c.txt", "collection.txt")) << c.what;
        EXPECT_EQ(ReadFileBytes(out / "01-a/01-b/01-c.txt"), "old\n") << c.what;
        std::vector<std::string> left;
        for (const auto& entry : fs::directory_iterator(dir.Path())) left.push_back(entry.path().filename().string());
        EXPECT_THAT(left, ::testing::Each(::testing::Not(::testing::StartsWith(".")))) << c.what;
    }
}

// A juan without text is left out with a note; the book keeps the others.
TEST(KanripoImporter, SkipsAnEmptyJuan) {
    CTempDir dir;
    WriteSourceFiles(dir.Path() / "t", {{"KR1a9999_001.txt", "#+TITLE: 甲\n<pb:KR1a9999_X_001-1a>¶\n"},
                                        {"KR1a9999_002.txt", "#+PROPERTY: JUAN 2\n乙\n"}});
    std::vector<std::string> warnings;
    CSourceWriter writer(dir.Path() / "out");
    const ImportTotals totals =
        CKanripoImporter({dir.Path() / "t"}, std::nullopt, [&](const std::string& note) { warnings.push_back(note); }).Run(writer);
    writer.Commit();
    EXPECT_EQ(totals.volumes, 1u);
    EXPECT_THAT(TreeFiles(dir.Path() / "out"), ElementsAre("01-經部/01-甲（X）/02-卷二.txt", "collection.txt"));
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_THAT(warnings[0], HasSubstr("KR1a9999_001.txt: no text; the volume is left out"));
}

// Unknown markup is told once a kind over the whole import, not once a text
// or a line, so that a large selection does not bury the other notes.
TEST(KanripoImporter, ReportsEachKindOfUnknownMarkupOnce) {
    CTempDir dir;
    WriteSourceFiles(dir.Path() / "a", {{"KR1a0001_001.txt", "#+TITLE: 甲\n甲<note>甲<lb>\n"}});
    WriteSourceFiles(dir.Path() / "b", {{"KR1a0002_001.txt", "#+TITLE: 乙\n乙<note>乙\n"}});
    std::vector<std::string> warnings;
    CSourceWriter writer(dir.Path() / "out");
    CKanripoImporter({dir.Path() / "a", dir.Path() / "b"}, std::nullopt, [&](const std::string& note) { warnings.push_back(note); })
        .Run(writer);
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_THAT(warnings[0], HasSubstr("KR1a0001_001.txt:2: markup <note"));
    EXPECT_THAT(warnings[1], HasSubstr("KR1a0001_001.txt:2: markup <lb"));
}

// The command line: usage errors exit 2, failures 1 leaving the output alone, success 0.
TEST(KanripoCommand, ExitStatus) {
    CTempDir dir;
    const std::string tool = QUOREL_IMPORT;
    const std::string samples = kSamples.string();
    const std::string out = (dir.Path() / "out").string();
    const std::string log = (dir.Path() / "log").string();
    const std::pair<std::string, int> cases[] = {
        {"--kanripo " + out, 2},
        {"--kanripo --full " + samples + "/KR1a0001 " + out, 2},
        {"--catalog " + samples + "/KR-Catalog " + QUOREL_DEFAULT_JSON + " " + out, 2},
        {"--kanripo --catalog", 2},
        {"--kanripo " + samples + " " + out, 1},
        {"--kanripo --catalog " + samples + "/KR-Catalog " + samples + "/KR1a0001 " + samples + "/KR3a0001 " + out, 0},
    };
    for (const auto& [args, status] : cases) {
        const int raw = std::system((tool + " " + args + " >" + log + " 2>&1").c_str());
        ASSERT_TRUE(WIFEXITED(raw)) << args;
        EXPECT_EQ(WEXITSTATUS(raw), status) << args << ": " << ReadFileBytes(log);
        if (status == 1) {
            EXPECT_THAT(ReadFileBytes(log), HasSubstr("no Kanripo text files"));
        }
        if (status != 0) {
            EXPECT_FALSE(fs::exists(out)) << args;
        }
    }
    EXPECT_THAT(ReadFileBytes(log), HasSubstr("2 categories, 2 books, 81 volumes"));
}

// The script imports and builds in one go, and leaves the output alone when
// the import fails.
TEST(KanripoCommand, CollectionScriptImportsAndBuilds) {
    CTempDir dir;
    const std::string run = std::string("QUOREL_IMPORT=") + QUOREL_IMPORT + " QUOREL_BUILD=" + QUOREL_BUILD + " " +
                            QUOREL_KANRIPO_COLLECTION + " ";
    const std::string out = (dir.Path() / "out").string();
    const std::string log = " >" + (dir.Path() / "log").string() + " 2>&1";
    int raw = std::system((run + (kSamples / "KR3a0001").string() + " " + out + log).c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 0) << ReadFileBytes(dir.Path() / "log");
    const std::string toc = ReadFileBytes(dir.Path() / "out" / "vrn.dir");
    EXPECT_EQ(toc.size(), (1u + 1u + 12u) * tocformat::kRecordBytes);
    raw = std::system((run + (dir.Path() / "none").string() + " " + out + log).c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 1);
    EXPECT_EQ(ReadFileBytes(dir.Path() / "out" / "vrn.dir"), toc);
}

}  // namespace
