// qm-index on index files built byte by byte: its output in each format,
// its messages and its exit status, run in the test's process with what
// the program's main supplies, and once as the program itself.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/memory/memory_platform.h"
#include "platform/posix/posix_file_system.h"
#include "tests/records/index/index_file_builder.h"
#include "tests/records/index/temp_folder.h"
#include "tools/qm-index/index_tool.h"

namespace qm {
namespace {

using test::IndexFileBuilder;
using ::testing::HasSubstr;

std::string Contents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class QmIndexTool : public ::testing::Test {
protected:
    struct Outcome {
        int status = -1;
        std::string out;
        std::string err;
    };

    Outcome Run(const std::vector<std::string>& args, std::size_t heldOutput = std::size_t{8} << 20) {
        std::ostringstream out;
        std::ostringstream err;
        IndexToolContext context{fileSystem_, codec_, out, err, &PosixFileSystem::LocalPath};
        context.utf8Paths = true;
        context.heldOutput = heldOutput;
        const int status = RunIndexTool(args, context);
        return {status, out.str(), err.str()};
    }

    std::string Write(std::string_view name, const IndexFileBuilder& file) {
        file.WriteTo(folder_.Local(name));
        return folder_.Local(name).string();
    }

    // An address holding a comma, quotes and a tab, a title outside the
    // code page, bytes of the code page's upper half (one the code page
    // leaves undefined), an empty title and none.
    std::string WriteSample() {
        IndexFileBuilder file;
        file.Record({.url = "Visited: me@http://a.example/?q=1,2\"x\"\ty",
                     .updated = FileTime{132000000000000000ull},
                     .visited = FileTime{132000000000000001ull},
                     .title = u"Caf\u00e9 \u65e5\u672c"});
        file.Record({.url = "http://b.example/\xe9\x80\x81", .title = u""});
        file.Record({.url = "http://c/"});
        return Write("index.dat", file);
    }

    test::TempFolder folder_;
    PosixFileSystem fileSystem_;
    MemoryTextCodec codec_;
};

TEST_F(QmIndexTool, ReadPrintsEveryFilesRecordsInEachFormat) {
    const std::string path = WriteSample();
    const std::string missing = folder_.Local("missing.dat").string();
    struct Row {
        std::vector<std::string> format;
        std::string out;
    };
    const std::string titleAnsi = "Caf\xe9 ??";  // the code page has no Japanese letters
    for (const Row& row : {
             Row{{"--format", "csv"},
                 "file,lastUpdated,lastVisited,url,title\r\n" + path +
                     ",132000000000000000,132000000000000001,\"Visited: "
                     "me@http://a.example/?q=1,2\"\"x\"\"\ty\"," +
                     titleAnsi + "\r\n" + path + ",0,0,http://b.example/\xe9\x80\x81,\r\n" + path +
                     ",0,0,http://c/,\r\n"},
             Row{{"--format=json"},
                 "{\"file\":\"" + path +
                     "\",\"result\":1,\"kind\":\"History\",\"records\":3}\n"
                     "{\"lastUpdated\":132000000000000000,\"lastUpdatedUtc\":\"2019-04-17T18:40:00Z\","
                     "\"lastVisited\":132000000000000001,\"lastVisitedUtc\":\"2019-04-17T18:40:00.0000001Z\","
                     "\"url\":\"Visited: me@http://a.example/?q=1,2\\\"x\\\"\\ty\",\"title\":\"Caf\u00e9 "
                     "??\"}\n"
                     "{\"lastUpdated\":0,\"lastUpdatedUtc\":\"1601-01-01T00:00:00Z\",\"lastVisited\":0,"
                     "\"lastVisitedUtc\":\"1601-01-01T00:00:00Z\",\"url\":\"http://b.example/"
                     "\u00e9\u20ac\u0081\","
                     "\"title\":\"\"}\n"
                     "{\"lastUpdated\":0,\"lastUpdatedUtc\":\"1601-01-01T00:00:00Z\",\"lastVisited\":0,"
                     "\"lastVisitedUtc\":\"1601-01-01T00:00:00Z\",\"url\":\"http://c/\",\"title\":\"\"}\n"
                     "{\"file\":\"" +
                     missing + "\",\"result\":0,\"kind\":null,\"records\":0}\n"},
             Row{{},
                 "# " + path + "\tresult=1\tkind=History\trecords=3\n" +
                     "132000000000000000\t132000000000000001\tVisited: "
                     "me@http://a.example/?q=1,2\"x\"\\ty\t" +
                     titleAnsi + "\n0\t0\thttp://b.example/\xe9\x80\x81\t\n0\t0\thttp://c/\t\n# " + missing +
                     "\tresult=0\tkind=none\trecords=0\n"},
         }) {
        std::vector<std::string> args = {"read"};
        args.insert(args.end(), row.format.begin(), row.format.end());
        args.push_back(path);
        args.push_back(missing);
        const Outcome outcome = Run(args);
        const std::string format = row.format.empty() ? "tsv" : row.format.back();
        EXPECT_EQ(outcome.out, row.out) << format;
        EXPECT_EQ(outcome.err, "qm-index: " + missing + ": cannot be opened\n") << format;
        EXPECT_EQ(outcome.status, kToolFileFailed) << format;

        // A file's lines are held until its count is known, up to a limit;
        // a file too large for that, or whose lines outgrow it midway, is
        // walked twice. Each way prints the same.
        EXPECT_EQ(Run(args, 0).out, row.out) << format << ": walked twice";
        EXPECT_EQ(Run(args, 60).out, row.out) << format << ": outgrown after the first record";
    }
}

TEST_F(QmIndexTool, ReadNamesWhyEachFileWasNotReadAndAnotherVersionIsNoFailure) {
    IndexFileBuilder cookies("4.7");
    cookies.Record({.url = "Cookie:me@site/"});
    IndexFileBuilder notIndex;
    notIndex.Record({.url = "http://a/"});
    notIndex.Put(0, "Something else entirely");
    const std::string other = Write("other.dat", cookies);
    const std::string tooShort = Write("short.dat", IndexFileBuilder("5.2", 1).Resize(256));
    const std::string notAnIndex = Write("not.dat", notIndex);
    const std::string empty = Write("empty.dat", IndexFileBuilder().Put(2 * test::kBlock, "LEAK"));

    const Outcome outcome = Run({"read", other, tooShort, notAnIndex, empty});
    EXPECT_EQ(outcome.status, kToolFileFailed);
    EXPECT_EQ(outcome.out,
              "# " + other + "\tresult=-2\tkind=Cookies\trecords=1\n0\t0\tCookie:me@site/\t\n# " + tooShort +
                  "\tresult=0\tkind=none\trecords=0\n# " + notAnIndex +
                  "\tresult=-1\tkind=none\trecords=0\n# " + empty + "\tresult=-3\tkind=none\trecords=0\n");
    EXPECT_EQ(outcome.err, "qm-index: " + tooShort + ": too short\nqm-index: " + notAnIndex +
                               ": not an index file\nqm-index: " + empty + ": no URL records\n");
    EXPECT_EQ(Run({"read", other}).status, kToolSuccess);
}

TEST_F(QmIndexTool, ListShowsTheIndexViewInEachFormat) {
    IndexFileBuilder file;
    file.Record({.url = "Cookie:me@site.example/", .visited = FileTime{132000000000000000ull}});
    file.Record({.url = "Cookie: longer,name@x/", .updated = FileTime{132223104000000000ull}});
    file.Record({.url = "Cookie:nouser/"});
    const std::string path = Write("cookies.dat", file);
    struct Row {
        std::string format;
        std::string out;
    };
    for (const Row& row : {
             Row{"",
                 "User         URL            Last Visited  Last Updated\n"
                 "-----------  -------------  ------------  ------------\n"
                 "me           site.example/  17.04.2019    unknown\n"
                 "longer,name  x/             unknown       01.01.2020\n"
                 "             nouser/        unknown       unknown\n"},
             Row{"tsv",
                 "User\tURL\tLast Visited\tLast Updated\n"
                 "me\tsite.example/\t17.04.2019\tunknown\n"
                 "longer,name\tx/\tunknown\t01.01.2020\n"
                 "\tnouser/\tunknown\tunknown\n"},
             Row{"csv",
                 "User,URL,Last Visited,Last Updated\r\n"
                 "me,site.example/,17.04.2019,unknown\r\n"
                 "\"longer,name\",x/,unknown,01.01.2020\r\n"
                 ",nouser/,unknown,unknown\r\n"},
             Row{"json",
                 "{\"User\":\"me\",\"URL\":\"site.example/\","
                 "\"Last Visited\":{\"text\":\"17.04.2019\",\"filetime\":132000000000000000,"
                 "\"utc\":\"2019-04-17T18:40:00Z\"},"
                 "\"Last Updated\":{\"text\":\"unknown\",\"filetime\":0,\"utc\":\"1601-01-01T00:00:00Z\"}}\n"
                 "{\"User\":\"longer,name\",\"URL\":\"x/\","
                 "\"Last Visited\":{\"text\":\"unknown\",\"filetime\":0,\"utc\":\"1601-01-01T00:00:00Z\"},"
                 "\"Last Updated\":{\"text\":\"01.01.2020\",\"filetime\":132223104000000000,"
                 "\"utc\":\"2020-01-01T00:00:00Z\"}}\n"
                 "{\"User\":\"\",\"URL\":\"nouser/\","
                 "\"Last Visited\":{\"text\":\"unknown\",\"filetime\":0,\"utc\":\"1601-01-01T00:00:00Z\"},"
                 "\"Last "
                 "Updated\":{\"text\":\"unknown\",\"filetime\":0,\"utc\":\"1601-01-01T00:00:00Z\"}}\n"},
         }) {
        const Outcome outcome =
            Run(row.format.empty() ? std::vector<std::string>{"list", path}
                                   : std::vector<std::string>{"list", "--format", row.format, path});
        EXPECT_EQ(outcome.out, row.out) << row.format;
        EXPECT_EQ(outcome.err, "") << row.format;
        EXPECT_EQ(outcome.status, kToolSuccess) << row.format;
    }
    const Outcome missing = Run({"list", folder_.Local("missing.dat").string()});
    EXPECT_EQ(missing.status, kToolFileFailed);
    EXPECT_EQ(missing.out, "");
}

TEST_F(QmIndexTool, ReadHtmlWritesTheRecordsAsAHistoryReport) {
    IndexFileBuilder file("4.7");
    file.Record({.url = "Cookie:me@site.example/<b>",
                 .updated = FileTime{132223104000000000ull},
                 .visited = FileTime{132000000000000000ull},
                 .title = u"A & B"});
    file.Record({.url = "Cookie:me@other.example/"});
    const std::string path = Write("cookies.dat", file);
    const std::string page = folder_.Local("report.htm").string();

    const Outcome outcome = Run({"read", "--html", page, path});
    EXPECT_EQ(outcome.status, kToolSuccess);
    EXPECT_EQ(outcome.out + outcome.err, "");
    const std::string html = Contents(page);
    // The History layout whatever the file's kind, each line ended in CR LF
    // and no line end after the closing tag.
    EXPECT_TRUE(html.starts_with("<html>\r\n<head>\r\n<title>Internet Explorer History</title>\r\n"));
    EXPECT_TRUE(html.ends_with("</body>\r\n</html>"));
    EXPECT_THAT(
        html, HasSubstr("A &amp; B</td></tr>\r\n<tr><td class=\"stable3\">Cookie:me@site.example/&lt;b&gt;"));
    EXPECT_THAT(html, HasSubstr("LastVisited: 17.04.2019 &nbsp;&nbsp;LastUpdated: 01.01.2020 "
                                "&nbsp;&nbsp;Expires: unknown"));
    EXPECT_THAT(html, HasSubstr("Untitled</td></tr>\r\n<tr><td class=\"stable3\">Cookie:me@other.example/"));

    // A file that gives no records writes nothing.
    const std::string empty = Write("empty.dat", IndexFileBuilder().Put(2 * test::kBlock, "LEAK"));
    const std::string none = folder_.Local("none.htm").string();
    const Outcome failed = Run({"read", "--html", none, empty});
    EXPECT_EQ(failed.status, kToolFileFailed);
    EXPECT_FALSE(std::filesystem::exists(none));

    const Outcome unwritable = Run({"read", "--html", folder_.Local("no/such/folder.htm").string(), path});
    EXPECT_EQ(unwritable.status, kToolFileFailed);
    EXPECT_THAT(unwritable.err, HasSubstr("folder.htm: cannot be written"));
}

TEST_F(QmIndexTool, SearchPrintsIndexFilesInTheSearchOrder) {
    folder_.MakeFile("tree\\b\\INDEX.DAT");
    folder_.MakeFile("tree\\a\\x\\index.dat");
    folder_.MakeFile("tree\\a\\index.dat.bak");
    folder_.MakeFile("tree\\a\\index_dat");
    const std::string tree = folder_.Local("tree").string();

    const Outcome outcome = Run({"search", tree + "/"});
    EXPECT_EQ(outcome.status, kToolSuccess);
    EXPECT_EQ(outcome.out, tree + "/a/index.dat.bak\n" + tree + "/a/x/index.dat\n" + tree + "/b/INDEX.DAT\n");

    const Outcome notFolder = Run({"search", folder_.Local("tree/a/index_dat").string()});
    EXPECT_EQ(notFolder.status, kToolFileFailed);
    EXPECT_THAT(notFolder.err, HasSubstr("index_dat: not a folder"));
}

TEST_F(QmIndexTool, UsageErrorsPrintTheUsageAndHelpPrintsItOnItsOwn) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{},
                                               {"read"},
                                               {"read", "--html", "out.htm"},
                                               {"read", "--html", "out.htm", "a", "b"},
                                               {"list"},
                                               {"list", "a", "b"},
                                               {"search"},
                                               {"search", "a", "b"},
                                               {"show", "a"},
                                               {"read", "--format", "xml", "a"},
                                               {"read", "--format"},
                                               {"read", "--format=", "a"},
                                               {"list", "--format", "csv"},
                                               {"read", "--format", "csv"}}) {
        const Outcome outcome = Run(args);
        EXPECT_EQ(outcome.status, kToolUsageError) << ::testing::PrintToString(args);
        EXPECT_EQ(outcome.err, IndexToolUsage()) << ::testing::PrintToString(args);
        EXPECT_EQ(outcome.out, "") << ::testing::PrintToString(args);
    }
    const Outcome help = Run({"--help"});
    EXPECT_EQ(help.status, kToolSuccess);
    EXPECT_EQ(help.out, IndexToolUsage());
    EXPECT_TRUE(help.out.starts_with("usage: qm-index read [--format tsv|csv|json] FILE...\n"));
    EXPECT_EQ(help.err, "");
}

// The program itself: its main hands the arguments, the streams and the
// exit status through, and CSV's line ends reach the file unchanged.
TEST_F(QmIndexTool, TheProgramGivesWhatTheCommandGives) {
    const std::vector<std::string> args = {"read", "--format", "csv", WriteSample(),
                                           folder_.Local("missing.dat").string()};
    std::string command = QM_INDEX_TOOL;
    for (const std::string& arg : args) command += " '" + arg + "'";
    const std::filesystem::path out = folder_.root() / "stdout";
    const std::filesystem::path err = folder_.root() / "stderr";
    command += " >'" + out.string() + "' 2>'" + err.string() + "'";
    const int raw = std::system(command.c_str());
    EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, kToolFileFailed);
    EXPECT_TRUE(Contents(out).starts_with("file,lastUpdated,lastVisited,url,title\r\n" + args[3] + ",13200"));
    EXPECT_EQ(Contents(err), "qm-index: " + args[4] + ": cannot be opened\n");
}

TEST(IndexToolTable, PadsEveryColumnButTheLastAndEscapesCells) {
    IndexView view;
    view.columns = {{"A", 10, 0, false}, {"Long title", 10, 0, false}, {"C", 10, 0, false}};
    view.rows.push_back({{{"x\ty"}, {"1"}, {"end "}}});
    view.rows.push_back({{{""}, {""}, {""}}});
    EXPECT_EQ(FormatIndexTable(view),
              "A     Long title  C\n"
              "----  ----------  ----\n"
              "x\\ty  1           end \n"
              "\n");
}

// The writers on texts whose special bytes fall on every side of the
// pieces of sixteen bytes they are looked at in.
TEST(IndexToolTexts, EscapedCsvAndJsonTexts) {
    struct Row {
        std::string text;
        std::string escaped;
        std::string csv;
        std::string json;
    };
    const std::string sixteen = "0123456789abcdef";
    for (const Row& row : {
             Row{"", "", "", "\"\""},
             Row{"plain text", "plain text", "plain text", "\"plain text\""},
             Row{"a,b", "a,b", "\"a,b\"", "\"a,b\""},
             Row{"say \"hi\"", "say \"hi\"", "\"say \"\"hi\"\"\"", "\"say \\\"hi\\\"\""},
             Row{"tab\there", "tab\\there", "tab\there", "\"tab\\there\""},
             Row{"cr\rlf\n", "cr\\rlf\\n", "\"cr\rlf\n\"", "\"cr\\rlf\\n\""},
             Row{"back\\slash\x01\x1f\x7f", "back\\\\slash\\x01\\x1f\x7f", "back\\slash\x01\x1f\x7f",
                 "\"back\\\\slash\\u0001\\u001f\x7f\""},
             Row{"\xe9\x80\x81\x9f\xff", "\xe9\x80\x81\x9f\xff", "\xe9\x80\x81\x9f\xff",
                 "\"\u00e9\u20ac\u0081\u0178\u00ff\""},
             Row{sixteen + ",", sixteen + ",", "\"" + sixteen + ",\"", "\"" + sixteen + ",\""},
             Row{sixteen + "\"" + sixteen, sixteen + "\"" + sixteen, "\"" + sixteen + "\"\"" + sixteen + "\"",
                 "\"" + sixteen + "\\\"" + sixteen + "\""},
             Row{sixteen.substr(1) + "\xe9", sixteen.substr(1) + "\xe9", sixteen.substr(1) + "\xe9",
                 "\"" + sixteen.substr(1) + "\u00e9\""},
             Row{sixteen + "abcd", sixteen + "abcd", sixteen + "abcd", "\"" + sixteen + "abcd\""},
             Row{sixteen + "ab\"c", sixteen + "ab\"c", "\"" + sixteen + "ab\"\"c\"",
                 "\"" + sixteen + "ab\\\"c\""},
             Row{sixteen + sixteen + "\n", sixteen + sixteen + "\\n", "\"" + sixteen + sixteen + "\n\"",
                 "\"" + sixteen + sixteen + "\\n\""},
         }) {
        EXPECT_EQ(EscapeIndexText(row.text), row.escaped) << ::testing::PrintToString(row.text);
        EXPECT_EQ(CsvField(row.text), row.csv) << ::testing::PrintToString(row.text);
        EXPECT_EQ(JsonString(row.text), row.json) << ::testing::PrintToString(row.text);
    }
}

TEST(IndexToolTexts, JsonTimesAreIsoUtcWithinThePlatformsLimits) {
    for (const auto& [ticks, utc] : std::vector<std::pair<uint64_t, std::string>>{
             {0, "\"1601-01-01T00:00:00Z\""},
             {132000000000000000ull, "\"2019-04-17T18:40:00Z\""},
             {132000000000000001ull, "\"2019-04-17T18:40:00.0000001Z\""},
             {132000000012345670ull, "\"2019-04-17T18:40:01.2345670Z\""},
             {2650467743990000000ull, "\"9999-12-31T23:59:59Z\""},
             {2650467744000000000ull, "\"+10000-01-01T00:00:00Z\""},
             {0x7FFFFFFFFFFFFFFFull, "\"+30828-09-14T02:48:05.4775807Z\""},
             {0x8000000000000000ull, "null"},
         }) {
        EXPECT_EQ(JsonUtcTime(FileTime{ticks}), utc) << ticks;
    }
}

}  // namespace
}  // namespace qm
