#include "widgets/list_selection.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

ListSelection Selected(std::initializer_list<int> rows, int anchor, int active) {
    ListSelection selection;
    for (int row : rows) selection.Add(row);
    selection.SetAnchor(anchor);
    selection.SetActive(active);
    return selection;
}

TEST(ListSelection, PrintsActiveAnchorAndRows) {
    EXPECT_EQ(Selected({7, 2, 3, 4, 5, 6, 2}, 2, 7).ToString(), "active=7 anchor=2 selection=2 3 4 5 6 7");
    EXPECT_EQ(ListSelection().ToString(), "active=-1 anchor=-1 selection=");
}

TEST(ListSelection, FollowsItsRowsWhenARowIsRemoved) {
    ListSelection selection = Selected({1, 3, 5}, 3, 5);
    selection.RowRemoved(3);
    EXPECT_EQ(selection.ToString(), "active=4 anchor=-1 selection=1 4");
    selection.RowRemoved(0);
    EXPECT_EQ(selection.ToString(), "active=3 anchor=-1 selection=0 3");
    selection.RowRemoved(9);
    EXPECT_EQ(selection.ToString(), "active=3 anchor=-1 selection=0 3");
}

TEST(ListSelection, FollowsItsRowsWhenTheyAreReordered) {
    ListSelection selection = Selected({0, 2}, 0, 2);
    selection.Remap({3, 1, 0, 2});  // row 0 went to 3, row 2 to 0
    EXPECT_EQ(selection.ToString(), "active=0 anchor=3 selection=0 3");
    selection.Remap({-1, 0, 1, 2});  // row 0 went away
    EXPECT_EQ(selection.ToString(), "active=-1 anchor=2 selection=2");
}

TEST(ApplySelect, ClicksByModifierOnATenRowList) {
    constexpr unsigned kNone = 0, kCtrl = kModifierControl, kShift = kModifierShift;
    const struct {
        const char* name;
        ListSelection current;
        int row;
        unsigned modifiers;
        bool multiple;
        const char* after;  // nullptr: unchanged
        bool notify;
    } cases[] = {
        {"plain click", Selected({1, 2, 3}, 1, 3), 5, kNone, true, "active=5 anchor=5 selection=5", true},
        {"plain click in a selection narrows it", Selected({1, 2, 3}, 1, 3), 2, kNone, true,
         "active=2 anchor=2 selection=2", true},
        {"reselecting the only row", Selected({4}, 4, 4), 4, kNone, true, "active=4 anchor=4 selection=4",
         false},
        {"reselecting brings the focus back", Selected({4}, 4, 7), 4, kNone, true,
         "active=4 anchor=4 selection=4", false},
        {"control unselects the only row", Selected({4}, 4, 4), 4, kCtrl, true,
         "active=4 anchor=4 selection=", false},
        {"control unselects one of several", Selected({2, 4, 6}, 2, 6), 4, kCtrl, true,
         "active=4 anchor=4 selection=2 6", false},
        {"control adds a row", Selected({2}, 2, 2), 6, kCtrl, true, "active=6 anchor=6 selection=2 6", true},
        {"control in a single selection swaps", Selected({2}, 2, 2), 6, kCtrl, false,
         "active=6 anchor=6 selection=6", true},
        {"shift from the anchor", Selected({2}, 2, 2), 5, kShift, true, "active=5 anchor=2 selection=2 3 4 5",
         true},
        {"shift backwards replaces what control added", Selected({2, 8}, 2, 8), 0, kShift, true,
         "active=0 anchor=2 selection=0 1 2", true},
        {"shift without an anchor", Selected({}, -1, -1), 3, kShift, true, "active=3 anchor=3 selection=3",
         true},
        {"shift over the same range", Selected({2, 3, 4, 5}, 2, 5), 5, kShift, true,
         "active=5 anchor=2 selection=2 3 4 5", false},
        {"shift wins over control", Selected({2, 8}, 2, 8), 4, kShift | kCtrl, true,
         "active=4 anchor=2 selection=2 3 4", true},
        {"shift in a single selection", Selected({2}, 2, 2), 5, kShift, false,
         "active=5 anchor=5 selection=5", true},
        {"a stale anchor counts as unset", Selected({}, 40, -1), 3, kShift, true,
         "active=3 anchor=3 selection=3", true},
        {"past the last row", Selected({2}, 2, 2), 10, kNone, true, nullptr, false},
        {"below minus one", Selected({2}, 2, 2), -2, kNone, true, nullptr, false},
        {"minus one clears", Selected({2, 3}, 2, 3), -1, kNone, true,
         "active=-1 anchor=-1 selection=", false},
    };
    for (const auto& c : cases) {
        const auto change = ApplySelect(c.current, c.row, 10, c.modifiers, c.multiple);
        if (!c.after) {
            EXPECT_FALSE(change) << c.name;
            continue;
        }
        ASSERT_TRUE(change) << c.name;
        EXPECT_EQ(change->selection.ToString(), c.after) << c.name;
        EXPECT_EQ(change->notify, c.notify) << c.name;
    }
}

}  // namespace
}  // namespace qm
