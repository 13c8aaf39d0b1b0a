// SearchScope: one of the three parts of the text a search covers, with its
// name on the command line, the index files it opens and the part of a page
// it marks. The search panel's scope buttons and quorel-cli's --scope use it.
#pragma once

#include <string_view>

#include "docstore/renderscope.h"
#include "index/indexformat.h"

struct SearchScope {
    const char* name;
    IndexScope indexScope;
    RenderScope renderScope;

    static const SearchScope kFull;
    static const SearchScope kMain;
    static const SearchScope kNotes;

    // The scope of a name ("full", "main", "notes"); null when there is none.
    static const SearchScope* Find(std::string_view name) {
        for (const SearchScope* scope : {&kFull, &kMain, &kNotes})
            if (name == scope->name) return scope;
        return nullptr;
    }
    // The scope whose index files are those of indexScope.
    static const SearchScope& OfIndex(IndexScope indexScope) {
        for (const SearchScope* scope : {&kMain, &kNotes})
            if (scope->indexScope == indexScope) return *scope;
        return kFull;
    }
};

inline constexpr SearchScope SearchScope::kFull{"full", IndexScope::kFullText, RenderScope::kAll};
inline constexpr SearchScope SearchScope::kMain{"main", IndexScope::kMainText, RenderScope::kMainText};
inline constexpr SearchScope SearchScope::kNotes{"notes", IndexScope::kNotes, RenderScope::kNotes};
