// The input layouts of the fuzz targets that read data files, shared by the
// targets (Decode) and the seed generator (Encode) so the two agree. Integers
// are little-endian; a field cut short by the end of the input reads as zeros.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzzinput.h"
#include "fuzzoutput.h"
#include "index/indexformat.h"

// fuzz_index: the header entries of the few characters the target searches,
// the block chain table and the whole posting file.
//   offset  bytes          content
//   0       4 x (4 + 4)    first block (int32) and last page (uint32) of 天, 地, 人
//                          and of variant group 0 (山 and 川)
//   32      2              chain table length C in bytes (need not be a multiple of 4)
//   34      C              chain table
//   34 + C  the rest       posting file
struct IndexFuzzInput {
    struct Entry {
        uint32_t firstBlock = indexformat::kNoBlock;
        uint32_t lastPage = 0;
    };
    static constexpr char32_t kCharacters[] = {U'天', U'地', U'人'};
    static constexpr char32_t kGroupMembers[] = {U'山', U'川'};
    static constexpr size_t kEntries = std::size(kCharacters) + 1;  // the group last

    std::array<Entry, kEntries> entries;
    std::string chain;
    std::string postings;

    static IndexFuzzInput Decode(const uint8_t* data, size_t size) {
        CFuzzInput in(data, size);
        IndexFuzzInput input;
        for (Entry& e : input.entries) {
            e.firstBlock = in.TakeUint32();
            e.lastPage = in.TakeUint32();
        }
        input.chain = in.TakeBytes(in.TakeUint16());
        input.postings = in.TakeRest();
        return input;
    }

    std::string Encode() const {
        std::string out;
        for (const Entry& e : entries) {
            littleendian::AppendUint32(e.firstBlock, out);
            littleendian::AppendUint32(e.lastPage, out);
        }
        littleendian::AppendUint16(uint32_t(chain.size()), out);
        return out + chain + postings;
    }
};

// fuzz_filelist: the page table and the page content file.
//   0       2              page table length T
//   2       T              page table ("-fl.h")
//   2 + T   the rest       page content ("-fl.cnt")
struct StoreFuzzInput {
    std::string table;
    std::string content;

    static StoreFuzzInput Decode(const uint8_t* data, size_t size) {
        CFuzzInput in(data, size);
        StoreFuzzInput input;
        input.table = in.TakeBytes(in.TakeUint16());
        input.content = in.TakeRest();
        return input;
    }

    std::string Encode() const {
        std::string out;
        littleendian::AppendUint16(uint32_t(table.size()), out);
        return out + table + content;
    }
};

// fuzz_variants: a query to expand and the variant table. The query may be
// its units repeated, so that a short input makes a very long query.
//   0       1              query length Q in UTF-16 units
//   1       1              R: below 0xF0 the units stand once; from it on
//                          2^(R - 0xF0) times in a row (at most kMaxQueryUnits in all)
//   2       2 x Q          query units, UTF-16LE
//   2 + 2Q  the rest       "yitizi.txt"
struct VariantFuzzInput {
    static constexpr size_t kMaxQueryUnits = size_t(1) << 16;

    std::u16string units;
    uint8_t repeat = 0;
    std::string table;

    static constexpr uint8_t kFirstRepeat = 0xF0;

    std::u16string Query() const {
        const size_t times = repeat < kFirstRepeat ? 1 : size_t(1) << (repeat - kFirstRepeat);
        std::u16string query;
        for (size_t i = 0; i < times && query.size() + units.size() <= kMaxQueryUnits; ++i) query += units;
        return query;
    }

    static VariantFuzzInput Decode(const uint8_t* data, size_t size) {
        CFuzzInput in(data, size);
        VariantFuzzInput input;
        const size_t count = in.TakeByte();
        input.repeat = in.TakeByte();
        input.units = in.TakeUnits(count);
        input.table = in.TakeRest();
        return input;
    }

    std::string Encode() const {
        std::string out{char(units.size()), char(repeat)};
        AppendUnits(out, units);
        return out + table;
    }
};

// fuzz_query: search options and a query.
//   0       1              bit 0: variants on; bits 1-2: combine mode of the single phrase search
//   1       the rest       query, UTF-16LE
struct QueryFuzzInput {
    bool useVariants = false;
    int combineMode = 0;
    std::u16string query;

    static QueryFuzzInput Decode(const uint8_t* data, size_t size) {
        CFuzzInput in(data, size);
        QueryFuzzInput input;
        const uint8_t flags = in.TakeByte();
        input.useVariants = flags & 1;
        input.combineMode = (flags >> 1) & 3;
        input.query = in.TakeUnits(in.Left());
        return input;
    }

    std::string Encode() const {
        std::string out(1, char((useVariants ? 1 : 0) | combineMode << 1));
        AppendUnits(out, query);
        return out;
    }
};

// fuzz_render: render options, the terms and the stored page.
//   0       1              bits 0-1: render scope (3: none of the three);
//                          bit 2: the record of odd printed page number
//                          (text in the second cell); bit 3: variants on in
//                          GetPageHtml; bit 4: the terms joined by U+3000
//                          instead of U+0020; bit 5: the highlighter's
//                          counter starts just below 10000
//   1       1              term count (low three bits)
//   then per term:
//           1              length L in bytes
//           1              R: below 0xF0 the bytes stand once; from it on
//                          2^(R - 0xF0) times in a row (at most kMaxTermBytes)
//           L              the term's bytes, UTF-8 or not
//   the rest               the page, at most kMaxPageBytes
struct RenderFuzzInput {
    static constexpr size_t kMaxTermBytes = 4096;
    static constexpr size_t kMaxPageBytes = 16384;
    static constexpr uint8_t kFirstRepeat = 0xF0;

    struct Term {
        std::string bytes;
        uint8_t repeat = 0;

        std::string Expanded() const {
            const size_t times = repeat < kFirstRepeat ? 1 : size_t(1) << (repeat - kFirstRepeat);
            std::string term;
            for (size_t i = 0; i < times && term.size() + bytes.size() <= kMaxTermBytes; ++i) term += bytes;
            return term;
        }
    };

    int scope = 0;
    bool oddPage = false;
    bool useVariants = false;
    bool ideographicSpaces = false;
    bool highCounter = false;
    std::vector<Term> terms;
    std::string page;

    static RenderFuzzInput Decode(const uint8_t* data, size_t size) {
        CFuzzInput in(data, size);
        RenderFuzzInput input;
        const uint8_t flags = in.TakeByte();
        input.scope = flags & 3;
        input.oddPage = flags & 4;
        input.useVariants = flags & 8;
        input.ideographicSpaces = flags & 16;
        input.highCounter = flags & 32;
        const size_t count = in.TakeByte() & 7;
        for (size_t t = 0; t < count; ++t) {
            const size_t length = in.TakeByte();
            const uint8_t repeat = in.TakeByte();
            input.terms.push_back({std::string(in.TakeBytes(length)), repeat});
        }
        input.page = in.TakeBytes(kMaxPageBytes);
        return input;
    }

    std::string Encode() const {
        std::string out;
        out.push_back(char(scope | (oddPage ? 4 : 0) | (useVariants ? 8 : 0) | (ideographicSpaces ? 16 : 0) |
                           (highCounter ? 32 : 0)));
        out.push_back(char(terms.size()));
        for (const Term& term : terms) {
            out.push_back(char(term.bytes.size()));
            out.push_back(char(term.repeat));
            out += term.bytes;
        }
        return out + page;
    }
};
