// quorel-bench-xapian: the Xapian peer. "build" indexes the corpus with the
// term generator in CJK n-gram mode (document id = page + 1, every character
// one position); "search" runs the
// query set through the query parser in the same mode as phrase queries,
// collecting every matching page unranked. Wildcard words, which the parser
// cannot express, become ordered-window queries over the characters.
#include <xapian.h>

#include <chrono>
#include <iostream>
#include <nlohmann/json.hpp>

#include "common/corpusfile.h"
#include "common/queryset.h"
#include "common/runloop.h"

namespace {

const char* kUsage =
    "usage: quorel-bench-xapian build CORPUS.tsv DB_DIR\n"
    "       quorel-bench-xapian search DB_DIR QUERIES.json OUT.json [--reps N] [--warmups N] [--pages FILE]\n"
    "       quorel-bench-xapian describe DB_DIR QUERIES.json\n";

constexpr unsigned kStarReach = 300;  // characters a "*" may span
const std::string kFullWidthQuestion = "\xEF\xBC\x9F";

// Indexes text so that every character takes one position, as in Quorel's
// index: the term generator skips punctuation without a position, so each run
// of word characters is indexed on its own and the characters between them
// advance the position.
void IndexWithPositions(Xapian::TermGenerator& generator, const std::string& text) {
    std::string run;
    for (Xapian::Utf8Iterator it(text); it != Xapian::Utf8Iterator(); ++it) {
        if (Xapian::Unicode::is_wordchar(*it)) {
            Xapian::Unicode::append_utf8(run, *it);
            continue;
        }
        if (!run.empty()) generator.index_text(run);
        run.clear();
        generator.increase_termpos(1);
    }
    if (!run.empty()) generator.index_text(run);
}

int Build(const std::string& corpus, const std::string& path) {
    const auto start = std::chrono::steady_clock::now();
    Xapian::WritableDatabase db(path, Xapian::DB_CREATE_OR_OVERWRITE);
    Xapian::TermGenerator generator;
    generator.set_flags(Xapian::TermGenerator::FLAG_CJK_NGRAM);
    const size_t textBytes = corpusfile::ForEachPage(corpus, [&](uint32_t page, std::string_view text) {
        Xapian::Document doc;
        generator.set_document(doc);
        IndexWithPositions(generator, std::string(text));
        db.replace_document(page + 1, doc);
    });
    db.commit();
    db.close();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << nlohmann::json{{"text_bytes", textBytes}, {"build_seconds", seconds}}.dump() << "\n";
    return 0;
}

// The UTF-8 characters of a spelling, one string each.
std::vector<std::string> Characters(const std::string& spelling) {
    std::vector<std::string> chars;
    for (size_t i = 0; i < spelling.size();) {
        size_t n = 1;
        while (i + n < spelling.size() && (static_cast<unsigned char>(spelling[i + n]) & 0xC0) == 0x80) ++n;
        chars.push_back(spelling.substr(i, n));
        i += n;
    }
    return chars;
}

// A wildcard spelling: its characters in order within the span the wildcards allow.
Xapian::Query WindowQuery(const std::string& spelling) {
    std::vector<Xapian::Query> terms;
    unsigned span = 0;
    for (const std::string& c : Characters(spelling)) {
        if (c == "*") {
            span += kStarReach;
        } else {
            ++span;
            if (c != "?" && c != kFullWidthQuestion) terms.emplace_back(c);
        }
    }
    if (terms.size() == 1) return terms.front();
    return Xapian::Query(Xapian::Query::OP_PHRASE, terms.begin(), terms.end(), span);
}

Xapian::Query Translate(Xapian::QueryParser& parser, const BenchQuery& query) {
    std::vector<Xapian::Query> words;
    for (const auto& spellings : query.words) {
        std::vector<Xapian::Query> alternatives;
        for (const std::string& s : spellings) {
            if (corpusfile::HasWildcard(s)) {
                alternatives.push_back(WindowQuery(s));
            } else {
                alternatives.push_back(parser.parse_query("\"" + s + "\"", Xapian::QueryParser::FLAG_CJK_NGRAM |
                                                                              Xapian::QueryParser::FLAG_PHRASE));
            }
        }
        words.emplace_back(Xapian::Query::OP_OR, alternatives.begin(), alternatives.end());
    }
    return Xapian::Query(query.anyWord ? Xapian::Query::OP_OR : Xapian::Query::OP_AND, words.begin(), words.end());
}

void Search(Xapian::Enquire& enquire, Xapian::doccount all, const Xapian::Query& query, std::vector<uint32_t>& pages) {
    enquire.set_query(query);
    const Xapian::MSet matches = enquire.get_mset(0, all);
    for (auto it = matches.begin(); it != matches.end(); ++it) pages.push_back(*it - 1);
}

int RunSearch(const std::string& path, int argc, char** argv, bool describeOnly) {
    const std::vector<BenchQuery> queries = queryset::Load(argv[3]);
    Xapian::Database db(path);
    Xapian::QueryParser parser;
    parser.set_database(db);
    if (describeOnly) {
        for (const BenchQuery& q : queries) std::cout << q.id << "\t" << Translate(parser, q).get_description() << "\n";
        return 0;
    }
    Xapian::Enquire enquire(db);
    enquire.set_weighting_scheme(Xapian::BoolWeight());
    enquire.set_docid_order(Xapian::Enquire::ASCENDING);
    const Xapian::doccount all = db.get_doccount();
    const int reps = runloop::IntOption(argc, argv, "--reps", 5);
    const int warmups = runloop::IntOption(argc, argv, "--warmups", 1);
    const auto outcomes = runloop::RunAll(queries, warmups, reps, [&](const BenchQuery& q, std::vector<uint32_t>& pages) {
        Search(enquire, all, Translate(parser, q), pages);  // parsing is part of the query's cost
    });
    queryset::WriteReport(argv[4], "xapian", queries, outcomes, runloop::Option(argc, argv, "--pages"));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    try {
        if (command == "build" && argc == 4) return Build(argv[2], argv[3]);
        if (command == "search" && argc >= 5) return RunSearch(argv[2], argc, argv, false);
        if (command == "describe" && argc == 4) return RunSearch(argv[2], argc, argv, true);
    } catch (const Xapian::Error& error) {
        std::cerr << error.get_description() << "\n";
        return 1;
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
    std::cerr << kUsage;
    return 2;
}
