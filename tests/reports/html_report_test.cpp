#include "reports/html_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/reports/report_test_support.h"

namespace qm {
namespace {

using test::Date;

// The page header of the History report, line by line as the browser shows
// it in the source view.
const std::string kHistoryHeader =
    "<html>\n"
    "<head>\n"
    "<title>Internet Explorer History</title>\n"
    "<style type=\"text/css\">\n"
    ".stable1 { border-top: 1px solid #0000F0; border-left: 1px solid #0000F0; border-right: 1px solid "
    "#0000F0; "
    "border-bottom: 1px solid #0000F0; color: "
    "#000080;font-family:courier,system;font-size:10pt;font-weight:400;}\n"
    ".stable2 { border-top: 1px solid #0000F0; border-left: 1px solid #0000F0; border-right: 1px solid "
    "#0000F0; "
    "border-bottom: 1px dotted #0000F0; color: "
    "#000080;font-family:courier,system;font-size:10pt;font-weight:400;}\n"
    ".stable3 { border-left: 1px solid #0000F0; border-right: 1px solid #0000F0; border-bottom: 1px dotted "
    "#0000F0; color: #000080;font-family:courier,system;font-size:10pt;font-weight:400;}\n"
    ".stable4 { border-left: 1px solid #0000F0; border-right: 1px solid #0000F0; border-bottom: 1px solid "
    "#0000F0; color: #000080;font-family:courier,system;font-size:10pt;font-weight:400;}\n"
    "</style></head>\n"
    "<body bgcolor=\"white\" leftMargin=\"0\" topMargin=\"0\" marginheight=\"0\" marginwidth=\"0\">\n"
    "<div align=\"center\">\n"
    "<table width=800 border=\"0\"><tr><td>\n"
    "<table border=\"0\" width=\"100%\" bgcolor=\"white\" cellspacing=\"2\" cellpadding=\"5\">\n"
    "<tr><td><h2>Internet Explorer History</h2></td></tr>\n"
    "</table>\n";

const std::string kPageEnd = "\n</td></tr></table>\n</div>\n</body>\n</html>";

const std::string kTableStart =
    "<table border=\"0\" width=\"800\" bordercolor=\"#336699\" bgcolor=\"#abdafa\" cellspacing=\"2\" "
    "cellpadding=\"5\">\n";

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

TEST(HtmlReport, HistoryPageMatchesTheTemplateByteForByte) {
    HistoryRecord record;
    record.title = "  Front page  ";
    record.url = "http://news.example/?a=1&b=<2>";
    record.lastVisited = Date(2019, 4, 17);
    record.lastUpdated = Date(2020, 12, 1);
    record.expires = FileTime{0};
    const std::vector<HistoryRecord> records{record};

    const std::string expected =
        kHistoryHeader + kTableStart +
        "<tr><td class=\"stable2\">Front page</td></tr>\n"
        "<tr><td class=\"stable3\">http://news.example/?a=1&amp;b=&lt;2&gt;</td></tr>\n"
        "<tr><td class=\"stable4\">LastVisited: 17.04.2019 &nbsp;&nbsp;LastUpdated: "
        "01.12.2020 &nbsp;&nbsp;Expires: unknown</td></tr>\n"
        "</table>\n<br>\n\n" +
        kPageEnd;
    EXPECT_EQ(HistoryReport(records, DateFormatter()), expected);
}

TEST(HtmlReport, EachKindPutsItsWordInTitleAndHeading) {
    EXPECT_EQ(ReportHeader(RecordKind::History), kHistoryHeader);
    EXPECT_EQ(ReportHeader(RecordKind::Cookies), ReplaceAll(kHistoryHeader, "History", "Cookies"));
    EXPECT_EQ(ReportHeader(RecordKind::Cache), ReplaceAll(kHistoryHeader, "History", "Cache"));
    // An empty collection is still a whole page.
    EXPECT_EQ(CacheReport({}, DateFormatter()), ReplaceAll(kHistoryHeader, "History", "Cache") + kPageEnd);
}

TEST(HtmlReport, CookieTableShowsFileNameSizeHitsAndTheCacheTimes) {
    CacheEntry entry;
    entry.url = "Cookie:ann@shop.example/";
    entry.localFile = "C:\\Users\\Ann\\Cookies\\ann@shop[1].txt";
    entry.size = 4294967295u;
    entry.hitRate = 7;
    entry.lastModifiedTime = Date(2021, 3, 9);
    entry.lastAccessTime = Date(2021, 3, 10);
    entry.expireTime = Date(2030, 1, 2);

    EXPECT_EQ(
        CacheEntryHtml(entry, DateFormatter("yyyy-MM-dd")),
        kTableStart +
            "<tr><td class=\"stable2\">ann@shop[1].txt &nbsp;&nbsp;Size: 4294967295 bytes &nbsp;&nbsp;Hits: "
            "7</td></tr>\n"
            "<tr><td class=\"stable3\">Cookie:ann@shop.example/</td></tr>\n"
            "<tr><td class=\"stable4\">LastVisited: 2021-03-09 &nbsp;&nbsp;LastUpdated: 2021-03-10 "
            "&nbsp;&nbsp;Expires: 2030-01-02</td></tr>\n"
            "</table>\n<br>\n\n");
}

TEST(HtmlReport, LongTextsAreCutAtNinetyCharactersBeforeEscaping) {
    const std::string ninety(90, 'x');
    EXPECT_EQ(ReportText(ninety), ninety);
    EXPECT_EQ(ReportText(ninety + "y"), ninety + "...");
    // White space around the text does not count towards the limit.
    EXPECT_EQ(ReportText("\t " + ninety + " \r\n"), ninety);
    // The cut falls on the reader's characters: an "&" as the 90th character
    // is kept whole as its entity, and one beyond the cut is gone.
    EXPECT_EQ(ReportText(std::string(89, 'x') + "&<"), std::string(89, 'x') + "&amp;...");
    EXPECT_EQ(ReportTitle(std::string(89, 'x') + "\""), std::string(89, 'x') + "&quot;");
}

TEST(HtmlReport, EmptyTitlesAndFileNamesReadUntitledButEmptyUrlsStayEmpty) {
    EXPECT_EQ(ReportTitle(""), "Untitled");
    EXPECT_EQ(ReportTitle(" \t "), "Untitled");
    EXPECT_EQ(ReportText("  "), "");

    CacheEntry entry;
    entry.url = "Cookie:ann@site/";
    entry.localFile = "C:\\Cookies\\";
    EXPECT_NE(CacheEntryHtml(entry, DateFormatter()).find("stable2\">Untitled &nbsp;"), std::string::npos);
    entry.localFile = "";
    EXPECT_NE(CacheEntryHtml(entry, DateFormatter()).find("stable2\">Untitled &nbsp;"), std::string::npos);
    // A path without a "\" is all file name.
    EXPECT_EQ(ReportFileName("plain.txt"), "plain.txt");
    EXPECT_EQ(ReportFileName("C:\\a\\b.gif"), "b.gif");

    HistoryRecord record;
    record.url = "http://untitled.example/";
    EXPECT_NE(HistoryRecordHtml(record, DateFormatter()).find("stable2\">Untitled</td>"), std::string::npos);
}

TEST(HtmlReport, MarkupFromRecordsIsShownNotRun) {
    HistoryRecord record;
    record.title = "<script>alert(\"x\")</script>";
    record.url = "http://evil.example/\"><img src=x onerror=alert(1)>";
    const std::string html = HistoryRecordHtml(record, DateFormatter());
    EXPECT_EQ(html.find("<script"), std::string::npos);
    EXPECT_EQ(html.find("<img"), std::string::npos);
    EXPECT_NE(html.find("&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;"), std::string::npos);
    EXPECT_NE(html.find("http://evil.example/&quot;&gt;&lt;img src=x onerror=alert(1)&gt;"),
              std::string::npos);

    // The date template is the user's registry text, copied around the fields.
    record.lastVisited = Date(2019, 4, 17);
    const std::string dated = HistoryRecordHtml(record, DateFormatter("dd.<b>"));
    EXPECT_NE(dated.find("LastVisited: 17.&lt;b&gt; "), std::string::npos);

    // Bytes of the code page beyond ASCII pass as they are.
    EXPECT_EQ(EscapeHtml("Caf\xe9 & \x80"), "Caf\xe9 &amp; \x80");
}

TEST(HtmlReport, CacheReportLeavesOutHistoryAndCookieEntriesCookieReportNothing) {
    std::vector<CacheEntry> entries(4);
    entries[0].url = "http://site.example/page.htm";
    entries[1].url = "Visited:ann@http://site.example/";
    entries[2].url = "Cookie:ann@site.example/";
    // The test is case-sensitive: a lower-case prefix is content.
    entries[3].url = "cookie:ann@other.example/";

    const std::string cache = CacheReport(entries, DateFormatter());
    EXPECT_NE(cache.find("http://site.example/page.htm"), std::string::npos);
    // The dates row says "LastVisited:" of every record; the addresses are gone.
    EXPECT_EQ(cache.find("Visited:ann@"), std::string::npos);
    EXPECT_EQ(cache.find("Cookie:ann@"), std::string::npos);
    EXPECT_NE(cache.find("cookie:ann@other.example/"), std::string::npos);

    const std::string cookies = CookieReport(entries, DateFormatter());
    std::size_t tables = 0;
    for (std::size_t at = cookies.find(kTableStart); at != std::string::npos;
         at = cookies.find(kTableStart, at + 1))
        ++tables;
    EXPECT_EQ(tables, 4u);
}

}  // namespace
}  // namespace qm
