// Fixtures of the search panel tests: a reader and page controls that record
// what the panel asks of them, the services that tie them together, and a
// small collection built by the collection builder from a source tree.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

#include "build/collectionbuilder.h"
#include "fixture.h"
#include "panel/pagecontrols.h"
#include "panel/panelservices.h"
#include "panel/readerpane.h"
#include "recordingmessagesink.h"

// The reader pane: the addresses it was sent to, in order, and the text cell
// of the hit page shown last (-1 before any).
class CFakeReader : public CReaderPane {
public:
    void Navigate2(const QString& address) override { m_Addresses.append(address); }
    void ShowHitPage(const QString& address, int textCell) override {
        m_Addresses.append(address);
        m_nTextCell = textCell;
    }
    QString GetLocationURL() const override {
        return m_Addresses.isEmpty() ? QStringLiteral("about:blank") : m_Addresses.last();
    }
    QStringList m_Addresses;
    int m_nTextCell = -1;
};

// The toolbar's slider and page edit.
class CFakePageControls : public CPageControls {
public:
    void SetSliderRange(int minimum, int maximum) override {
        m_nMin = minimum;
        m_nMax = maximum;
    }
    void SetSliderPos(int position) override { m_nPos = position; }
    int GetSliderPos() const override { return m_nPos; }
    void SetPageLabel(const QString& text) override { m_strLabel = text; }
    QString GetPageLabel() const override { return m_strLabel; }
    int m_nMin = 0;
    int m_nMax = 0;
    int m_nPos = 0;
    QString m_strLabel;
};

// Everything a panel under test talks to; the page files go to a folder of its own.
struct CPanelRig {
    CFakeReader reader;
    CFakePageControls pageControls;
    CRecordingMessageSink messages;
    QTemporaryDir tempFolder;
    int stateReports = 0;

    CPanelServices Services(const std::filesystem::path& dataFolder) {
        CPanelServices services;
        services.pReader = &reader;
        services.pPageControls = &pageControls;
        services.pMessages = &messages;
        services.dataFolder = QString::fromStdString(dataFolder.string());
        services.tempFolder = tempFolder.path();
        services.readingStateChanged = [this] { ++stateReports; };
        return services;
    }
};

// The header word of the panel collection, shown first in the page label.
inline constexpr int kPanelHeaderWord = 7;

// Builds into output the collection the panel tests read. Records and pages:
//   1 經部
//     2 論語       3 學而 (pages 0-2, printed 1-3)   4 為政 (pages 3-4)
//     5 孟子       6 梁惠王 (page 5)
//   7 集部
//     8 詩         9 風 (page 6)
//     10 長        11 多 (pages 7-256: 250 pages holding 學)
// 學而 stands three times on page 0 (main text), once in an annotation on
// page 1 and once on page 3; 学 and 學 are variants of each other.
inline void BuildPanelCollection(const std::filesystem::path& output) {
    CTempDir source;
    const auto write = [&](const std::string& relative, const std::string& text) {
        const std::filesystem::path path = source.Path() / relative;
        std::filesystem::create_directories(path.parent_path());
        WriteFileBytes(path, text);
    };
    write("collection.txt", std::to_string(kPanelHeaderWord) + "\npanel\n");
    write("yitizi.txt", "5B66,5B78\n");  // 学 and 學
    write("01-經部/01-論語/01-學而.txt",
          "學而時習之學而不亦說乎學而\n---page---\n有朋自遠方來（注學而）\n---page---\n人不知而不慍\n");
    write("01-經部/01-論語/02-為政.txt", "為政以德學而\n---page---\n譬如北辰\n");
    write("01-經部/02-孟子/01-梁惠王.txt", "孟子見梁惠王\n");
    write("02-集部/01-詩/01-風.txt", "關關雎鳩\n");
    std::string many;
    for (int i = 0; i < 250; ++i) many += (i ? "---page---\n" : "") + std::string("多學\n");
    write("02-集部/02-長/01-多.txt", many);
    BuildOptions options;
    options.source = source.Path();
    options.output = output;
    CCollectionBuilder(options).Run();
}

// The anchors of a rendered page file, as the reader would find them.
inline int CountAnchors(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    return int(QString::fromUtf8(file.readAll()).count(QRegularExpression(QStringLiteral("<a name=\"\\d{4}\"></a>"))));
}

inline QString ReadText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}
