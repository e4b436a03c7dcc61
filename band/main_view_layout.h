// Geometry and colour of the main view: where its children go inside the
// client area, how far they stay off the right edge, and the colour and
// lines of its background. Pure arithmetic; the window only applies it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace qm {

struct ViewRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    friend constexpr bool operator==(const ViewRect&, const ViewRect&) = default;
};

// The right inset keeps the children clear of the browser frame's edge.
// With the browser unknown (no frame left edge) it is 0. Otherwise it is the
// distance between the frame's and the view's left edges less 30; above 20
// it is 0, and a negative inset is kept, which widens the children.
int RightInset(std::optional<int> browserFrameLeft, int viewLeft);

struct MainViewLayout {
    ViewRect menuBar;
    ViewRect lists;  // each of the three lists, visible or not
    ViewRect tabControl;
};

inline constexpr int kMenuBarHeight = 21;
inline constexpr int kListsTop = 25;
inline constexpr int kTabControlWidth = 210;
inline constexpr int kTabControlHeight = 22;

MainViewLayout LayOutMainView(int clientWidth, int clientHeight, int rightInset);

struct ChannelColour {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;

    friend constexpr bool operator==(const ChannelColour&, const ChannelColour&) = default;
};

// The view's background: the button face lightened by 7 % per channel,
// truncated, and capped at full intensity.
ChannelColour BackgroundColour(ChannelColour buttonFace);

struct ViewPoint {
    int x = 0;
    int y = 0;

    friend constexpr bool operator==(const ViewPoint&, const ViewPoint&) = default;
};

struct ViewLine {
    ViewPoint from;
    ViewPoint to;

    friend constexpr bool operator==(const ViewLine&, const ViewLine&) = default;
};

// The three shadow lines over the background, for a client rectangle given
// by its edges (right and bottom exclusive, as the platform's RECT): the
// left edge, a line two pixels in from the right edge, and the line under
// the menu bar that stops where the tab control begins.
std::array<ViewLine, 3> BackgroundLines(int left, int top, int right, int bottom, int tabControlWidth);

}  // namespace qm
