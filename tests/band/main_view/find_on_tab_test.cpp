#include "settings/find_on_tab.h"

#include <gtest/gtest.h>

#include "tests/band/main_view/view_fixture.h"

namespace qm::test {
namespace {

FindRequest Request(std::string_view text, bool names, bool values, bool findAll, bool whole = false,
                    bool matchCase = false) {
    FindRequest request;
    request.text = text;
    request.names = names ? 1 : 0;
    request.values = values ? 1 : 0;
    request.findAll = findAll ? 1 : 0;
    request.whole = whole ? 1 : 0;
    request.matchCase = matchCase ? 1 : 0;
    return request;
}

class FindTest : public ::testing::Test {
protected:
    // A History-like list: "Title" and "URL".
    void AddRows(std::initializer_list<std::pair<std::string_view, std::string_view>> rows) {
        if (list.ColumnCount() == 0) {
            list.AddColumn("Title", 250);
            list.AddColumn("URL", 330);
            list.AddColumn("Last Visited", 100);
        }
        for (const auto& [title, url] : rows) {
            const int row = list.AddRow(title);
            list.SetCellText(row, 1, url);
        }
    }

    std::vector<int> MarkedRows(int column, ColorRef mark) const {
        std::vector<int> rows;
        for (int row = 0; row < list.RowCount(); ++row)
            if (list.GetCell(row, column)->background == mark) rows.push_back(row);
        return rows;
    }

    MemoryPlatform memory;
    ListModel list{memory.clock};
};

TEST(FindMatchTest, WholeWordStandsBetweenSpacesOnly) {
    for (std::string_view title : {"daily news", "news today", "news", "a news b", "a news1 news"})
        EXPECT_TRUE(FindTextMatches(title, "news", true)) << title;
    for (std::string_view title : {"newsletter", "a/news", "news.", "daily news.", "", "new"})
        EXPECT_FALSE(FindTextMatches(title, "news", true)) << title;
    // Without whole words, anywhere.
    EXPECT_TRUE(FindTextMatches("newsletter", "news", false));
    EXPECT_TRUE(FindTextMatches("a/news", "news", false));
    EXPECT_FALSE(FindTextMatches("new", "news", false));
    // An empty needle finds nothing, whole or not.
    EXPECT_FALSE(FindTextMatches("anything", "", false));
    EXPECT_FALSE(FindTextMatches("", "", true));
}

TEST_F(FindTest, WholeWordSearchOfTitlesMarksOnlyWholeWords) {
    AddRows(
        {{"Daily news", "u1"}, {"news today", "u2"}, {"newsletter", "u3"}, {"a/news", "u4"}, {"news", "u5"}});
    FindInList(list, Request("news", true, false, true, /*whole=*/true), memory.textCodec);
    EXPECT_EQ(MarkedRows(0, kNameMatchColor), (std::vector<int>{0, 1, 4}));
}

TEST_F(FindTest, CaseCountsOnlyWithMatchCase) {
    AddRows({{"first", "http://example.com/news"}});
    EXPECT_EQ(
        FindInList(list, Request("NEWS", false, true, true, false, /*matchCase=*/true), memory.textCodec), 0);
    EXPECT_EQ(FindInList(list, Request("NEWS", false, true, true), memory.textCodec), 1);
    EXPECT_EQ(MarkedRows(1, kUrlMatchColor), (std::vector<int>{0}));
}

TEST_F(FindTest, FindNextMarksOneMoreMatchEachTimeThenNothing) {
    AddRows({{"alpha", "u"}, {"news one", "u"}, {"beta", "u"}, {"news two", "u"}});
    const FindRequest next = Request("news", true, false, false);

    EXPECT_EQ(FindInList(list, next, memory.textCodec), 1);
    EXPECT_EQ(MarkedRows(0, kNameMatchColor), (std::vector<int>{1}));
    EXPECT_EQ(list.selection().rows(), (std::vector<int>{1}));

    EXPECT_EQ(FindInList(list, next, memory.textCodec), 1);
    EXPECT_EQ(MarkedRows(0, kNameMatchColor), (std::vector<int>{1, 3}));
    EXPECT_EQ(list.selection().rows(), (std::vector<int>{3}));

    EXPECT_EQ(FindInList(list, next, memory.textCodec), 0);
    EXPECT_EQ(MarkedRows(0, kNameMatchColor), (std::vector<int>{1, 3}));
    EXPECT_EQ(list.selection().rows(), (std::vector<int>{3}));
}

TEST_F(FindTest, FindAllMarksBothCellsOfARowInTheirColoursAndSelectsTheLastRow) {
    AddRows({{"news here", "http://news.example/"}, {"other", "http://x/"}, {"news", "http://y/"}});
    list.SetCellColors(0, 0, kDefaultColor, Rgb(1, 2, 3));

    EXPECT_EQ(FindInList(list, Request("news", true, true, true), memory.textCodec), 3);

    EXPECT_EQ(list.GetCell(0, 0)->background, kNameMatchColor);
    EXPECT_EQ(list.GetCell(0, 1)->background, kUrlMatchColor);
    EXPECT_EQ(list.GetCell(2, 0)->background, kNameMatchColor);
    EXPECT_EQ(list.GetCell(2, 1)->background, kDefaultColor);
    EXPECT_EQ(list.GetCell(1, 0)->background, kDefaultColor);
    // A mark keeps the cell's text colour.
    EXPECT_EQ(list.GetCell(0, 0)->textColor, Rgb(1, 2, 3));
    EXPECT_EQ(list.selection().rows(), (std::vector<int>{2}));
    // Everything is marked: another Find All finds nothing new.
    EXPECT_EQ(FindInList(list, Request("news", true, true, true), memory.textCodec), 0);
}

TEST_F(FindTest, ColumnsAreChosenByTitle) {
    ListModel index(memory.clock);
    index.AddColumn("User", 100);
    index.AddColumn("URL", 330);
    EXPECT_EQ(ChooseFindColumns(index), (FindColumns{0, 1}));

    ListModel both(memory.clock);
    both.AddColumn("Title", 100);
    both.AddColumn("User", 100);
    both.AddColumn("File", 100);
    EXPECT_EQ(ChooseFindColumns(both), (FindColumns{2, -1}));

    // No name column: names never match, and nothing goes wrong.
    ListModel cache(memory.clock);
    cache.AddColumn("URL", 330);
    cache.AddRow("news");
    EXPECT_EQ(FindInList(cache, Request("news", true, false, true), memory.textCodec), 0);
    EXPECT_EQ(FindInList(cache, Request("news", false, true, true), memory.textCodec), 1);
}

TEST_F(FindTest, PressFindChecksNamesWhenNothingIsCheckedAndRefusesEmptyText) {
    FindOptions boxes;
    boxes.lastSearch = "news";
    FindPress press = PressFind(boxes, /*findAll=*/true, memory.prompts);
    EXPECT_TRUE(press.checkNames);
    ASSERT_TRUE(press.request);
    EXPECT_EQ(press.request->names, 1);
    EXPECT_EQ(press.request->values, 0);
    EXPECT_EQ(press.request->findAll, 1);

    boxes.searchValues = true;
    boxes.wholeWord = true;
    press = PressFind(boxes, /*findAll=*/false, memory.prompts);
    EXPECT_FALSE(press.checkNames);
    ASSERT_TRUE(press.request);
    EXPECT_EQ(press.request->names, 0);
    EXPECT_EQ(press.request->whole, 1);
    EXPECT_EQ(press.request->findAll, 0);
    EXPECT_TRUE(memory.prompts.messages().empty());

    boxes.lastSearch.clear();
    press = PressFind(boxes, true, memory.prompts);
    EXPECT_FALSE(press.request);
    EXPECT_EQ(memory.prompts.messages(), (std::vector<std::string>{"Please enter text to search."}));
}

TEST_F(FindTest, LongSearchTextIsCutToTheRecord) {
    FindOptions boxes;
    boxes.searchNames = true;
    boxes.lastSearch = std::string(300, 'n');
    const FindPress press = PressFind(boxes, true, memory.prompts);
    ASSERT_TRUE(press.request);
    EXPECT_EQ(press.request->text.view(), std::string(99, 'n'));
}

}  // namespace
}  // namespace qm::test
