// quorel-bench-sqlite: the SQLite peer. "build" loads the corpus into an FTS5
// table with the trigram tokenizer; "search" runs the query set the way a user
// of that table would: phrases of three or more characters with MATCH, shorter
// ones and wildcard words with LIKE ("?" as "_", "*" as "%").
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>

#include "common/corpusfile.h"
#include "common/queryset.h"
#include "common/runloop.h"

namespace {

const char* kUsage =
    "usage: quorel-bench-sqlite build CORPUS.tsv DB\n"
    "       quorel-bench-sqlite search DB QUERIES.json OUT.json [--reps N] [--warmups N] [--pages FILE]\n";

class CDatabase {
public:
    explicit CDatabase(const std::string& path, int flags) {
        if (sqlite3_open_v2(path.c_str(), &m_db, flags, nullptr) != SQLITE_OK)
            throw std::runtime_error("cannot open " + path + ": " + sqlite3_errmsg(m_db));
    }
    ~CDatabase() { sqlite3_close(m_db); }
    CDatabase(const CDatabase&) = delete;
    CDatabase& operator=(const CDatabase&) = delete;
    sqlite3* Handle() const { return m_db; }
    void Exec(const char* sql) {
        char* error = nullptr;
        if (sqlite3_exec(m_db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
            const std::string text = error ? error : "?";
            sqlite3_free(error);
            throw std::runtime_error(text);
        }
    }

private:
    sqlite3* m_db = nullptr;
};

int Build(const std::string& corpus, const std::string& path) {
    std::filesystem::remove(path);
    CDatabase db(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    const auto start = std::chrono::steady_clock::now();
    db.Exec("CREATE VIRTUAL TABLE pages USING fts5(text, tokenize='trigram')");
    db.Exec("BEGIN");
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db.Handle(), "INSERT INTO pages(rowid, text) VALUES(?, ?)", -1, &insert, nullptr);
    const size_t textBytes = corpusfile::ForEachPage(corpus, [&](uint32_t page, std::string_view text) {
        sqlite3_bind_int64(insert, 1, page);
        sqlite3_bind_text(insert, 2, text.data(), int(text.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(insert) != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db.Handle()));
        sqlite3_reset(insert);
    });
    sqlite3_finalize(insert);
    db.Exec("COMMIT");
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << nlohmann::json{{"text_bytes", textBytes}, {"build_seconds", seconds}}.dump() << "\n";
    return 0;
}

bool Matchable(const std::string& spelling) {
    return !corpusfile::HasWildcard(spelling) && corpusfile::CodePoints(spelling) >= 3;
}

std::string Phrase(const std::string& spelling) {
    std::string quoted = "\"";
    for (char c : spelling) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string LikePattern(const std::string& spelling) {
    std::string pattern = "%";
    for (size_t i = 0; i < spelling.size(); ++i) {
        if (spelling[i] == '?') {
            pattern += '_';
        } else if (spelling[i] == '*') {
            pattern += '%';
        } else if (spelling.compare(i, 3, "\xEF\xBC\x9F") == 0) {
            pattern += '_';
            i += 2;
        } else {
            pattern += spelling[i];
        }
    }
    return pattern + "%";
}

// The longest run of characters of a spelling without a wildcard.
size_t LiteralRun(const std::string& spelling) {
    size_t longest = 0, run = 0;
    for (size_t i = 0; i < spelling.size();) {
        size_t n = 1;
        while (i + n < spelling.size() && (static_cast<unsigned char>(spelling[i + n]) & 0xC0) == 0x80) ++n;
        const std::string_view c(spelling.data() + i, n);
        run = c == "?" || c == "*" || c == "\xEF\xBC\x9F" ? 0 : run + 1;
        longest = std::max(longest, run);
        i += n;
    }
    return longest;
}

struct SqlQuery {
    std::string sql;
    std::vector<std::string> params;
};

// Words whose spellings all have three or more characters go to one MATCH;
// the others become LIKE conditions. Any-word queries with a LIKE word use
// LIKE for every word (MATCH cannot stand under OR). The table's own LIKE
// needs three characters without a wildcard and finds nothing with fewer, so
// such patterns are written "+text LIKE" and scanned by SQLite itself, which
// is the scan a user gets for them.
SqlQuery Translate(const BenchQuery& query) {
    std::vector<std::string> matchWords;
    std::vector<const std::vector<std::string>*> likeWords;
    for (const auto& spellings : query.words) {
        const bool all = std::all_of(spellings.begin(), spellings.end(), Matchable);
        if (all) {
            std::string word;
            for (const std::string& s : spellings) word += (word.empty() ? "(" : " OR ") + Phrase(s);
            matchWords.push_back(word + ")");
        } else {
            likeWords.push_back(&spellings);
        }
    }
    const char* join = query.anyWord ? " OR " : " AND ";
    SqlQuery out;
    std::vector<std::string> conditions;
    if (query.anyWord && !likeWords.empty()) {
        likeWords.clear();
        for (const auto& spellings : query.words) likeWords.push_back(&spellings);
        matchWords.clear();
    }
    if (!matchWords.empty()) {
        std::string expression;
        for (const std::string& w : matchWords) expression += (expression.empty() ? "" : join) + w;
        conditions.push_back("pages MATCH ?");
        out.params.push_back(expression);
    }
    for (const auto* spellings : likeWords) {
        std::string condition;
        for (const std::string& s : *spellings) {
            condition += (condition.empty() ? "(" : " OR ") + std::string(LiteralRun(s) >= 3 ? "" : "+") + "text LIKE ?";
            out.params.push_back(LikePattern(s));
        }
        conditions.push_back(condition + ")");
    }
    out.sql = "SELECT rowid FROM pages WHERE ";
    for (size_t i = 0; i < conditions.size(); ++i) out.sql += (i ? join : "") + conditions[i];
    return out;
}

void Search(sqlite3* db, const SqlQuery& query, std::vector<uint32_t>& pages) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, query.sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
        throw std::runtime_error(std::string(sqlite3_errmsg(db)) + " in " + query.sql);
    for (size_t i = 0; i < query.params.size(); ++i)
        sqlite3_bind_text(statement, int(i + 1), query.params[i].c_str(), -1, SQLITE_STATIC);
    while (sqlite3_step(statement) == SQLITE_ROW) pages.push_back(uint32_t(sqlite3_column_int64(statement, 0)));
    sqlite3_finalize(statement);
}

int RunSearch(const std::string& path, int argc, char** argv) {
    const std::vector<BenchQuery> queries = queryset::Load(argv[3]);
    std::vector<SqlQuery> translated;
    for (const BenchQuery& q : queries) translated.push_back(Translate(q));
    CDatabase db(path, SQLITE_OPEN_READONLY);
    const int reps = runloop::IntOption(argc, argv, "--reps", 5);
    const int warmups = runloop::IntOption(argc, argv, "--warmups", 1);
    const auto outcomes = runloop::RunAll(queries, warmups, reps, [&](const BenchQuery& q, std::vector<uint32_t>& pages) {
        Search(db.Handle(), translated[size_t(&q - queries.data())], pages);
    });
    queryset::WriteReport(argv[4], "sqlite", queries, outcomes, runloop::Option(argc, argv, "--pages"));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    try {
        if (command == "build" && argc == 4) return Build(argv[2], argv[3]);
        if (command == "search" && argc >= 5) return RunSearch(argv[2], argc, argv);
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
    std::cerr << kUsage;
    return 2;
}
