#include "band/main_view_layout.h"

#include <algorithm>
#include <cstdlib>

namespace qm {

int RightInset(std::optional<int> browserFrameLeft, int viewLeft) {
    if (!browserFrameLeft) return 0;
    // Widened before subtracting: screen coordinates far apart must not
    // overflow into a small inset.
    const long long distance = std::llabs(static_cast<long long>(*browserFrameLeft) - viewLeft);
    const long long inset = distance - 30;
    return inset > 20 ? 0 : static_cast<int>(inset);
}

MainViewLayout LayOutMainView(int clientWidth, int clientHeight, int rightInset) {
    const int usableWidth = clientWidth - rightInset;
    MainViewLayout layout;
    layout.menuBar = {0, 0, usableWidth - kTabControlWidth, kMenuBarHeight};
    layout.lists = {0, kListsTop, usableWidth, clientHeight - kListsTop};
    layout.tabControl = {usableWidth - kTabControlWidth, 0, kTabControlWidth, kTabControlHeight};
    return layout;
}

ChannelColour BackgroundColour(ChannelColour buttonFace) {
    // Integer arithmetic gives the same truncation as multiplying by 1.07
    // in floating point, without its rounding doubts.
    const auto lighten = [](uint8_t channel) {
        return static_cast<uint8_t>(std::min(255, channel * 107 / 100));
    };
    return {lighten(buttonFace.red), lighten(buttonFace.green), lighten(buttonFace.blue)};
}

std::array<ViewLine, 3> BackgroundLines(int left, int top, int right, int bottom, int tabControlWidth) {
    return {{
        {{left, top}, {left, bottom}},
        {{right - 2, top}, {right - 2, bottom}},
        {{left, kMenuBarHeight}, {right - tabControlWidth, kMenuBarHeight}},
    }};
}

}  // namespace qm
