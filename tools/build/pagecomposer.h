// CPageComposer: turns one laid-out page of a volume into a stored page: its
// HTML in the layout of pagelayout.h and the positions of its text in each
// search scope, ready for the collection writer.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "build/paragraph.h"
#include "writer/collectionwriter.h"

class CPageComposer {
public:
    // What the page carries besides its text. Names are UTF-8.
    struct PageInfo {
        std::string_view bookName;
        std::string_view volumeName;
        int bookId = 1;
        int volumeId = 1;
        int printedPage = 1;
        std::u32string_view pageLabel;  // the edition's leaf ("1a"), shown below the page number; may be empty
    };

    static WriterPage Compose(const std::vector<Paragraph>& paragraphs, const PageInfo& info);

    static std::string RecordName(int bookId, int volumeId, int printedPage);
    // Appends text as UTF-8 with "&", "<" and ">" written as entities.
    static void AppendEscaped(std::u32string_view text, std::string& out);
    static void AppendEscaped(std::string_view utf8, std::string& out);
};
