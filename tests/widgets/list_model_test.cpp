#include "widgets/list_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/memory/memory_platform.h"

namespace qm {
namespace {

std::string CodeName(int code) {
    switch (code) {
        case LISTNOTE_SELECTION:
            return "SELECTION";
        case LISTNOTE_CLICK:
            return "CLICK";
        case LISTNOTE_CONTEXT:
            return "CONTEXT";
        case LISTNOTE_ACTIVATE:
            return "ACTIVATE";
        case LISTNOTE_EDITDONE:
            return "EDITDONE";
        case LISTNOTE_VALUECHANGED:
            return "VALUECHANGED";
        case LISTNOTE_LINKCLICK:
            return "LINKCLICK";
        default:
            return std::to_string(code);
    }
}

// Logs every notification as "NAME row column", and checks that the list
// never fills the fields that belong to the editor.
class RecordingSink final : public ListSink {
public:
    void Notify(const ListNotify& notify) override {
        EXPECT_EQ(notify.key, 0);
        EXPECT_TRUE(notify.text.empty());
        EXPECT_EQ(notify.date, nullptr);
        log.push_back(CodeName(notify.code) + " " + std::to_string(notify.row) + " " +
                      std::to_string(notify.column));
        if (onNotify) onNotify(notify);
    }
    // The log so far, emptied.
    std::vector<std::string> Take() { return std::exchange(log, {}); }

    std::vector<std::string> log;
    std::function<void(const ListNotify&)> onNotify;
};

using Log = std::vector<std::string>;

class ListModelTest : public ::testing::Test {
protected:
    ListModelTest() { list.SetSink(&sink); }

    // One text column; each row's item is its index at creation.
    void FillTexts(std::initializer_list<std::string_view> texts, std::string_view title = "Title") {
        if (list.ColumnCount() == 0) list.AddColumn(title, 100);
        for (std::string_view text : texts) {
            const int row = list.AddRow(text);
            list.SetRowItem(row, static_cast<uint64_t>(row));
        }
    }
    void FillRows(int count) {
        list.AddColumn("Title", 100);
        list.AddColumn("URL", 100);
        for (int row = 0; row < count; ++row) {
            list.AddRow("row " + std::to_string(row));
            list.SetRowItem(row, static_cast<uint64_t>(row));
        }
    }
    std::vector<uint64_t> Items() const {
        std::vector<uint64_t> items;
        for (int row = 0; row < list.RowCount(); ++row) items.push_back(list.GetRow(row)->item);
        return items;
    }
    std::vector<std::string> Texts(int column = 0) const {
        std::vector<std::string> texts;
        for (int row = 0; row < list.RowCount(); ++row) texts.emplace_back(list.GetCellText(row, column));
        return texts;
    }
    // Types a letter key, then lets `pause` milliseconds pass.
    ListKeyResult Type(char letter, uint32_t pause = 100) {
        const ListKeyResult result = list.KeyDown(letter, 0, 10);
        clock.Advance(pause);
        return result;
    }
    std::string FocusText() const { return std::string(list.GetCellText(list.selection().active(), 0)); }

    MemoryClock clock;
    RecordingSink sink;
    ListModel list{clock};
};

// ---- sorting ----

TEST_F(ListModelTest, SecondHeaderClickReversesTheRowsExactly) {
    // Many equal keys: a re-sort could put them in any order, a reversal may not.
    FillTexts({"b", "a", "b", "c", "a", "b", "a", "c", "b", "a"});
    ASSERT_TRUE(list.HeaderClick(0));
    EXPECT_EQ(Texts(), (std::vector<std::string>{"a", "a", "a", "a", "b", "b", "b", "b", "c", "c"}));
    EXPECT_EQ(list.SortGlyph(0), 1);
    const std::vector<uint64_t> ascending = Items();

    ASSERT_TRUE(list.HeaderClick(0));
    std::vector<uint64_t> reversed(ascending.rbegin(), ascending.rend());
    EXPECT_EQ(Items(), reversed);
    EXPECT_FALSE(list.ascending());
    EXPECT_EQ(list.SortGlyph(0), 0);

    ASSERT_TRUE(list.HeaderClick(0));
    EXPECT_EQ(Items(), ascending);
    EXPECT_TRUE(sink.log.empty());
}

TEST_F(ListModelTest, LastVisitedSortsByDateEvenWhenTheTextsAreAlike) {
    list.AddColumn("Title", 100);
    list.AddColumn("Last Visited", 100);
    const uint64_t day = 864'000'000'000ull;
    // Same date text, different times of day; the texts alone would keep this order.
    const struct {
        const char* title;
        const char* text;
        uint64_t ticks;
    } rows[] = {{"evening", "19.04.2019", 132'000'000'000'000'000ull + day / 2},
                {"morning", "19.04.2019", 132'000'000'000'000'000ull},
                {"zero", "unknown", 0},
                {"noon", "19.04.2019", 132'000'000'000'000'000ull + day / 4},
                {"earlier", "20.01.2019", 131'900'000'000'000'000ull}};
    for (const auto& row : rows) {
        const int index = list.AddRow(row.title);
        list.SetCellText(index, 1, row.text);
        list.SetCellDate(index, 1, FileTime{row.ticks});
    }
    list.HeaderClick(1);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"zero", "earlier", "morning", "noon", "evening"}));
}

TEST_F(ListModelTest, DateColumnsAreKnownByTheirTitle) {
    EXPECT_TRUE(ListModel::IsDateColumnTitle("Last Visited"));
    EXPECT_TRUE(ListModel::IsDateColumnTitle("Last Updated"));
    EXPECT_TRUE(ListModel::IsDateColumnTitle("Expires"));
    EXPECT_FALSE(ListModel::IsDateColumnTitle("last visited"));  // case matters
    EXPECT_FALSE(ListModel::IsDateColumnTitle("URL"));

    // "Expires" sorts by date even though its texts would sort the other way.
    list.AddColumn("Expires", 100);
    list.AddRow("a");
    list.SetCellDate(0, 0, FileTime{200});
    list.AddRow("b");
    list.SetCellDate(1, 0, FileTime{100});
    list.HeaderClick(0);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"b", "a"}));
}

TEST_F(ListModelTest, TextColumnsSortByteWiseWithCase) {
    FillTexts({"a.example.com", "B.example.com", "\xE9t\xE9.example.com", "Z.example.com", "", "ab"}, "URL");
    list.HeaderClick(0);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"", "B.example.com", "Z.example.com", "a.example.com", "ab",
                                                 "\xE9t\xE9.example.com"}));
}

TEST_F(ListModelTest, TextSortAgreesWithPlainByteOrderOnAwkwardTexts) {
    // Long shared prefixes, texts that end inside or right after them,
    // embedded NULs and high bytes: the order must be exactly std::string's.
    list.AddColumn("URL", 100);
    std::vector<std::string> texts = {"http://www.", "http://www.example", std::string("http://www.\0", 12),
                                      "http://www.\xE9", "http://www.example.com/a"};
    uint32_t seed = 12345;
    const std::string alphabet("aAbB\x00\x7F\x80\xFFz.", 10);
    for (int extra = 0; extra < 400; ++extra) {
        std::string text = "http://www.example";
        seed = seed * 1103515245u + 12345u;
        const int length = static_cast<int>((seed >> 16) % 14);
        for (int at = 0; at < length; ++at) {
            seed = seed * 1103515245u + 12345u;
            text += alphabet[(seed >> 16) % alphabet.size()];
        }
        texts.push_back(text);
    }
    for (const std::string& text : texts) list.AddRow(text);
    list.HeaderClick(0);
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(Texts(), texts);
}

TEST_F(ListModelTest, HeaderClickNeedsAShownSortableHeader) {
    FillTexts({"b", "a"});
    ListOptions options;
    options.sortableHeaders = false;
    list.SetOptions(options);
    EXPECT_FALSE(list.HeaderClick(0));
    options.sortableHeaders = true;
    options.headerShown = false;
    list.SetOptions(options);
    EXPECT_FALSE(list.HeaderClick(0));
    EXPECT_EQ(Texts(), (std::vector<std::string>{"b", "a"}));
    EXPECT_EQ(list.sortColumn(), -1);
    list.SetOptions(ListOptions{});
    EXPECT_FALSE(list.HeaderClick(1));
    EXPECT_FALSE(list.HeaderClick(-1));
}

TEST_F(ListModelTest, SelectionAndFocusStayOnTheirRecordsThroughSorting) {
    FillTexts({"d", "b", "a", "c"});
    list.Select(0, 0, 0);                 // "d"
    list.Select(2, 0, kModifierControl);  // "a", focused
    sink.Take();
    list.HeaderClick(0);
    EXPECT_EQ(list.selection().ToString(), "active=0 anchor=0 selection=0 3");
    EXPECT_EQ(list.GetCellText(list.SelectedRow(), 0), "a");
    list.HeaderClick(0);
    EXPECT_EQ(list.selection().ToString(), "active=3 anchor=3 selection=0 3");
    EXPECT_EQ(list.GetCellText(list.SelectedRow(), 0), "a");
    EXPECT_TRUE(sink.log.empty());
}

TEST_F(ListModelTest, RowsAddedAfterASortAreAppended) {
    FillTexts({"c", "a"});
    list.HeaderClick(0);
    list.AddRow("b");
    EXPECT_EQ(Texts(), (std::vector<std::string>{"a", "c", "b"}));
}

TEST_F(ListModelTest, SortColumnOutlivesARebuiltHeader) {
    // A refresh clicks the first header of an empty list, rebuilds the
    // columns, and clicks again: the second refresh turns the order round.
    list.AddColumn("File", 100);
    EXPECT_TRUE(list.HeaderClick(0));
    EXPECT_TRUE(list.ascending());
    list.DeleteAllRows();
    list.DeleteAllColumns();
    list.AddColumn("File", 100);
    EXPECT_TRUE(list.HeaderClick(0));
    EXPECT_FALSE(list.ascending());
}

TEST_F(ListModelTest, SortMarkOnlyInWideColumnsThatAreNotFixed) {
    list.AddColumn("Wide", 100);
    list.AddColumn("Narrow", 15);
    list.AddColumn("Fixed", 100, -1, true);
    EXPECT_EQ(list.SortGlyph(0), -1);  // no sort yet
    for (int column = 0; column < 3; ++column) {
        list.HeaderClick(column);
        EXPECT_EQ(list.SortGlyph(column), column == 0 ? 1 : -1) << column;
    }
    EXPECT_EQ(list.SortGlyph(0), -1);  // not the sort column any more
}

// ---- selection by mouse ----

TEST_F(ListModelTest, ReselectingTheOnlySelectedRowSendsNoSelectionNotification) {
    FillRows(5);
    list.LeftButtonDown(3, 1, 0);
    list.LeftButtonUp(3, 1, 0, false);
    EXPECT_EQ(sink.Take(), (Log{"SELECTION 3 1", "CLICK 3 1"}));
    list.LeftButtonDown(3, 1, 0);
    list.LeftButtonUp(3, 1, 0, false);
    EXPECT_EQ(sink.Take(), (Log{"CLICK 3 1"}));
    list.Select(3, 1, 0);
    EXPECT_TRUE(sink.log.empty());
}

TEST_F(ListModelTest, RightClickInsideAMultipleSelectionKeepsIt) {
    FillRows(6);
    list.LeftButtonDown(1, 0, 0);
    list.LeftButtonDown(3, 0, kModifierShift);
    sink.Take();
    list.RightButtonDown(2, 1, 0);
    list.RightButtonUp(2, 1);
    EXPECT_EQ(sink.Take(), (Log{"CONTEXT 2 1"}));
    EXPECT_EQ(list.selection().ToString(), "active=3 anchor=1 selection=1 2 3");
}

TEST_F(ListModelTest, RightClickOnAnUnselectedRowSelectsItFirst) {
    FillRows(6);
    list.LeftButtonDown(1, 0, 0);
    sink.Take();
    list.RightButtonDown(4, 0, 0);
    list.RightButtonUp(4, 0);
    EXPECT_EQ(sink.Take(), (Log{"SELECTION 4 0", "CONTEXT 4 0"}));
    list.RightButtonUp(-1, -1);
    list.RightButtonUp(9, 0);  // past the last row counts as empty space
    EXPECT_EQ(sink.Take(), (Log{"CONTEXT -1 -1", "CONTEXT -1 -1"}));
}

TEST_F(ListModelTest, PressInsideAMultipleSelectionKeepsItUntilTheRelease) {
    FillRows(6);
    list.LeftButtonDown(1, 0, 0);
    list.LeftButtonDown(4, 0, kModifierShift);
    sink.Take();
    list.LeftButtonDown(2, 0, 0);
    EXPECT_EQ(list.selection().rows(), (std::vector<int>{1, 2, 3, 4}));
    list.LeftButtonUp(2, 0, 0, false);
    EXPECT_EQ(sink.Take(), (Log{"SELECTION 2 0", "CLICK 2 0"}));
    EXPECT_EQ(list.selection().ToString(), "active=2 anchor=2 selection=2");

    // After a rectangle drag, or with a modifier, the release keeps the rows.
    list.LeftButtonDown(4, 0, kModifierShift);
    list.LeftButtonUp(3, 0, 0, true);
    list.LeftButtonUp(3, 0, kModifierControl, false);
    EXPECT_EQ(list.selection().rows(), (std::vector<int>{2, 3, 4}));
}

TEST_F(ListModelTest, PressOnEmptySpaceStartsTheNextRangeAfresh) {
    FillRows(6);
    list.LeftButtonDown(1, 0, 0);
    list.LeftButtonDown(-1, -1, 0);
    list.LeftButtonUp(-1, -1, 0, false);
    EXPECT_EQ(sink.Take(), (Log{"SELECTION 1 0", "CLICK -1 -1"}));
    list.LeftButtonDown(4, 0, kModifierShift);
    EXPECT_EQ(list.selection().ToString(), "active=4 anchor=4 selection=4");
}

TEST_F(ListModelTest, FocusColumnIsClearedWhileSeveralRowsAreSelected) {
    FillRows(4);
    list.LeftButtonDown(0, 1, 0);
    list.LeftButtonDown(2, 1, kModifierControl);
    EXPECT_EQ(sink.Take(), (Log{"SELECTION 0 1", "SELECTION 2 -1"}));
    EXPECT_EQ(list.focusColumn(), -1);
    list.Select(1, 7, 0);  // an unknown column counts as none
    EXPECT_EQ(sink.Take(), (Log{"SELECTION 1 -1"}));
}

TEST_F(ListModelTest, SelectedRowIsTheFocusWhenSelectedElseTheLowest) {
    FillRows(6);
    EXPECT_EQ(list.SelectedRow(), -1);
    list.Select(4, 0, 0);
    list.Select(1, 0, kModifierControl);
    EXPECT_EQ(list.SelectedRow(), 1);
    list.KeyDown(kListKeyDown, kModifierControl, 10);  // focus to 2, not selected
    EXPECT_EQ(list.selection().active(), 2);
    EXPECT_EQ(list.SelectedRow(), 1);
    list.Select(1, 0, kModifierControl);  // unselects 1; focus stays on it
    EXPECT_EQ(list.SelectedRow(), 4);
    EXPECT_EQ(list.SelectedRows(), (std::vector<int>{4}));
}

TEST_F(ListModelTest, SelectionRectangleSelectsTheRowsItCovers) {
    FillRows(8);
    list.Select(0, 0, 0);
    const ListSelection atStart = list.selection();
    sink.Take();
    list.SelectRectangle(atStart, 2, 4, 0);
    EXPECT_EQ(list.selection().ToString(), "active=4 anchor=2 selection=2 3 4");
    list.SelectRectangle(atStart, 2, 4, 0);  // the pointer moved within the same rows
    list.SelectRectangle(atStart, 5, 3, kModifierControl);
    EXPECT_EQ(list.selection().ToString(), "active=3 anchor=5 selection=0 3 4 5");
    EXPECT_EQ(sink.Take(), (Log{"SELECTION 4 -1", "SELECTION 3 -1"}));
}

// ---- check boxes and links ----

TEST_F(ListModelTest, CheckBoxesToggleAndThreeStateBoxesCycle) {
    list.AddColumn("Name", 100);
    list.AddColumn("On", 20);
    list.AddRow("two states");
    list.SetCellFormat(0, 1, kListCellCheckBox, 0);
    list.SetCellText(0, 1, "0");
    list.AddRow("three states");
    list.SetCellFormat(1, 1, kListCellThreeState, 0);
    list.SetCellText(1, 1, "0");

    std::vector<std::string> seen;
    for (int click = 0; click < 3; ++click) {
        list.LeftButtonDown(0, 1, 0);
        seen.emplace_back(list.GetCellText(0, 1));
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"1", "0", "1"}));
    seen.clear();
    for (int click = 0; click < 4; ++click) {
        list.LeftButtonDown(1, 1, 0);
        seen.emplace_back(list.GetCellText(1, 1));
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"1", "-1", "0", "1"}));
    const Log log = sink.Take();
    EXPECT_EQ(std::count(log.begin(), log.end(), "VALUECHANGED 0 1"), 3);
    EXPECT_EQ(std::count(log.begin(), log.end(), "VALUECHANGED 1 1"), 4);

    // Space toggles the focused cell; a disabled box never changes.
    list.KeyDown(kListKeySpace, 0, 10);
    EXPECT_EQ(list.GetCellText(1, 1), "-1");
    list.SetCellFormat(1, 1, kListCellThreeState, kListCellDisabled);
    list.LeftButtonDown(1, 1, 0);
    EXPECT_FALSE(list.KeyDown(kListKeySpace, 0, 10).handled);
    EXPECT_EQ(list.GetCellText(1, 1), "-1");
    EXPECT_EQ(sink.Take(), (Log{"VALUECHANGED 1 1"}));
}

TEST_F(ListModelTest, HyperlinkPressSelectsThenReportsTheLink) {
    FillRows(3);
    list.SetCellFormat(1, 1, kListCellHyperlink, 0);
    list.SetCellFormat(2, 1, kListCellHyperlink, kListCellDisabled);
    list.LeftButtonDown(1, 1, 0);
    EXPECT_EQ(sink.Take(), (Log{"SELECTION 1 1", "LINKCLICK 1 1"}));
    list.LeftButtonDown(1, 0, 0);  // same row, plain cell
    list.LeftButtonDown(2, 1, 0);  // disabled link
    EXPECT_EQ(sink.Take(), (Log{"SELECTION 2 1"}));

    EXPECT_TRUE(list.SetHotCell(1, 1));
    EXPECT_FALSE(list.SetHotCell(1, 1));
    EXPECT_TRUE(list.SetHotCell(2, 1));  // a disabled link is never hot
    EXPECT_EQ(list.hotRow(), -1);
    EXPECT_FALSE(list.SetHotCell(0, 0));
}

TEST_F(ListModelTest, ParentMayEmptyTheListWhileHearingOfASelection) {
    FillRows(3);
    list.SetCellFormat(2, 1, kListCellHyperlink, 0);
    sink.onNotify = [this](const ListNotify& notify) {
        if (notify.code == LISTNOTE_SELECTION) list.DeleteAllRows();
    };
    list.LeftButtonDown(2, 1, 0);
    EXPECT_EQ(sink.Take(), (Log{"SELECTION 2 1"}));
    EXPECT_EQ(list.RowCount(), 0);
    EXPECT_EQ(list.selection().ToString(), "active=-1 anchor=-1 selection=");
}

// ---- keyboard ----

TEST_F(ListModelTest, ArrowKeysMoveTheSelectionAndShiftExtendsIt) {
    FillRows(30);
    ListKeyResult result = list.KeyDown(kListKeyDown, 0, 10);
    EXPECT_EQ(result.rowToShow, 0);
    list.KeyDown(kListKeyDown, 0, 10);
    list.KeyDown(kListKeyDown, kModifierShift, 10);
    list.KeyDown(kListKeyDown, kModifierShift, 10);
    EXPECT_EQ(list.selection().ToString(), "active=3 anchor=1 selection=1 2 3");
    EXPECT_EQ(sink.Take(), (Log{"SELECTION 0 -1", "SELECTION 1 -1", "SELECTION 2 -1", "SELECTION 3 -1"}));

    // Control moves only the focus, silently.
    result = list.KeyDown(kListKeyDown, kModifierControl, 10);
    EXPECT_EQ(result.rowToShow, 4);
    EXPECT_EQ(list.selection().ToString(), "active=4 anchor=1 selection=1 2 3");
    EXPECT_TRUE(sink.log.empty());

    list.KeyDown(kListKeyPageDown, 0, 10);  // nine rows on
    EXPECT_EQ(list.selection().ToString(), "active=13 anchor=13 selection=13");
    list.KeyDown(kListKeyPageUp, 0, 10);
    list.KeyDown(kListKeyPageUp, 0, 10);
    EXPECT_EQ(list.selection().active(), 0);
    list.KeyDown(kListKeyEnd, 0, 10);
    EXPECT_EQ(list.selection().active(), 29);
    sink.Take();
    // At the end, Down stays and says nothing.
    result = list.KeyDown(kListKeyDown, 0, 10);
    EXPECT_EQ(result.rowToShow, 29);
    EXPECT_TRUE(sink.log.empty());
    list.KeyDown(kListKeyHome, kModifierShift, 10);
    EXPECT_EQ(list.selection().size(), 30u);
}

TEST_F(ListModelTest, LeftAndRightScrollSidewaysAndKeepTheSelection) {
    FillRows(3);
    list.Select(1, 0, 0);
    EXPECT_EQ(list.KeyDown(kListKeyRight, 0, 10).scrollXBy, 5);
    EXPECT_EQ(list.KeyDown(kListKeyLeft, 0, 10).scrollXBy, -5);
    EXPECT_EQ(list.KeyDown(kListKeyRight, kModifierControl, 10).scrollXBy, 50);
    EXPECT_EQ(list.selection().ToString(), "active=1 anchor=1 selection=1");
    EXPECT_FALSE(list.KeyDown(kListKeyTab, 0, 10).handled);
}

TEST_F(ListModelTest, CellFocusModeMovesTheFocusColumnInHeaderOrder) {
    ListOptions options;
    options.cellFocus = true;
    list.SetOptions(options);
    FillRows(2);
    list.AddColumn("Third", 50);
    list.MoveColumn(2, 0);  // header order: Third, Title, URL
    list.Select(0, 2, 0);
    list.KeyDown(kListKeyRight, 0, 10);
    EXPECT_EQ(list.focusColumn(), 0);
    list.KeyDown(kListKeyTab, 0, 10);
    EXPECT_EQ(list.focusColumn(), 1);
    list.KeyDown(kListKeyRight, 0, 10);  // already the last
    EXPECT_EQ(list.focusColumn(), 1);
    list.KeyDown(kListKeyTab, kModifierShift, 10);
    list.KeyDown(kListKeyLeft, 0, 10);
    EXPECT_EQ(list.focusColumn(), 2);
}

TEST_F(ListModelTest, ControlASelectsEveryRowSilently) {
    FillRows(5);
    list.Select(2, 0, 0);
    sink.Take();
    EXPECT_TRUE(list.KeyDown('A', kModifierControl, 10).handled);
    EXPECT_EQ(list.selection().ToString(), "active=2 anchor=2 selection=0 1 2 3 4");
    EXPECT_TRUE(sink.log.empty());

    ListOptions single;
    single.singleSelection = true;
    list.SetOptions(single);
    list.Select(3, 0, 0);
    list.KeyDown('A', kModifierControl, 10);
    EXPECT_EQ(list.selection().rows(), (std::vector<int>{3}));
}

// ---- type-ahead ----

TEST_F(ListModelTest, TypingMThenIQuicklyFindsTheFirstRowStartingWithMiInAnyCase) {
    FillTexts({"mile", "Apple", "Melon", "mIcro", "Mango", "amid"});
    list.HeaderClick(0);  // Apple, Mango, Melon, amid, mIcro, mile
    Type('M', 799);
    EXPECT_EQ(FocusText(), "Mango");
    const ListKeyResult result = Type('I');
    EXPECT_EQ(FocusText(), "mIcro");
    EXPECT_EQ(result.rowToShow, 4);
    EXPECT_EQ(list.typedText(), "MI");
    EXPECT_EQ(sink.Take(), (Log{"SELECTION 1 0", "SELECTION 4 0"}));
}

TEST_F(ListModelTest, ATypedKeyAfter800msStartsANewSearchFromTheTop) {
    FillTexts({"Mango", "Ice", "Mist", "Iron"});
    list.HeaderClick(0);  // Ice, Iron, Mango, Mist
    Type('M', 800);
    Type('I');
    EXPECT_EQ(FocusText(), "Ice");
    EXPECT_EQ(list.typedText(), "I");
}

TEST_F(ListModelTest, RetypingTheFirstLetterStepsThroughItsRows) {
    FillTexts({"Banana", "Berry", "Apple", "Bean"});
    list.HeaderClick(0);  // Apple, Banana, Bean, Berry
    Type('B');
    EXPECT_EQ(FocusText(), "Banana");
    Type('B', 2000);  // quickly after the first
    EXPECT_EQ(FocusText(), "Bean");
    Type('B');  // after a pause: continues after the focus too
    EXPECT_EQ(FocusText(), "Berry");
    Type('B');
    EXPECT_EQ(FocusText(), "Banana");  // wrapped round
    EXPECT_EQ(list.typedText(), "B");
}

TEST_F(ListModelTest, AFocusRowThatStillMatchesStaysPut) {
    FillTexts({"Mist", "Mint", "Minor"});
    list.HeaderClick(0);  // Minor, Mint, Mist
    Type('M');
    Type('I');
    EXPECT_EQ(FocusText(), "Minor");
    Type('S');
    EXPECT_EQ(FocusText(), "Mist");
    EXPECT_EQ(sink.Take(), (Log{"SELECTION 0 0", "SELECTION 2 0"}));
}

TEST_F(ListModelTest, TypingSearchesTheSortColumnAndNothingBeforeASort) {
    list.AddColumn("Title", 100);
    list.AddColumn("URL", 100);
    list.AddRow("Zeta");
    list.SetCellText(0, 1, "alpha.example");
    list.AddRow("Alpha");
    list.SetCellText(1, 1, "zeta.example");
    Type('A', 1000);
    EXPECT_EQ(list.selection().active(), -1);
    list.HeaderClick(1);
    Type('Z', 1000);
    EXPECT_EQ(list.GetCellText(list.selection().active(), 0), "Alpha");
    Type('Q', 1000);  // nothing starts with Q: the selection stays
    EXPECT_EQ(list.GetCellText(list.selection().active(), 0), "Alpha");
}

TEST_F(ListModelTest, TypeAheadTimingSurvivesTheTickWrapping) {
    FillTexts({"Mango", "Mile", "Ice"});
    list.HeaderClick(0);
    clock.SetTick(0xFFFF'FF00u);
    Type('M', 0x200);  // the tick wraps round to 0x100
    Type('I');
    EXPECT_EQ(FocusText(), "Mile");
}

// ---- columns and rows ----

TEST_F(ListModelTest, PictureOnlyHeaderIsAsWideAsItsPicture) {
    list.SetRowImageWidth(16);
    const int column = list.AddColumn("", 300, 3);
    EXPECT_EQ(list.GetColumn(column)->width, 21);
    EXPECT_EQ(list.GetColumn(column)->format & kListAlignCenter, kListAlignCenter);
    EXPECT_EQ(list.GetColumn(list.AddColumn("", 40))->width, 40);  // no picture: as asked
}

TEST_F(ListModelTest, AddRowFillsEveryCellAndLaterColumnsReachOldRows) {
    EXPECT_EQ(list.AddRow("nowhere to go"), -1);
    list.AddColumn("Title", 100);
    list.AddColumn("URL", 100);
    EXPECT_EQ(list.AddRow("first", 0, kListCellHyperlink, kListAlignRight), 0);
    const ListCell* first = list.GetCell(0, 0);
    const ListCell* second = list.GetCell(0, 1);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->text, "first");
    EXPECT_EQ(first->image, 0);
    EXPECT_EQ(second->text, "");
    EXPECT_EQ(second->image, -1);
    EXPECT_EQ(second->format, kListCellHyperlink);
    EXPECT_EQ(second->flags, kListAlignRight);
    EXPECT_EQ(second->background, kDefaultColor);
    EXPECT_EQ(second->date, FileTime{});
    list.AddColumn("Late", 50);
    EXPECT_TRUE(list.SetCellText(0, 2, "late"));
    EXPECT_EQ(list.GetCellText(0, 2), "late");
}

TEST_F(ListModelTest, OutOfRangeOperationsDoNothing) {
    FillRows(2);
    EXPECT_FALSE(list.SetCellText(2, 0, "x"));
    EXPECT_FALSE(list.SetCellText(0, 2, "x"));
    EXPECT_FALSE(list.SetCellText(-1, 0, "x"));
    EXPECT_FALSE(list.SetCellDate(0, -1, FileTime{1}));
    EXPECT_FALSE(list.SetCellColors(5, 0, Rgb(1, 2, 3), Rgb(4, 5, 6)));
    EXPECT_FALSE(list.SetColumnWidth(2, 10));
    EXPECT_FALSE(list.DeleteRow(2));
    EXPECT_EQ(list.GetCellText(0, 9), "");
    EXPECT_EQ(list.GetCell(9, 0), nullptr);
    EXPECT_EQ(list.GetColumn(-1), nullptr);
    list.Select(2, 0, 0);
    list.LeftButtonDown(0, 5, 0);  // past the last column: the row, no cell
    list.Activate(7, 0);
    EXPECT_EQ(sink.Take(), (Log{"SELECTION 0 -1", "ACTIVATE -1 -1"}));
    EXPECT_EQ(list.RowCount(), 2);
}

TEST_F(ListModelTest, ColumnsMovedInTheHeaderKeepTheirIds) {
    FillRows(1);
    list.AddColumn("Third", 50);
    list.SetCellText(0, 2, "third");
    EXPECT_TRUE(list.MoveColumn(0, 3));
    EXPECT_EQ(list.ColumnOrder(), (std::vector<int>{1, 2, 0}));
    EXPECT_TRUE(list.MoveColumn(1, 0));
    EXPECT_EQ(list.ColumnOrder(), (std::vector<int>{2, 1, 0}));
    EXPECT_FALSE(list.MoveColumn(1, 1));
    EXPECT_FALSE(list.MoveColumn(1, 2));
    EXPECT_FALSE(list.MoveColumn(3, 0));
    EXPECT_EQ(list.GetCellText(0, 2), "third");
    EXPECT_EQ(list.GetColumn(2)->id, 2);
}

TEST_F(ListModelTest, FixedColumnIgnoresDividerDoubleClicksAndWidths) {
    list.AddColumn("Icon", 24, -1, true);
    list.AddRow("a very long text that would need a wide column");
    const TextMeasure measure = [](std::string_view text) { return static_cast<int>(text.size()) * 7; };
    EXPECT_FALSE(list.AutoSizeColumn(0, measure));
    EXPECT_FALSE(list.SetColumnWidth(0, 200));
    EXPECT_EQ(list.GetColumn(0)->width, 24);
}

TEST_F(ListModelTest, AutoSizeFitsTheWidestTextPlusImage) {
    list.SetRowImageWidth(16);
    list.AddColumn("Heading", 10);
    list.AddColumn("A much longer heading", 10);
    list.AddRow("abc", 2);  // 21 + 16 + 20
    list.AddRow("ab");
    const TextMeasure measure = [](std::string_view text) { return static_cast<int>(text.size()) * 7; };
    EXPECT_TRUE(list.AutoSizeColumn(0, measure));
    EXPECT_EQ(list.GetColumn(0)->width, 7 * 7 + 20);  // the title is widest
    list.SetCellText(1, 0, "abcdefghijkl");
    EXPECT_TRUE(list.AutoSizeColumn(0, measure));
    EXPECT_EQ(list.GetColumn(0)->width, 12 * 7 + 20);
    list.SetCellText(1, 0, "");
    list.SetCellText(0, 0, "abcdefg");
    EXPECT_TRUE(list.AutoSizeColumn(0, measure));
    EXPECT_EQ(list.GetColumn(0)->width, 7 * 7 + 16 + 20);  // the picture counts
}

TEST_F(ListModelTest, DeletingSelectedRowsOneByOneKeepsTheRightRows) {
    FillRows(6);
    list.Select(1, 0, 0);
    list.Select(3, 0, kModifierControl);
    list.Select(4, 0, kModifierControl);
    // The owner's selection deletion: ascending rows, each less the count removed.
    const std::vector<int> selected = list.SelectedRows();
    int removed = 0;
    for (int row : selected) {
        if (list.DeleteRow(row - removed)) ++removed;
    }
    EXPECT_EQ(Items(), (std::vector<uint64_t>{0, 2, 5}));
    EXPECT_TRUE(list.selection().empty());
    EXPECT_EQ(list.SelectedRow(), -1);
}

TEST_F(ListModelTest, DeleteRowsInOnePassKeepsTheRestSelected) {
    FillRows(6);
    list.Select(0, 0, 0);
    list.Select(5, 0, kModifierShift);
    EXPECT_EQ(list.DeleteRows({4, 1, 1, 9, -3}), 2);
    EXPECT_EQ(Items(), (std::vector<uint64_t>{0, 2, 3, 5}));
    EXPECT_EQ(list.selection().ToString(), "active=3 anchor=0 selection=0 1 2 3");
    list.DeleteAllRows();
    EXPECT_EQ(list.selection().ToString(), "active=-1 anchor=-1 selection=");
}

// ---- in-place edit end ----

TEST_F(ListModelTest, EditEndStoresByTheKeyThatEndedIt) {
    FillRows(1);
    list.SetCellText(0, 1, "before");
    EXPECT_FALSE(list.EndEdit(0, 1, kListKeyEscape, "typed", nullptr).stored);
    EXPECT_EQ(list.GetCellText(0, 1), "before");
    EXPECT_TRUE(sink.log.empty());

    EXPECT_TRUE(list.EndEdit(0, 1, kListKeyDelete, "typed", nullptr).stored);
    EXPECT_EQ(list.GetCellText(0, 1), "");

    const ListEditResult tab = list.EndEdit(0, 1, kListKeyTab, "typed", nullptr);
    EXPECT_TRUE(tab.postTab);
    EXPECT_EQ(list.GetCellText(0, 1), "typed");
    EXPECT_FALSE(list.EndEdit(0, 1, 0x0D, "entered", nullptr).postTab);
    EXPECT_EQ(list.GetCellText(0, 1), "entered");
    EXPECT_EQ(sink.Take(), (Log{"VALUECHANGED 0 1", "VALUECHANGED 0 1", "VALUECHANGED 0 1"}));
    EXPECT_FALSE(list.EndEdit(3, 1, 0x0D, "nowhere", nullptr).stored);
}

TEST_F(ListModelTest, DateEditorStoresItsDateOnlyForANonzeroNumber) {
    FillRows(1);
    SystemTime date;
    date.year = 2019;
    date.month = 4;
    date.day = 9;
    date.hour = 7;
    date.minute = 5;
    date.second = 3;
    list.EndEdit(0, 1, 0x0D, " 42", &date);
    EXPECT_EQ(list.GetCellText(0, 1), "20190409070503");
    list.EndEdit(0, 1, 0x0D, "0", &date);
    EXPECT_EQ(list.GetCellText(0, 1), "");
    list.EndEdit(0, 1, 0x0D, "-7x", &date);
    EXPECT_EQ(list.GetCellText(0, 1), "20190409070503");
    list.EndEdit(0, 1, 0x0D, "abc", &date);
    EXPECT_EQ(list.GetCellText(0, 1), "");
}

}  // namespace
}  // namespace qm
