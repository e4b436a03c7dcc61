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

// Runs ApplySelect on a ten-row list that allows several selected rows.
std::string After(const ListSelection& current, int row, unsigned modifiers, bool* notify = nullptr) {
    const auto change = ApplySelect(current, row, 10, modifiers, true);
    if (!change) return "unchanged";
    if (notify) *notify = change->notify;
    return change->selection.ToString();
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

TEST(ApplySelect, PlainClickMakesTheOnlySelectedRow) {
    bool notify = false;
    EXPECT_EQ(After(Selected({1, 2, 3}, 1, 3), 5, 0, &notify), "active=5 anchor=5 selection=5");
    EXPECT_TRUE(notify);
    // A click on a row of a multiple selection narrows it to that row.
    EXPECT_EQ(After(Selected({1, 2, 3}, 1, 3), 2, 0, &notify), "active=2 anchor=2 selection=2");
    EXPECT_TRUE(notify);
}

TEST(ApplySelect, ReselectingTheOnlySelectedRowOnlyMovesTheFocusSilently) {
    bool notify = true;
    EXPECT_EQ(After(Selected({4}, 4, 4), 4, 0, &notify), "active=4 anchor=4 selection=4");
    EXPECT_FALSE(notify);
    // The focus had moved away with Control+arrows: it comes back, still silently.
    notify = true;
    EXPECT_EQ(After(Selected({4}, 4, 7), 4, 0, &notify), "active=4 anchor=4 selection=4");
    EXPECT_FALSE(notify);
}

TEST(ApplySelect, ControlClickOnASelectedRowUnselectsItSilently) {
    bool notify = true;
    EXPECT_EQ(After(Selected({4}, 4, 4), 4, kModifierControl, &notify), "active=4 anchor=4 selection=");
    EXPECT_FALSE(notify);
    notify = true;
    EXPECT_EQ(After(Selected({2, 4, 6}, 2, 6), 4, kModifierControl, &notify),
              "active=4 anchor=4 selection=2 6");
    EXPECT_FALSE(notify);
}

TEST(ApplySelect, ControlClickAddsARow) {
    bool notify = false;
    EXPECT_EQ(After(Selected({2}, 2, 2), 6, kModifierControl, &notify), "active=6 anchor=6 selection=2 6");
    EXPECT_TRUE(notify);
    // A single-selection list swaps the row instead.
    const auto single = ApplySelect(Selected({2}, 2, 2), 6, 10, kModifierControl, false);
    ASSERT_TRUE(single);
    EXPECT_EQ(single->selection.ToString(), "active=6 anchor=6 selection=6");
}

TEST(ApplySelect, ShiftSelectsFromTheAnchorAndKeepsIt) {
    bool notify = false;
    EXPECT_EQ(After(Selected({2}, 2, 2), 5, kModifierShift, &notify), "active=5 anchor=2 selection=2 3 4 5");
    EXPECT_TRUE(notify);
    // Backwards, and replacing what Control had added.
    EXPECT_EQ(After(Selected({2, 8}, 2, 8), 0, kModifierShift), "active=0 anchor=2 selection=0 1 2");
    // Without an anchor the row starts the range.
    EXPECT_EQ(After(Selected({}, -1, -1), 3, kModifierShift), "active=3 anchor=3 selection=3");
    // The same range again changes nothing the parent needs to hear.
    notify = true;
    EXPECT_EQ(After(Selected({2, 3, 4, 5}, 2, 5), 5, kModifierShift, &notify),
              "active=5 anchor=2 selection=2 3 4 5");
    EXPECT_FALSE(notify);
    // Shift wins over Control.
    EXPECT_EQ(After(Selected({2, 8}, 2, 8), 4, kModifierShift | kModifierControl),
              "active=4 anchor=2 selection=2 3 4");
}

TEST(ApplySelect, ShiftInASingleSelectionListSelectsOneRow) {
    const auto change = ApplySelect(Selected({2}, 2, 2), 5, 10, kModifierShift, false);
    ASSERT_TRUE(change);
    EXPECT_EQ(change->selection.ToString(), "active=5 anchor=5 selection=5");
}

TEST(ApplySelect, RowsOutOfRangeDoNothingAndMinusOneClears) {
    EXPECT_EQ(After(Selected({2}, 2, 2), 10, 0), "unchanged");
    EXPECT_EQ(After(Selected({2}, 2, 2), -2, 0), "unchanged");
    bool notify = true;
    EXPECT_EQ(After(Selected({2, 3}, 2, 3), -1, 0, &notify), "active=-1 anchor=-1 selection=");
    EXPECT_FALSE(notify);
    // A stale anchor beyond the rows is treated as unset.
    EXPECT_EQ(After(Selected({}, 40, -1), 3, kModifierShift), "active=3 anchor=3 selection=3");
}

}  // namespace
}  // namespace qm
