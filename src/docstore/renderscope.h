// RenderScope: the part of a hit page's text cell whose matches are marked.
// Passed as an int through the page-rendering calls; values outside the three
// mark nothing.
#pragma once

#include <optional>

enum class RenderScope : int {
    kAll = 0,       // main text and annotations
    kMainText = 1,  // main text only
    kNotes = 2,     // annotations only
};

// The render scope an int stands for; none outside 0 to 2.
inline std::optional<RenderScope> RenderScopeOf(int value) {
    if (value < int(RenderScope::kAll) || value > int(RenderScope::kNotes)) return std::nullopt;
    return RenderScope(value);
}
