#include "widgets/tab_model.h"

#include <algorithm>
#include <climits>

namespace qm {

int TabModel::AddTab(std::string_view title, int position) {
    if (position < 0 || position > count() || count() >= INT_MAX / kFlatTabWidth) return -1;
    titles_.emplace_back(title);
    if (current_ < 0) current_ = 0;
    return 1;
}

bool TabModel::SetCurrent(int index) {
    if (index < 0 || index >= count()) return false;
    current_ = index;
    return true;
}

std::string_view TabModel::Title(int index) const {
    if (index < 0 || index >= count()) return {};
    return titles_[static_cast<std::size_t>(index)];
}

void TabModel::SetClientSize(int width, int height) {
    clientWidth_ = std::max(width, 0);
    clientHeight_ = std::max(height, 0);
}

int TabModel::HitTest(int x) const {
    if (x < 0) return -1;
    for (int index = 0; index < count(); ++index) {
        if (index * kFlatTabWidth <= x && x <= (index + 1) * kFlatTabWidth) return index;
    }
    return -1;
}

PixelRect TabModel::TabRect(int index) const {
    return PixelRect{index * kFlatTabWidth, 0, (index + 1) * kFlatTabWidth, clientHeight_};
}

PixelRect TabModel::StripRect() const {
    return PixelRect{0, 0, stripWidth(), clientHeight_};
}

std::optional<PixelRect> TabModel::SpaceRightOfStrip() const {
    if (clientWidth_ <= stripWidth()) return std::nullopt;
    return PixelRect{stripWidth(), 0, clientWidth_, clientHeight_};
}

bool TabModel::LeftButtonDown(int x, TabSink& sink) {
    const int tab = HitTest(x);
    if (tab < 0 || tab == current_) return false;
    if (sink.Notify(kTcnSelChanging) != 0) return false;
    current_ = tab;
    sink.Notify(kTcnSelChange);
    return true;
}

TabPlace PlaceOf(int index, int current) {
    if (index == current) return TabPlace::Current;
    return index < current ? TabPlace::LeftOfCurrent : TabPlace::RightOfCurrent;
}

std::vector<TabLine> TabOutline(const PixelRect& tab, TabPlace place) {
    const int left = tab.left;
    const int right = std::max(tab.right - 1, left);
    const int bottom = std::max(tab.bottom - 1, tab.top);
    const int base = std::max(tab.bottom - 3, tab.top);  // the bottom line of the tabs behind
    switch (place) {
        case TabPlace::LeftOfCurrent:
            return {{left, base, right, base}, {left, tab.top, left, base}, {left, tab.top, right, tab.top}};
        case TabPlace::RightOfCurrent: {
            const int side = std::max(tab.right - 2, left);
            return {{left, tab.top, right, tab.top}, {side, tab.top, side, base}, {left, base, right, base}};
        }
        case TabPlace::Current:
        default: {
            const int side = std::max(tab.right - 2, left);
            return {
                {left, tab.top, left, bottom}, {left, tab.top, side, tab.top}, {side, tab.top, side, bottom}};
        }
    }
}

FlatTabColors FlatTabColorsFor(ColorRef buttonFace) {
    return FlatTabColors{Lighten(buttonFace, 1.05), Darken(buttonFace, 0.95), Lighten(buttonFace, 1.07)};
}

}  // namespace qm
