// Texts handed to the platform's "A" functions. Those functions read a name
// up to its first NUL, so a text with a NUL of its own would name something
// else (a shorter cache entry, a parent registry key): such a text is
// refused instead of cut.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qm {

inline std::optional<std::string> ToCString(std::string_view text) {
    if (text.find('\0') != std::string_view::npos) return std::nullopt;
    return std::string(text);
}

}  // namespace qm
