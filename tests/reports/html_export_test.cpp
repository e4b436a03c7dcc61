#include "reports/html_export.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/memory/memory_platform.h"
#include "reports/html_report.h"
#include "tests/reports/report_test_support.h"

namespace qm {
namespace {

using namespace std::string_literals;
using test::Date;
using test::ScratchFolder;

MemoryCacheEntry Cached(std::string name, std::string localFile, uint32_t size = 10) {
    MemoryCacheEntry entry;
    entry.name = std::move(name);
    entry.localFile = std::move(localFile);
    entry.sizeLow = size;
    entry.lastModifiedTime = Date(2022, 5, 6);
    return entry;
}

TEST(HtmlExport, HistoryFileHasCrLfLineEndsAndNoLineEndAfterTheLastTag) {
    MemoryPlatform memory;
    StatUrl url;
    url.url = u"http://a.example/?x=1&y=2";
    url.title = u"A & B";
    url.lastVisited = Date(2019, 4, 17);
    memory.urlHistory.Add(url);
    ScratchFolder folder;
    memory.prompts.QueueFile(folder.Path("history.html"));

    EXPECT_EQ(ExportHistory(memory, DateFormatter()), ExportResult::Written);

    const std::string onDisk = folder.Read("history.html");
    std::vector<HistoryRecord> records(1);
    records[0].url = "http://a.example/?x=1&y=2";
    records[0].title = "A & B";
    records[0].lastVisited = Date(2019, 4, 17);
    std::string expected;
    for (char c : HistoryReport(records, DateFormatter())) {
        if (c == '\n') expected += '\r';
        expected += c;
    }
    EXPECT_EQ(onDisk, expected);
    EXPECT_TRUE(onDisk.ends_with("</body>\r\n</html>"));
    EXPECT_NE(onDisk.find("<tr><td class=\"stable2\">A &amp; B</td></tr>\r\n"), std::string::npos);
    // No line feed stands alone.
    for (std::size_t at = onDisk.find('\n'); at != std::string::npos; at = onDisk.find('\n', at + 1))
        ASSERT_TRUE(at > 0 && onDisk[at - 1] == '\r') << at;
}

TEST(HtmlExport, SaveAsProposesTheKindsNameWithTheHtmlFilter) {
    MemoryPlatform memory;
    ExportHistory(memory, DateFormatter());
    ExportCookies(memory, DateFormatter());
    ExportCache(memory, DateFormatter());
    const auto& choices = memory.prompts.fileChoices();
    ASSERT_EQ(choices.size(), 3u);
    EXPECT_EQ(choices[0].defaultName, "history");
    EXPECT_EQ(choices[1].defaultName, "cookies");
    EXPECT_EQ(choices[2].defaultName, "cache");
    for (const FileChoice& choice : choices) {
        EXPECT_EQ(choice.filter, "HTML Files (*.html)\0*.html\0"s);
        EXPECT_EQ(choice.defaultExtension, "html");
    }
}

TEST(HtmlExport, CancelledOrBlankChoiceAndMissingHistoryServiceWriteNothing) {
    MemoryPlatform memory;
    ScratchFolder folder;
    EXPECT_EQ(ExportCookies(memory, DateFormatter()), ExportResult::Cancelled);
    memory.prompts.QueueFile(" \t ");
    EXPECT_EQ(ExportCache(memory, DateFormatter()), ExportResult::Cancelled);

    memory.urlHistory.SetAbsent(true);
    memory.prompts.QueueFile(folder.Path("history.html"));
    EXPECT_EQ(ExportHistory(memory, DateFormatter()), ExportResult::CollectionFailed);
    EXPECT_FALSE(folder.Exists("history.html"));

    // A folder that does not exist cannot take the file; nothing is shown.
    memory.prompts.QueueFile(folder.Path("missing\\cache.html"));
    EXPECT_EQ(ExportCache(memory, DateFormatter()), ExportResult::WriteFailed);
    EXPECT_TRUE(memory.prompts.messages().empty());
}

TEST(HtmlExport, ChosenPathIsTrimmedAndAnExistingReportReplaced) {
    MemoryPlatform memory;
    ScratchFolder folder;
    folder.MakeFile("cookies.html", std::string(5000, 'o'));
    memory.urlCache.Add(Cached("Cookie:ann@site.example/", "C:\\Cookies\\ann@site[1].txt"));
    memory.urlCache.Add(Cached("http://site.example/", "C:\\Cache\\index.htm"));
    memory.prompts.QueueFile("  " + folder.Path("cookies.html") + " \r\n");

    EXPECT_EQ(ExportCookies(memory, DateFormatter()), ExportResult::Written);
    const std::string onDisk = folder.Read("cookies.html");
    EXPECT_TRUE(onDisk.starts_with("<html>\r\n<head>\r\n<title>Internet Explorer Cookies</title>"));
    EXPECT_EQ(onDisk.find('o' + std::string(20, 'o')), std::string::npos);
    EXPECT_NE(onDisk.find("ann@site[1].txt &nbsp;&nbsp;Size: 10 bytes"), std::string::npos);
    // The cookie store alone is read: the content entry is not there.
    EXPECT_EQ(onDisk.find("index.htm"), std::string::npos);
}

TEST(HtmlExport, CacheFileSkipsHistoryAndCookieEntriesAndUnfinishedOnes) {
    MemoryPlatform memory;
    ScratchFolder folder;
    memory.urlCache.Add(Cached("Visited:ann@http://v.example/", "C:\\v.dat"));
    memory.urlCache.Add(Cached("Cookie:ann@c.example/", "C:\\c.txt"));
    memory.urlCache.Add(Cached("http://p.example/logo.gif", "C:\\Cache\\logo[1].gif", 2048));
    // The cache reports a size of 0 for entries it is still writing.
    memory.urlCache.Add(Cached("http://p.example/partial.js", "C:\\Cache\\partial.js", 0));
    memory.prompts.QueueFile(folder.Path("cache.html"));

    EXPECT_EQ(ExportCache(memory, DateFormatter()), ExportResult::Written);
    const std::string onDisk = folder.Read("cache.html");
    EXPECT_NE(onDisk.find("logo[1].gif &nbsp;&nbsp;Size: 2048 bytes &nbsp;&nbsp;Hits: 0"), std::string::npos);
    EXPECT_NE(onDisk.find("LastVisited: 06.05.2022 &nbsp;&nbsp;LastUpdated: unknown"), std::string::npos);
    EXPECT_EQ(onDisk.find("v.example"), std::string::npos);
    EXPECT_EQ(onDisk.find("c.example"), std::string::npos);
    EXPECT_EQ(onDisk.find("partial"), std::string::npos);
}

}  // namespace
}  // namespace qm
