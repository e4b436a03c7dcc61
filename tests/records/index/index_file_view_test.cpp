#include "records/index_file_view.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"
#include "tests/records/index/index_file_builder.h"
#include "tests/records/index/temp_folder.h"

namespace qm {
namespace {

using ::testing::ElementsAre;

// 2019-04-17 (18:40) and 2020-01-01 (midnight), UTC, as FILETIMEs.
constexpr FileTime kApril2019{132'000'000'000'000'000ull};
constexpr FileTime kNewYear2020{132'223'104'000'000'000ull};

HistoryRecord Record(std::string_view url, std::string_view title = "", FileTime visited = {},
                     FileTime updated = {}) {
    HistoryRecord record;
    record.url = url;
    record.title = title;
    record.lastVisited = visited;
    record.lastUpdated = updated;
    return record;
}

std::vector<std::string> Texts(const IndexViewRow& row) {
    std::vector<std::string> texts;
    for (const IndexViewCell& cell : row.cells) texts.push_back(cell.text);
    return texts;
}

std::vector<std::string> Titles(const IndexView& view) {
    std::vector<std::string> titles;
    for (const IndexViewColumn& column : view.columns) titles.push_back(column.title);
    return titles;
}

IndexView View(std::vector<HistoryRecord> records, std::string formatterTemplate = "dd.MM.yyyy") {
    auto view = MakeIndexView(records, DateFormatter(std::move(formatterTemplate)));
    EXPECT_TRUE(view.has_value());
    return view.value_or(IndexView{});
}

TEST(IndexFileKind, TheFirstAddressDecidesCookieBeforeVisited) {
    EXPECT_EQ(DetectIndexFileKind("Cookie:me@site/"), RecordKind::Cookies);
    EXPECT_EQ(DetectIndexFileKind("Visited: me@http://a/"), RecordKind::History);
    EXPECT_EQ(DetectIndexFileKind("Visited: me@http://a/?Cookie:x"), RecordKind::Cookies);
    EXPECT_EQ(DetectIndexFileKind(":2019041920190420: me@:Host: a"), RecordKind::Cache);
    EXPECT_EQ(DetectIndexFileKind("cookie:me@site/"), RecordKind::Cache);  // case counts
    EXPECT_EQ(DetectIndexFileKind(""), RecordKind::Cache);

    // Later records do not change the kind of the file.
    const IndexView view = View({Record("http://cache/"), Record("Cookie:me@site/")});
    EXPECT_EQ(view.kind, RecordKind::Cache);
    EXPECT_THAT(Texts(view.rows[1]), ElementsAre("site/", "unknown", "unknown"));
}

TEST(IndexFileColumns, EachKindHasItsOwnSet) {
    const auto left = kColumnFormatLeft;
    const auto centred = kColumnFormatCentred;
    EXPECT_THAT(
        IndexViewColumns(RecordKind::History),
        ElementsAre(IndexViewColumn{"Title", 250, left, false}, IndexViewColumn{"User", 100, left, false},
                    IndexViewColumn{"URL", 330, left, false},
                    IndexViewColumn{"Last Visited", 100, centred, true},
                    IndexViewColumn{"Last Updated", 100, centred, true}));
    EXPECT_THAT(
        IndexViewColumns(RecordKind::Cookies),
        ElementsAre(IndexViewColumn{"User", 100, left, false}, IndexViewColumn{"URL", 330, left, false},
                    IndexViewColumn{"Last Visited", 100, centred, true},
                    IndexViewColumn{"Last Updated", 100, centred, true}));
    EXPECT_THAT(IndexViewColumns(RecordKind::Cache),
                ElementsAre(IndexViewColumn{"URL", 330, left, false},
                            IndexViewColumn{"Last Visited", 100, centred, true},
                            IndexViewColumn{"Last Updated", 100, centred, true}));
}

TEST(IndexFileView, HistorySplitsTheUserOffTheVisitedAddress) {
    const IndexView view = View({
        Record("Visited: me@http://a.example/page", "A page"),
        Record("Visited:\t \tyou@http://b.example/", ""),  // an empty title stays empty
        Record("me@http://no-prefix.example/"),            // no "Visited:": the whole text is split
        Record("Visited: http://no-user.example/"),        // no "@": no user
        Record("xVisited:Visited: me@http://twice/"),      // only up to the first "Visited:"
        Record("Visited: me@http://a/@b"),                 // split at the first "@"
    });
    EXPECT_EQ(view.kind, RecordKind::History);
    EXPECT_THAT(Titles(view), ElementsAre("Title", "User", "URL", "Last Visited", "Last Updated"));
    ASSERT_EQ(view.rows.size(), 6u);
    EXPECT_THAT(Texts(view.rows[0]),
                ElementsAre("A page", "me", "http://a.example/page", "unknown", "unknown"));
    EXPECT_THAT(Texts(view.rows[1]), ElementsAre("", "you", "http://b.example/", "unknown", "unknown"));
    EXPECT_THAT(Texts(view.rows[2]),
                ElementsAre("", "me", "http://no-prefix.example/", "unknown", "unknown"));
    EXPECT_THAT(Texts(view.rows[3]), ElementsAre("", "", "http://no-user.example/", "unknown", "unknown"));
    EXPECT_THAT(Texts(view.rows[4]), ElementsAre("", "Visited: me", "http://twice/", "unknown", "unknown"));
    EXPECT_THAT(Texts(view.rows[5]), ElementsAre("", "me", "http://a/@b", "unknown", "unknown"));

    // Only the address is a hyperlink cell.
    for (std::size_t column = 0; column < 5; ++column)
        EXPECT_EQ(view.rows[0].cells[column].isHyperlink(), column == 2) << column;
    EXPECT_EQ(view.rows[0].cells[2].format, kCellFormatHyperlink);
    EXPECT_EQ(view.rows[0].cells[2].flags, 0);
}

TEST(IndexFileView, CookiesSplitTheUserOffTheSitePath) {
    const IndexView view = View({
        Record("Cookie:me@site.example/path"),
        Record("Cookie: \tyou@other.example/"),
        Record("Cookie:nouser.example/"),
        Record("noprefix@third.example/"),
    });
    EXPECT_EQ(view.kind, RecordKind::Cookies);
    EXPECT_THAT(Titles(view), ElementsAre("User", "URL", "Last Visited", "Last Updated"));
    EXPECT_THAT(Texts(view.rows[0]), ElementsAre("me", "site.example/path", "unknown", "unknown"));
    EXPECT_THAT(Texts(view.rows[1]), ElementsAre("you", "other.example/", "unknown", "unknown"));
    EXPECT_THAT(Texts(view.rows[2]), ElementsAre("", "nouser.example/", "unknown", "unknown"));
    EXPECT_THAT(Texts(view.rows[3]), ElementsAre("noprefix", "third.example/", "unknown", "unknown"));
    EXPECT_TRUE(view.rows[0].cells[1].isHyperlink());
    EXPECT_FALSE(view.rows[0].cells[0].isHyperlink());
}

TEST(IndexFileView, CacheShowsTheTextAfterTheFirstAtInAWideColumn) {
    const IndexView view = View({
        Record("http://a.example/img.png"),
        Record(":2019041920190426: me@:Host: a.example"),
        Record("  Visited: kept as is"),
    });
    EXPECT_EQ(view.kind, RecordKind::Cache);
    EXPECT_THAT(Titles(view), ElementsAre("URL", "Last Visited", "Last Updated"));
    EXPECT_EQ(view.columns[0].width, kIndexCacheUrlWidth);
    EXPECT_THAT(Texts(view.rows[0]), ElementsAre("http://a.example/img.png", "unknown", "unknown"));
    EXPECT_THAT(Texts(view.rows[1]), ElementsAre(":Host: a.example", "unknown", "unknown"));
    EXPECT_THAT(Texts(view.rows[2]), ElementsAre("  Visited: kept as is", "unknown", "unknown"));
    EXPECT_TRUE(view.rows[0].cells[0].isHyperlink());
}

TEST(IndexFileView, DateCellsCarryTheirTimesAsSortKeys) {
    const IndexView view = View({Record("Visited: me@http://a/", "A", kApril2019, kNewYear2020),
                                 Record("Visited: me@http://b/", "B", FileTime{}, FileTime{~0ull})},
                                "yyyy-MM-dd");
    // The second-last column is the last visit, the last the last update.
    EXPECT_THAT(Texts(view.rows[0]), ElementsAre("A", "me", "http://a/", "2019-04-17", "2020-01-01"));
    EXPECT_EQ(view.rows[0].cells[3].sortKey, kApril2019);
    EXPECT_EQ(view.rows[0].cells[4].sortKey, kNewYear2020);
    // Times that are unset or do not convert show "unknown" but still sort by their value.
    EXPECT_THAT(Texts(view.rows[1]), ElementsAre("B", "me", "http://b/", "unknown", "unknown"));
    EXPECT_EQ(view.rows[1].cells[3].sortKey, FileTime{});
    EXPECT_EQ(view.rows[1].cells[4].sortKey, FileTime{~0ull});
    // Text cells have no key.
    EXPECT_FALSE(view.rows[0].cells[2].sortKey.has_value());
}

TEST(IndexFileView, NoRecordsNoView) {
    EXPECT_FALSE(MakeIndexView({}, DateFormatter()).has_value());
}

class IndexFileViewFiles : public ::testing::Test {
protected:
    std::optional<IndexView> Load(std::string_view path) {
        return ReadIndexView(memory_.fileSystem, memory_.textCodec, path, DateFormatter());
    }

    test::TempFolder folder_;
    MemoryPlatform memory_;
};

TEST_F(IndexFileViewFiles, ALoadedCookieFileSwitchesTheKind) {
    test::IndexFileBuilder history;
    history.Record({.url = "Visited: me@http://a/", .title = u"A"});
    history.WriteTo(folder_.Local("history.dat"));
    test::IndexFileBuilder cookies("5.1");  // another version is still shown
    cookies.Record({.url = "Cookie:me@site/"});
    cookies.Record({.url = "Visited: me@http://a/"});
    cookies.WriteTo(folder_.Local("cookies.dat"));

    auto first = Load(folder_.Path("history.dat"));
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->kind, RecordKind::History);
    auto second = Load(folder_.Path("cookies.dat"));
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->kind, RecordKind::Cookies);
    EXPECT_EQ(second->columns, IndexViewColumns(RecordKind::Cookies));
    ASSERT_EQ(second->rows.size(), 2u);
    EXPECT_THAT(Texts(second->rows[1]), ElementsAre("Visited: me", "http://a/", "unknown", "unknown"));
}

TEST_F(IndexFileViewFiles, FilesThatWereNotReadGiveNoView) {
    test::IndexFileBuilder noRecords;
    noRecords.Block("HASH");
    noRecords.WriteTo(folder_.Local("empty.dat"));
    test::IndexFileBuilder notIndex;
    notIndex.Record({.url = "http://a/"});
    notIndex.Put(0, "Not an index file");
    notIndex.WriteTo(folder_.Local("other.dat"));

    EXPECT_FALSE(Load("").has_value());
    EXPECT_FALSE(Load(folder_.Path("missing.dat")).has_value());
    EXPECT_FALSE(Load(folder_.Path("empty.dat")).has_value());
    EXPECT_FALSE(Load(folder_.Path("other.dat")).has_value());
}

}  // namespace
}  // namespace qm
