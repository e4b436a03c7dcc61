#include "widgets/command_bar_model.h"

#include <algorithm>

namespace qm {

int CommandImageIndex(uint32_t command) {
    const auto at = std::find(kCommandBarImageCommands.begin(), kCommandBarImageCommands.end(), command);
    return at == kCommandBarImageCommands.end() ? -1
                                                : static_cast<int>(at - kCommandBarImageCommands.begin());
}

namespace {

uint32_t ReadLittleEndian(std::span<const uint8_t> data, std::size_t offset, std::size_t bytes) {
    uint32_t value = 0;
    for (std::size_t byte = 0; byte < bytes; ++byte)
        value |= static_cast<uint32_t>(data[offset + byte]) << (8 * byte);
    return value;
}

constexpr uint32_t kMaxToolbarImageSize = 256;

// One layout: a header of `headerWords` words of `wordBytes` bytes (the
// last three are width, height and count), then `count` commands.
std::optional<ToolbarResource> ParseToolbarLayout(std::span<const uint8_t> data, std::size_t wordBytes,
                                                  std::size_t headerWords) {
    if (data.size() < wordBytes * headerWords) return std::nullopt;
    const std::size_t first = headerWords - 3;
    const uint32_t width = ReadLittleEndian(data, wordBytes * first, wordBytes);
    const uint32_t height = ReadLittleEndian(data, wordBytes * (first + 1), wordBytes);
    const uint32_t count = ReadLittleEndian(data, wordBytes * (first + 2), wordBytes);
    if (width == 0 || height == 0 || width > kMaxToolbarImageSize || height > kMaxToolbarImageSize) {
        return std::nullopt;
    }
    if ((data.size() - wordBytes * headerWords) / wordBytes < count) return std::nullopt;
    ToolbarResource toolbar{static_cast<int>(width), static_cast<int>(height), {}};
    for (uint32_t item = 0; item < count; ++item) {
        const uint32_t command = ReadLittleEndian(data, wordBytes * (headerWords + item), wordBytes);
        if (command != 0) toolbar.commands.push_back(command);
    }
    return toolbar;
}

}  // namespace

std::optional<ToolbarResource> ParseToolbarResource(std::span<const uint8_t> data) {
    // Version 1 in the first 16-bit word marks the Microsoft layout; a
    // windres image width of 1 would read as width 0 there and fail over.
    if (data.size() >= 8 && ReadLittleEndian(data, 0, 2) == 1) {
        if (auto toolbar = ParseToolbarLayout(data, 2, 4)) return toolbar;
    }
    return ParseToolbarLayout(data, 4, 3);
}

int MenuImageIndex(std::span<const MenuImage> images, uint32_t command, int imageCount) {
    for (const MenuImage& entry : images) {
        if (entry.command != command) continue;
        return entry.image >= 0 && entry.image < imageCount ? entry.image : -1;
    }
    return -1;
}

// ---- behaviour ----

void CommandBarModel::SetButtonCount(int count) {
    buttonCount_ = std::max(count, 0);
    if (hot_ >= buttonCount_) hot_ = -1;
    if (open_ >= buttonCount_) open_ = -1;
    if (buttonCount_ == 0) menuMode_ = false;
}

int CommandBarModel::Neighbour(int button, int step) const {
    if (buttonCount_ == 0) return -1;
    if (button < 0 || button >= buttonCount_) return step >= 0 ? 0 : buttonCount_ - 1;
    return ((button + step) % buttonCount_ + buttonCount_) % buttonCount_;
}

BarAction CommandBarModel::MouseOver(int button) {
    if (button >= buttonCount_) button = -1;
    if (open_ >= 0) {
        if (button < 0 || button == open_) return {};
        open_ = hot_ = button;
        return {BarAction::OpenPopup, button};
    }
    // In menu mode the keyboard's hot button stays when the pointer leaves.
    if (button < 0 && menuMode_) return {};
    if (button == hot_) return {};
    hot_ = button;
    return {BarAction::Redraw, button};
}

BarAction CommandBarModel::ButtonPressed(int button) {
    if (button < 0 || button >= buttonCount_) return {};
    if (open_ == button) {
        open_ = -1;
        return {BarAction::ClosePopup, button};
    }
    open_ = hot_ = button;
    return {BarAction::OpenPopup, button};
}

BarAction CommandBarModel::MenuKey() {
    if (buttonCount_ == 0) return {};
    if (menuMode_) return Leave();
    menuMode_ = true;
    hot_ = 0;
    return {BarAction::Redraw, hot_};
}

BarAction CommandBarModel::KeyInMenuMode(int key) {
    if (!menuMode_ || buttonCount_ == 0) return {BarAction::PassToSystem, -1};
    switch (key) {
        case kBarKeyLeft:
        case kBarKeyRight:
            hot_ = Neighbour(hot_, key == kBarKeyLeft ? -1 : 1);
            return {BarAction::Redraw, hot_};
        case kBarKeyDown:
        case kBarKeyUp:
        case kBarKeyReturn:
            if (hot_ < 0) hot_ = 0;
            open_ = hot_;
            return {BarAction::OpenPopup, hot_};
        case kBarKeyEscape:
        case kBarKeyMenu:
            return Leave();
        case kBarKeySpace:
            return {BarAction::PassToSystem, -1};
        default:
            return {};  // swallowed
    }
}

BarAction CommandBarModel::KeyInPopup(int key) {
    if (open_ < 0 || (key != kBarKeyLeft && key != kBarKeyRight)) return {BarAction::PassToSystem, -1};
    const int next = Neighbour(open_, key == kBarKeyLeft ? -1 : 1);
    if (next == open_) return {};
    open_ = hot_ = next;
    return {BarAction::OpenPopup, next};
}

BarAction CommandBarModel::KeyInMenuLoop(int key, int menuDepth, bool selectedHasSubmenu) {
    const bool inSubmenu = menuDepth > 1;
    switch (key) {
        case kBarKeyEscape:
            if (!inSubmenu) escaped_ = true;
            return {BarAction::PassToSystem, -1};
        case kBarKeyLeft:
            if (inSubmenu) return {BarAction::PassToSystem, -1};
            return KeyInPopup(key);
        case kBarKeyRight:
            if (selectedHasSubmenu) return {BarAction::PassToSystem, -1};
            return KeyInPopup(key);
        default:
            return {BarAction::PassToSystem, -1};
    }
}

PopupEnd CommandBarModel::HowPopupEnded(uint32_t command, int switchingTo) const {
    if (command != 0) return PopupEnd::CommandChosen;
    if (switchingTo >= 0 && switchingTo == open_) return PopupEnd::Switching;
    return escaped_ ? PopupEnd::Escape : PopupEnd::Dismissed;
}

BarAction CommandBarModel::PopupClosed(PopupEnd how) {
    switch (how) {
        case PopupEnd::Switching:
            return {};
        case PopupEnd::Escape:
            if (open_ >= 0) hot_ = open_;
            open_ = -1;
            menuMode_ = buttonCount_ > 0;
            if (menuMode_ && hot_ < 0) hot_ = 0;
            return {BarAction::Redraw, hot_};
        case PopupEnd::CommandChosen:
        case PopupEnd::Dismissed:
        default:
            open_ = -1;
            menuMode_ = false;
            hot_ = -1;
            return {BarAction::Redraw, -1};
    }
}

BarAction CommandBarModel::ParentDeactivated() {
    return Leave();
}

BarAction CommandBarModel::Leave() {
    const bool wasOpen = open_ >= 0;
    const bool changed = menuMode_ || hot_ >= 0 || wasOpen;
    menuMode_ = false;
    hot_ = -1;
    open_ = -1;
    if (wasOpen) return {BarAction::ClosePopup, -1};
    return changed ? BarAction{BarAction::Redraw, -1} : BarAction{};
}

// ---- look ----

CommandBarColors CommandBarColorsFor(ColorRef buttonFace, ColorRef highlight) {
    CommandBarColors colors;
    colors.barTop = Lighten(buttonFace, 1.1);
    colors.barBottom = Darken(buttonFace, 0.9);
    colors.hotOuter = Rgb(170, 200, 245);
    colors.hotFill = Adjust(buttonFace, 75, 0);
    colors.hotInner = Rgb(230, 250, 250);
    colors.hotGradientTop = Rgb(210, 240, 250);
    colors.hotGradientBottom = Rgb(185, 215, 250);
    colors.imageColumn = Adjust(buttonFace, 20, 0);
    colors.itemBackground = Adjust(buttonFace, 75, 0);
    colors.separator = Adjust(buttonFace, -18, 0);
    colors.checkedGrayed = Adjust(buttonFace, 73, 0);
    colors.checkedSelected = Adjust(highlight, 50, -50);
    colors.checkedNormal = Adjust(highlight, 70, -57);
    colors.checkFrame = highlight;
    colors.selectedImageShadow = Adjust(highlight, 50, -66);
    colors.grayedImageShadow = Adjust(buttonFace, -27, 0);
    return colors;
}

ColorRef CommandBarButtonTextColor(bool hot) {
    return hot ? Rgb(0, 0, 0) : Rgb(18, 0, 0);
}

MenuItemSize MeasureMenuItem(const MenuItemMetrics& metrics, bool separator, int textWidth) {
    if (separator) return MenuItemSize{0, std::max(metrics.menuBarHeight, 0) / 2};
    const int height = std::max(metrics.fontHeight + 8, metrics.buttonHeight);
    // The system adds its check-mark width (less one) to what an owner-drawn
    // item reports; it is taken off here so the item gets exactly the rest.
    const int width =
        std::max(textWidth, 0) + 2 * metrics.imageWidth + kMenuItemGap + 5 - (metrics.checkMarkWidth - 1);
    return MenuItemSize{std::max(width, 0), std::max(height, 0)};
}

MenuItemLayout LayoutMenuItem(const PixelRect& item, int imageWidth) {
    MenuItemLayout layout;
    layout.imageColumn = PixelRect{item.left, item.top, item.left + imageWidth + 6, item.bottom};
    layout.textLeft = item.left + imageWidth + 14;
    layout.acceleratorRight = item.right - 12;
    layout.separatorY = item.top + item.height() / 2;
    layout.separatorLeft = item.left + imageWidth + 8;
    layout.separatorRight = item.right - 2;
    layout.imageX = item.left + 3;
    layout.imageY = item.top + 4;
    layout.raisedImageX = item.left + 2;
    layout.raisedImageY = item.top + 3;
    layout.raisedShadowX = item.left + 4;
    layout.raisedShadowY = item.top + 5;
    layout.grayedShadowX = item.left + 3;
    layout.grayedShadowY = item.top + 4;
    return layout;
}

MenuItemDrawing DrawMenuItem(const MenuItemLayout& layout, const CommandBarColors& colors,
                             MenuItemState state, int image) {
    MenuItemDrawing drawing;
    const bool selected = state.selected && !state.separator;
    drawing.hotFrame = selected;
    if (state.separator) return drawing;
    if (state.checked) {
        drawing.checkBox = state.grayed ? colors.checkedGrayed
                           : selected   ? colors.checkedSelected
                                        : colors.checkedNormal;
        drawing.checkMark = image < 0;
    }
    if (image < 0) return drawing;
    if (state.grayed) {
        drawing.shadow = PixelPoint{layout.grayedShadowX, layout.grayedShadowY};
        drawing.shadowColor = colors.grayedImageShadow;
    } else if (selected && !state.checked) {
        drawing.shadow = PixelPoint{layout.raisedShadowX, layout.raisedShadowY};
        drawing.shadowColor = colors.selectedImageShadow;
        drawing.image = PixelPoint{layout.raisedImageX, layout.raisedImageY};
    } else {
        drawing.image = PixelPoint{layout.imageX, layout.imageY};
    }
    return drawing;
}

std::pair<std::string_view, std::string_view> SplitMenuText(std::string_view text) {
    const std::size_t tab = text.find('\t');
    if (tab == std::string_view::npos) return {text, {}};
    return {text.substr(0, tab), text.substr(tab + 1)};
}

}  // namespace qm
