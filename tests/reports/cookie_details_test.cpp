#include "settings/cookie_details.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/memory/memory_platform.h"
#include "tests/reports/report_test_support.h"

namespace qm {
namespace {

using namespace std::string_literals;
using test::ScratchFolder;

TEST(CookieDetailsText, ShowsEveryLineButTheFilesLastLineBreak) {
    const std::string file =
        "SID\nabc123\nsite.example/\n1536\n2313174784\n30952421\n*\n"
        "PREF\nx=1\nsite.example/\n1536\n2313174784\n30952421\n*\n"
        "TZ\n-60\nsite.example/path\n0\n2313174784\n30952421\n*\n";
    const std::string shown = CookieDetailsText(file);
    EXPECT_EQ(shown,
              "SID\r\nabc123\r\nsite.example/\r\n1536\r\n2313174784\r\n30952421\r\n*\r\n"
              "PREF\r\nx=1\r\nsite.example/\r\n1536\r\n2313174784\r\n30952421\r\n*\r\n"
              "TZ\r\n-60\r\nsite.example/path\r\n0\r\n2313174784\r\n30952421\r\n*");
}

TEST(CookieDetailsText, CrLfFilesGetTheirCarriageReturnDoubled) {
    EXPECT_EQ(CookieDetailsText("a\r\nb\r\n"), "a\r\r\nb\r");
    // The last byte goes whatever it is.
    EXPECT_EQ(CookieDetailsText("name\nvalue"), "name\r\nvalu");
}

TEST(CookieDetailsText, StopsAtAZeroByteAndTakesTinyInputsWhole) {
    EXPECT_EQ(CookieDetailsText("ab\ncd\0ef\ngh\n"s), "ab\r\ncd");
    EXPECT_EQ(CookieDetailsText("\0abc"s), "");
    EXPECT_EQ(CookieDetailsText(""), "");
    EXPECT_EQ(CookieDetailsText("x"), "");
    EXPECT_EQ(CookieDetailsText("\n\n"), "\r\n");
}

TEST(CookieDetailsFile, UnreadableEmptyOrVanishedFilesShowNothing) {
    MemoryPlatform memory;
    ScratchFolder folder;
    folder.MakeFile("empty.txt", "");
    folder.MakeFolder("folder.txt");
    EXPECT_EQ(ReadCookieDetails(memory.fileSystem, folder.Path("empty.txt")), "");
    EXPECT_EQ(ReadCookieDetails(memory.fileSystem, folder.Path("deleted.txt")), "");
    EXPECT_EQ(ReadCookieDetails(memory.fileSystem, folder.Path("folder.txt")), "");
    EXPECT_EQ(ReadCookieDetails(memory.fileSystem, ""), "");
}

TEST(CookieDetailsFile, ReadsTheFileAndShowsAHugeOneUpToTheLimit) {
    MemoryPlatform memory;
    ScratchFolder folder;
    folder.MakeFile("ann@site[1].txt", "ID\n42\nsite/\n*\n");
    EXPECT_EQ(ReadCookieDetails(memory.fileSystem, folder.Path("ann@site[1].txt")), "ID\r\n42\r\nsite/\r\n*");

    const auto limit = static_cast<std::size_t>(kCookieDetailsLimit);
    folder.MakeFile("exact.txt", std::string(limit, 'e'));
    EXPECT_EQ(ReadCookieDetails(memory.fileSystem, folder.Path("exact.txt")), std::string(limit - 1, 'e'));
    // Beyond the limit the file's last byte is never read, so none is dropped.
    folder.MakeFile("huge.txt", std::string(limit, 'h') + "tail");
    EXPECT_EQ(ReadCookieDetails(memory.fileSystem, folder.Path("huge.txt")), std::string(limit, 'h'));
}

TEST(CookieDetailsPath, TakesTheTrimmedFileCellAndNothingWhenBlank) {
    EXPECT_EQ(CookieDetailsPath("  C:\\Cookies\\ann@site[1].txt \t"), "C:\\Cookies\\ann@site[1].txt");
    EXPECT_FALSE(CookieDetailsPath(""));
    EXPECT_FALSE(CookieDetailsPath(" \r\n"));
}

}  // namespace
}  // namespace qm
