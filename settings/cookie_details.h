// The Cookie Details view: the raw text of a cookie's local file as the
// browser stored it (each cookie's name, value, host and flags on lines of
// their own), shown in an edit box. The text is displayed, never parsed,
// changed or saved.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace qm {

// Cookie files are a few kilobytes; a file beyond this is shown up to here.
inline constexpr uint64_t kCookieDetailsLimit = 1024 * 1024;

// The path the "View Details" command opens: the "File" cell of the selected
// row, trimmed; nothing when it is empty.
std::optional<std::string> CookieDetailsPath(std::string_view fileCell);

// The box's text from the file's bytes: the last byte (the file's closing
// line break) left out, the text ended at a zero byte, and every line feed
// made a carriage return and line feed so that each line of the file shows
// on its own line.
std::string CookieDetailsText(std::string_view fileBytes);

// The box's text for the file at the path; empty when the file cannot be
// read or is empty. A file larger than the limit shows its first part,
// with no byte left out.
std::string ReadCookieDetails(FileSystem& fileSystem, std::string_view path);

}  // namespace qm
