// The flat tab strip ("QMFlatTabCtrl") without its window: the titles, the
// current tab, the hit test, the parent's veto on a change, and where the
// tabs and their outlines lie. Every tab is 70 pixels wide whatever the
// window's width; the strip is as wide as its tabs.
//
// The parent hears of a change through a TabSink (the window, which sends
// WM_NOTIFY with the codes of the system tab control and returns the
// parent's answer).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "widgets/colors.h"
#include "widgets/pixel_rect.h"

namespace qm {

// The system tab control's notification codes. (The platform headers
// define the plain names as macros, hence the k prefix.)
inline constexpr int kTcnSelChange = -551;
inline constexpr int kTcnSelChanging = -552;

inline constexpr int kFlatTabWidth = 70;
// Titles start this far below a tab's top.
inline constexpr int kFlatTabTitleTop = 5;
// The window style bit that asks for the tooltip.
inline constexpr uint32_t kFlatTabTooltipStyle = 0x4000;
inline constexpr std::string_view kFlatTabTooltipText = "Flat Tab Tool Tip";

class TabSink {
public:
    virtual ~TabSink() = default;
    // Tells the parent; returns its answer (nonzero to TCN_SELCHANGING vetoes).
    virtual intptr_t Notify(int code) = 0;
};

class TabModel {
public:
    // Accepted for a position from 0 to the tab count, though the title
    // always goes at the end; returns 1, or -1 for any other position. The
    // first tab becomes current.
    int AddTab(std::string_view title, int position);
    int count() const { return static_cast<int>(titles_.size()); }
    // -1 while there are no tabs.
    int current() const { return current_; }
    // Makes `index` the current tab as the owner's own choice: no
    // notification goes to the parent. False (and nothing changed) for an
    // index that names no tab.
    bool SetCurrent(int index);
    std::string_view Title(int index) const;

    void SetClientSize(int width, int height);
    int clientWidth() const { return clientWidth_; }
    int clientHeight() const { return clientHeight_; }
    int tabWidth() const { return kFlatTabWidth; }
    int stripWidth() const { return count() * kFlatTabWidth; }

    // The tab under x: the first i with i*70 <= x <= (i+1)*70, so a border
    // belongs to the tab on its left; -1 left of the strip or right of the
    // last tab.
    int HitTest(int x) const;
    PixelRect TabRect(int index) const;
    // What a change of tabs invalidates: the strip (not erased) and the
    // space to its right (erased), when there is any.
    PixelRect StripRect() const;
    std::optional<PixelRect> SpaceRightOfStrip() const;

    // A left press at x: nothing on no tab or the current one; otherwise
    // TCN_SELCHANGING, and unless the parent answers nonzero the tab becomes
    // current and TCN_SELCHANGE follows. True when the current tab changed
    // (the strip needs painting).
    bool LeftButtonDown(int x, TabSink& sink);

private:
    std::vector<std::string> titles_;
    int current_ = -1;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
};

// ---- look ----

// One line of a tab's outline, both end points drawn.
struct TabLine {
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;

    friend constexpr bool operator==(const TabLine&, const TabLine&) = default;
};

enum class TabPlace { LeftOfCurrent, Current, RightOfCurrent };

TabPlace PlaceOf(int index, int current);
// A tab left of the current one is outlined along its bottom (3 pixels
// above the edge), its left side and its top; one right of it along its
// top, its right side (2 pixels in) and its bottom; the current tab on its
// left, top and right, open at the bottom so it reads as the front tab.
std::vector<TabLine> TabOutline(const PixelRect& tab, TabPlace place);

struct FlatTabColors {
    ColorRef gradientTop;     // button face at 105 %
    ColorRef gradientBottom;  // button face at 95 %
    ColorRef currentFill;     // button face at 107 %
};

FlatTabColors FlatTabColorsFor(ColorRef buttonFace);

}  // namespace qm
