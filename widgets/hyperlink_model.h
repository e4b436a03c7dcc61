// `HyperLink` without its window: the link's label and target, the
// browser's link colour, the hover state and the rules for when a click or
// a key opens the target. The window (a subclassed static) measures, paints
// and relays its messages here; the target opens through the Shell port.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/registry.h"
#include "platform/shell.h"
#include "widgets/colors.h"
#include "widgets/pixel_rect.h"

namespace qm {

inline constexpr ColorRef kDefaultLinkColor = Rgb(0, 0, 255);
inline constexpr std::string_view kBrowserSettingsKey = "Software\\Microsoft\\Internet Explorer\\Settings";
// The colour values are read into buffers of this many bytes ("255,255,255" and its NUL).
inline constexpr std::size_t kAnchorColorBufferSize = 12;
// Hover notices are asked for after this many milliseconds.
inline constexpr int kHyperLinkHoverMs = 10;

// "red,green,blue" in decimal, each 0..255 and optionally surrounded by
// blanks. Anything else is not a colour.
std::optional<ColorRef> ParseAnchorColor(std::string_view text);

struct BrowserLinkColors {
    ColorRef link = kDefaultLinkColor;
    std::optional<ColorRef> visited;  // read and kept; nothing is drawn in it
};

// "Anchor Color" and "Anchor Color Visited" under the current user's
// browser settings; a missing key or a malformed value keeps the default.
BrowserLinkColors ReadBrowserLinkColors(Registry& registry);

enum class TextAlignment { Left, Center, Right };

// Where the label lies in the client area, and so where the link can be
// clicked: one line of the measured size, vertically centred, placed by
// the static's alignment and cut to the client area. The window draws the
// label in this rectangle, so the active area is always the visible text.
PixelRect LinkTextRect(int clientWidth, int clientHeight, int textWidth, int textHeight,
                       TextAlignment alignment);

class HyperLinkModel {
public:
    void SetTarget(std::string_view target) { target_ = std::string(target); }
    void SetLabel(std::string_view label) { label_ = std::string(label); }
    const std::string& target() const { return target_; }
    const std::string& label() const { return label_; }
    // The label, or the target when there is no label.
    std::string_view ShownText() const { return label_.empty() ? std::string_view(target_) : label_; }

    void SetTextRect(const PixelRect& rect) { textRect_ = rect; }
    const PixelRect& textRect() const { return textRect_; }

    bool hovered() const { return hovered_; }
    bool captured() const { return captured_; }

    // The pointer moved to (x, y). True the first time since the last leave
    // notice: the window then asks for hover and leave notices.
    bool MouseMove(int x, int y);
    // The hand cursor shows over the text, and only when there is a target.
    bool ShowsHandAt(int x, int y) const;
    // Hover and leave notices; true when the look changed (redraw).
    bool Hover();
    bool Leave();
    // A press inside the text takes the focus and the mouse (true).
    bool LeftButtonDown(int x, int y);
    // A release after such a press gives the mouse back (the window checks
    // captured() first) and opens the target when still inside the text.
    // True when the target was handed to the shell.
    bool LeftButtonUp(int x, int y, Shell& shell);
    // Enter or Space while focused opens the target.
    bool Char(int character, Shell& shell);
    // Opens the target; a failure shows nothing. No target, nothing opened.
    bool Activate(Shell& shell);

private:
    std::string target_;
    std::string label_;
    PixelRect textRect_;
    bool hovered_ = false;
    bool tracking_ = false;
    bool captured_ = false;
};

}  // namespace qm
