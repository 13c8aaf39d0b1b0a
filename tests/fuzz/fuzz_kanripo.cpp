// The Kanseki Repository importer on a juan file from the input: whatever
// the file holds, every line it writes must be a line the builder reads
// (UTF-8, no control characters, labels that fit), and no "¶" is left.
#include <set>
#include <string>
#include <string_view>

#include "base/codeconverter.h"
#include "build/builderror.h"
#include "build/volumereader.h"
#include "fuzzcheck.h"
#include "import/kanripojuan.h"
#include "scratchfolder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CScratchFolder folder;
    folder.Write("KR3a0001_001.txt", std::string_view(reinterpret_cast<const char*>(data), size));
    const std::filesystem::path file = folder.Path() / "KR3a0001_001.txt";
    std::set<std::string> warned;
    CKanripoJuan juan("SBCK", nullptr, warned);
    const std::string volume = juan.Convert(file);
    FUZZ_CHECK(volume.empty() || volume.back() == '\n');
    FUZZ_CHECK(volume.find("\xC2\xB6") == std::string::npos);
    std::u32string codePoints;
    for (size_t start = 0; start < volume.size();) {
        const size_t end = volume.find('\n', start);
        const std::string_view line = std::string_view(volume).substr(start, end - start);
        start = end + 1;
        size_t bad = 0;
        FUZZ_CHECK(CCodeConverter::Utf8ToUtf32(line, codePoints, bad));
        Paragraph paragraph;
        try {
            CVolumeReader::ParseLine(codePoints, paragraph);
        } catch (const CBuildError& error) {
            std::fprintf(stderr, "%s\n", error.what());
            FUZZ_CHECK(!"the builder refuses a line the importer wrote");
        }
    }
    return 0;
}
