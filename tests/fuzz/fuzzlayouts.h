// The input layouts of the fuzz targets that read data files, shared by the
// targets (Decode) and the seed generator (Encode) so the two agree. Integers
// are little-endian; a field cut short by the end of the input reads as zeros.
#pragma once

#include <array>
#include <cstdint>
#include <string>

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
            AppendUint32(out, e.firstBlock);
            AppendUint32(out, e.lastPage);
        }
        AppendUint16(out, uint32_t(chain.size()));
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
        AppendUint16(out, uint32_t(table.size()));
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
