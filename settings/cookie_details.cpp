#include "settings/cookie_details.h"

namespace qm {
namespace {

constexpr std::string_view kWhiteSpace = " \t\r\n\v\f";

std::string ShownText(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find('\0'));
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 16);
    for (char c : bytes) {
        // A line that already ends in CR LF gets a second CR: the file is
        // shown as it is, not repaired.
        if (c == '\n') text.push_back('\r');
        text.push_back(c);
    }
    return text;
}

}  // namespace

std::optional<std::string> CookieDetailsPath(std::string_view fileCell) {
    const std::size_t first = fileCell.find_first_not_of(kWhiteSpace);
    if (first == std::string_view::npos) return std::nullopt;
    const std::size_t last = fileCell.find_last_not_of(kWhiteSpace);
    return std::string(fileCell.substr(first, last - first + 1));
}

std::string CookieDetailsText(std::string_view fileBytes) {
    // A file that gave no bytes shows nothing; there is no last byte to drop.
    if (fileBytes.empty()) return {};
    return ShownText(fileBytes.substr(0, fileBytes.size() - 1));
}

std::string ReadCookieDetails(FileSystem& fileSystem, std::string_view path) {
    // One byte more than the limit tells a file that ends at the limit from
    // one that goes on; the last byte is dropped only when it is the file's.
    const std::optional<std::string> bytes = fileSystem.ReadFile(path, kCookieDetailsLimit + 1);
    if (!bytes) return {};
    if (bytes->size() > kCookieDetailsLimit)
        return ShownText(std::string_view(*bytes).substr(0, kCookieDetailsLimit));
    return CookieDetailsText(*bytes);
}

}  // namespace qm
