#include "widgets/hyperlink_model.h"

#include <algorithm>

namespace qm {
namespace {

std::optional<uint8_t> ColorPart(std::string_view part) {
    while (!part.empty() && part.front() == ' ') part.remove_prefix(1);
    while (!part.empty() && part.back() == ' ') part.remove_suffix(1);
    if (part.empty() || part.size() > 3) return std::nullopt;
    int value = 0;
    for (char c : part) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > 255) return std::nullopt;
    return static_cast<uint8_t>(value);
}

std::optional<ColorRef> ReadColor(RegistryKey& key, std::string_view name) {
    const auto text = key.ReadString(name, kAnchorColorBufferSize);
    if (!text) return std::nullopt;
    return ParseAnchorColor(*text);
}

}  // namespace

std::optional<ColorRef> ParseAnchorColor(std::string_view text) {
    const std::size_t first = text.find(',');
    if (first == std::string_view::npos) return std::nullopt;
    const std::size_t second = text.find(',', first + 1);
    if (second == std::string_view::npos) return std::nullopt;
    const auto red = ColorPart(text.substr(0, first));
    const auto green = ColorPart(text.substr(first + 1, second - first - 1));
    const auto blue = ColorPart(text.substr(second + 1));
    if (!red || !green || !blue) return std::nullopt;
    return Rgb(*red, *green, *blue);
}

BrowserLinkColors ReadBrowserLinkColors(Registry& registry) {
    BrowserLinkColors colors;
    const auto key = registry.Open(RegistryRoot::CurrentUser, kBrowserSettingsKey);
    if (!key) return colors;
    if (const auto link = ReadColor(*key, "Anchor Color")) colors.link = *link;
    colors.visited = ReadColor(*key, "Anchor Color Visited");
    return colors;
}

PixelRect LinkTextRect(int clientWidth, int clientHeight, int textWidth, int textHeight,
                       TextAlignment alignment) {
    clientWidth = std::max(clientWidth, 0);
    clientHeight = std::max(clientHeight, 0);
    const int width = std::clamp(textWidth, 0, clientWidth);
    const int height = std::clamp(textHeight, 0, clientHeight);
    const int free = clientWidth - width;
    const int left = alignment == TextAlignment::Center  ? free / 2
                     : alignment == TextAlignment::Right ? free
                                                         : 0;
    const int top = (clientHeight - height) / 2;
    return PixelRect{left, top, left + width, top + height};
}

bool HyperLinkModel::MouseMove(int /*x*/, int /*y*/) {
    if (tracking_) return false;
    tracking_ = true;
    return true;
}

bool HyperLinkModel::ShowsHandAt(int x, int y) const {
    return !target_.empty() && textRect_.Contains(x, y);
}

bool HyperLinkModel::Hover() {
    if (hovered_) return false;
    hovered_ = true;
    return true;
}

bool HyperLinkModel::Leave() {
    tracking_ = false;
    if (!hovered_) return false;
    hovered_ = false;
    return true;
}

bool HyperLinkModel::LeftButtonDown(int x, int y) {
    captured_ = textRect_.Contains(x, y);
    return captured_;
}

bool HyperLinkModel::LeftButtonUp(int x, int y, Shell& shell) {
    if (!captured_) return false;
    captured_ = false;
    return textRect_.Contains(x, y) && Activate(shell);
}

bool HyperLinkModel::Char(int character, Shell& shell) {
    if (character != '\r' && character != ' ') return false;
    return Activate(shell);
}

bool HyperLinkModel::Activate(Shell& shell) {
    if (target_.empty()) return false;
    return shell.Open(target_);
}

}  // namespace qm
