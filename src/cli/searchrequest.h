// SearchRequest: the search options quorel-cli's search and kwic commands
// share, how they are read from the command line, and the search they ask
// for, run over the collection with its result entries as the panel lists them.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "index/index.h"
#include "index/searchscope.h"
#include "panel/model/contentsnodetag.h"
#include "panel/model/searchnodetag.h"
#include "panel/model/tocmodel.h"

class CNotifier;

struct SearchRequest {
    bool any = false;
    const SearchScope* scope = &SearchScope::kFull;
    bool useVariants = true;
    bool ignorePunctuation = false;
    int range = 0;  // record index; 0: the whole collection
    std::string keyword;
    std::u16string query;  // the keyword as the search left it

    // When args[i] is a search option, takes it (and its value, moving i on)
    // and returns true; status is then kExitOk or a usage error's status.
    bool TakeOption(const std::vector<std::string>& args, size_t& i, int& status);
    // Takes a lone KEYWORD at the end of args; false when arg is not one.
    bool TakeKeyword(const std::vector<std::string>& args, size_t i);
    // kExitOk once a keyword was given and is valid UTF-8.
    int Check() const;
};

// The open index, the outline and the result entries of one search.
struct SearchRun {
    explicit SearchRun(CNotifier& notifier) : index(&notifier) {}
    CIndex index;
    CTocModel toc;
    const ContentsNodeTag* range = nullptr;  // the outline node searched in; the root for all
    std::vector<SearchNodeTag> entries;
    int totalHits = 0;
};

// Opens the collection and runs request over the index; kExitOk or kExitFailed.
int RunSearch(const std::filesystem::path& dataFolder, SearchRequest& request, SearchRun& run);
// Loads the outline and lists the result entries of the search run.
void ListEntries(const std::filesystem::path& dataFolder, const SearchRequest& request, SearchRun& run,
                 CNotifier& notifier);
