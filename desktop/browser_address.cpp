#include "desktop/browser_address.h"

#include <algorithm>
#include <array>

namespace qm {
namespace {

// The longest command line the platform starts a program with, less room
// for the program's own name.
constexpr std::size_t kLongestAddress = 32000;

char16_t LowerAscii(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char16_t p, char16_t t) { return p == LowerAscii(t); });
}

bool IsLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// "www.example.com", "shop.example:8080": letters, digits, hyphens and dots,
// at least one dot between two labels, then an optional port.
bool IsSite(std::u16string_view host) {
    const std::size_t colon = host.find(u':');
    const std::u16string_view name = host.substr(0, colon);
    if (colon != std::u16string_view::npos) {
        const std::u16string_view port = host.substr(colon + 1);
        if (port.empty() || port.size() > 5 || !std::all_of(port.begin(), port.end(), IsDigit)) return false;
    }
    if (name.empty() || name.front() == u'.' || name.back() == u'.' || name.front() == u'-') return false;
    if (name.find(u'.') == std::u16string_view::npos || name.find(u"..") != std::u16string_view::npos) return false;
    return std::all_of(name.begin(), name.end(),
                       [](char16_t c) { return IsLetter(c) || IsDigit(c) || c == u'-' || c == u'.'; });
}

}  // namespace

AddressTarget TargetOfAddress(std::u16string_view address) {
    if (address.empty() || address.size() > kLongestAddress) return {};
    if (std::any_of(address.begin(), address.end(), [](char16_t c) { return c < 0x20 || c == 0x7F || c == u'"'; }))
        return {};
    constexpr std::array<std::u16string_view, 3> kWebSchemes = {u"http://", u"https://", u"ftp://"};
    for (std::u16string_view scheme : kWebSchemes)
        if (address.size() > scheme.size() && StartsWithNoCase(address, scheme))
            return {AddressKind::Web, std::u16string(address)};

    const bool drivePath = address.size() > 3 && IsLetter(address[0]) && address[1] == u':' &&
                           (address[2] == u'\\' || address[2] == u'/');
    // Not "\\?\" or "\\.\": those name devices, not files.
    const bool networkPath = address.size() > 2 && address[0] == u'\\' && address[1] == u'\\' &&
                             address[2] != u'\\' && address[2] != u'?' && address[2] != u'.';
    const bool fileAddress = address.size() > 5 && StartsWithNoCase(address, u"file:");
    if (drivePath || networkPath || fileAddress) return {AddressKind::LocalFile, std::u16string(address)};

    if (IsSite(address.substr(0, address.find(u'/')))) return {AddressKind::Web, u"http://" + std::u16string(address)};
    return {};
}

}  // namespace qm
