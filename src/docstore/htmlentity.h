// The character entities a stored page's text may hold: the builder writes
// "&", "<" and ">" as entities, and pages from elsewhere may hold the other
// two. Each stands for one character of the text (a no-break space for a space).
#pragma once

#include <cstddef>
#include <string_view>

namespace htmlentity {

struct Entity {
    std::string_view name;
    char32_t value;
};
inline constexpr Entity kEntities[] = {
    {"&amp;", U'&'}, {"&lt;", U'<'}, {"&gt;", U'>'}, {"&quot;", U'"'}, {"&nbsp;", U' '}};

// The entity text starts with, or null.
inline const Entity* EntityAt(std::string_view text) {
    if (text.empty() || text[0] != '&') return nullptr;
    for (const Entity& entity : kEntities)
        if (text.starts_with(entity.name)) return &entity;
    return nullptr;
}

}  // namespace htmlentity
