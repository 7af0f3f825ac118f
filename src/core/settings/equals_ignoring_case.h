#pragma once
// Matching typed text against the program's own choice texts ("vocal",
// "RIAA / CCIR"), which are plain ASCII.

#include <string_view>

namespace sonorel {

// Equal apart from the case of ASCII letters; no locale is consulted.
constexpr bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace sonorel
