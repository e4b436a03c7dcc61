#include "records/index_file_view.h"

#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"
#include "tests/records/index/index_file_builder.h"
#include "tests/records/index/temp_folder.h"

namespace qm {
namespace {

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

// The view as lines of "|"-separated texts: the column titles (a date
// column marked "*"), then each row (a hyperlink cell between "<" and ">").
std::string Shown(const std::optional<IndexView>& view) {
    if (!view) return "no view";
    std::string shown;
    for (const IndexViewColumn& column : view->columns)
        shown += column.title + (column.isDate ? "*" : "") + (&column == &view->columns.back() ? "\n" : "|");
    for (const IndexViewRow& row : view->rows)
        for (const IndexViewCell& cell : row.cells)
            shown += (cell.isHyperlink() ? "<" + cell.text + ">" : cell.text) +
                     (&cell == &row.cells.back() ? "\n" : "|");
    return shown;
}

TEST(IndexFileKind, TheFirstAddressDecidesCookieBeforeVisited) {
    for (const auto& [url, kind] : std::vector<std::pair<std::string, RecordKind>>{
             {"Cookie:me@site/", RecordKind::Cookies},
             {"Visited: me@http://a/", RecordKind::History},
             {"Visited: me@http://a/?Cookie:x", RecordKind::Cookies},
             {":2019041920190420: me@:Host: a", RecordKind::Cache},
             {"cookie:me@site/", RecordKind::Cache},  // case counts
             {"", RecordKind::Cache},
         })
        EXPECT_EQ(DetectIndexFileKind(url), kind) << url;
}

TEST(IndexFileView, EachKindSplitsTheUserOffTheAddressInItsOwnColumns) {
    struct Case {
        std::string name;
        std::vector<HistoryRecord> records;
        std::string shown;
    };
    for (const Case& row : std::vector<Case>{
             {"history",
              {Record("Visited: me@http://a.example/page", "A page"),
               Record("Visited:\t \tyou@http://b.example/"),
               Record("me@http://no-prefix.example/"),      // no "Visited:": the whole text is split
               Record("Visited: http://no-user.example/"),  // no "@": no user
               Record("xVisited:Visited: me@http://twice/"), Record("Visited: me@http://a/@b"),
               Record("Cookie:me@site/")},
              "Title|User|URL|Last Visited*|Last Updated*\n"
              "A page|me|<http://a.example/page>|unknown|unknown\n"
              "|you|<http://b.example/>|unknown|unknown\n"
              "|me|<http://no-prefix.example/>|unknown|unknown\n"
              "||<http://no-user.example/>|unknown|unknown\n"
              "|Visited: me|<http://twice/>|unknown|unknown\n"
              "|me|<http://a/@b>|unknown|unknown\n"
              "|Cookie:me|<site/>|unknown|unknown\n"},
             {"cookies",
              {Record("Cookie:me@site.example/path"), Record("Cookie: \tyou@other.example/"),
               Record("Cookie:nouser.example/"), Record("noprefix@third.example/"),
               Record("Visited: me@http://a/")},
              "User|URL|Last Visited*|Last Updated*\n"
              "me|<site.example/path>|unknown|unknown\n"
              "you|<other.example/>|unknown|unknown\n"
              "|<nouser.example/>|unknown|unknown\n"
              "noprefix|<third.example/>|unknown|unknown\n"
              "Visited: me|<http://a/>|unknown|unknown\n"},
             {"cache",
              {Record("http://a.example/img.png"), Record(":2019041920190426: me@:Host: a.example"),
               Record("  Visited: kept as is"), Record("Cookie:me@site/")},
              "URL|Last Visited*|Last Updated*\n"
              "<http://a.example/img.png>|unknown|unknown\n"
              "<:Host: a.example>|unknown|unknown\n"
              "<  Visited: kept as is>|unknown|unknown\n"
              "<site/>|unknown|unknown\n"},
         }) {
        const auto view = MakeIndexView(row.records, DateFormatter());
        EXPECT_EQ(Shown(view), row.shown) << row.name;
    }
    EXPECT_EQ(MakeIndexView(std::vector{Record("http://a/")}, DateFormatter())->columns[0].width,
              kIndexCacheUrlWidth);
    EXPECT_EQ(Shown(MakeIndexView({}, DateFormatter())), "no view");
}

TEST(IndexFileView, DateCellsCarryTheirTimesAsSortKeys) {
    const std::vector<HistoryRecord> records{
        Record("Visited: me@http://a/", "A", kApril2019, kNewYear2020),
        Record("Visited: me@http://b/", "B", FileTime{}, FileTime{~0ull})};
    const auto view = MakeIndexView(records, DateFormatter("yyyy-MM-dd"));
    // The second-last column is the last visit, the last the last update;
    // times that are unset or do not convert show "unknown" but still sort
    // by their value.
    EXPECT_EQ(Shown(view),
              "Title|User|URL|Last Visited*|Last Updated*\n"
              "A|me|<http://a/>|2019-04-17|2020-01-01\n"
              "B|me|<http://b/>|unknown|unknown\n");
    EXPECT_EQ(view->rows[0].cells[3].sortKey, kApril2019);
    EXPECT_EQ(view->rows[0].cells[4].sortKey, kNewYear2020);
    EXPECT_EQ(view->rows[1].cells[3].sortKey, FileTime{});
    EXPECT_EQ(view->rows[1].cells[4].sortKey, FileTime{~0ull});
    EXPECT_FALSE(view->rows[0].cells[2].sortKey.has_value());
}

TEST(IndexFileView, FilesGiveTheirViewOrNoneWhenNotRead) {
    test::TempFolder folder;
    MemoryPlatform memory;
    const auto load = [&](std::string_view name) {
        return Shown(ReadIndexView(memory.fileSystem, memory.textCodec, name.empty() ? "" : folder.Path(name),
                                   DateFormatter()));
    };
    test::IndexFileBuilder cookies("5.1");  // another version is still shown
    cookies.Record({.url = "Cookie:me@site/"});
    cookies.WriteTo(folder.Local("cookies.dat"));
    test::IndexFileBuilder().Put(2 * test::kBlock, "HASH").WriteTo(folder.Local("empty.dat"));
    test::IndexFileBuilder notIndex;
    notIndex.Record({.url = "http://a/"});
    notIndex.Put(0, "Not an index file").WriteTo(folder.Local("other.dat"));

    EXPECT_EQ(load("cookies.dat"), "User|URL|Last Visited*|Last Updated*\nme|<site/>|unknown|unknown\n");
    for (std::string_view name : {"", "missing.dat", "empty.dat", "other.dat"})
        EXPECT_EQ(load(name), "no view") << name;
}

}  // namespace
}  // namespace qm
