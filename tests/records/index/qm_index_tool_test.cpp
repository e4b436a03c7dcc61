// qm-index run as a program, on index files built byte by byte: its output,
// its messages and its exit status.
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
using test::TitleForm;
using test::UrlRecordLayout;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

std::string Quoted(std::string_view text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted.push_back(c);
        }
    }
    return quoted + "'";
}

std::string Contents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

class QmIndexTool : public ::testing::Test {
protected:
    struct Outcome {
        int status = -1;
        std::string out;
        std::string err;
    };

    Outcome RunTool(const std::vector<std::string>& args) {
        std::string command = Quoted(QM_INDEX_TOOL);
        for (const std::string& arg : args) command += " " + Quoted(arg);
        const std::filesystem::path out = folder_.root() / "stdout";
        const std::filesystem::path err = folder_.root() / "stderr";
        command += " >" + Quoted(out.string()) + " 2>" + Quoted(err.string());
        const int raw = std::system(command.c_str());
        Outcome outcome;
        outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        outcome.out = Contents(out);
        outcome.err = Contents(err);
        std::filesystem::remove(out);
        std::filesystem::remove(err);
        return outcome;
    }

    std::string Write(std::string_view name, const IndexFileBuilder& file) {
        file.WriteTo(folder_.Local(name));
        return folder_.Local(name).string();
    }

    test::TempFolder folder_;
};

TEST_F(QmIndexTool, ReadPrintsEveryRecordInFileOrderWithItsTextsEscaped) {
    IndexFileBuilder file;
    file.Record({.url = "Visited: me@http://a.example/",
                 .updated = FileTime{132000000000000000ull},
                 .visited = FileTime{132000000000000001ull},
                 .title = u"Page A"});
    file.Block("HASH");
    file.Record({.url = "Visited: me@http://b/\t\\x\r\x1f\x7f\xe9", .title = u"Two\nlines\x01"});
    file.Record({.url = "Visited: me@http://c/", .title = u"Trailing", .form = TitleForm::Trailing});
    const std::string path = Write("index.dat", file);

    const Outcome outcome = RunTool({"read", path});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.err, "");
    EXPECT_THAT(Lines(outcome.out),
                ElementsAre("# " + path + "\tresult=1\tkind=History\trecords=3",
                            "132000000000000000\t132000000000000001\tVisited: me@http://a.example/\tPage A",
                            "0\t0\tVisited: me@http://b/\\t\\\\x\\r\\x1f\x7f\xe9\tTwo\\nlines\\x01",
                            "0\t0\tVisited: me@http://c/\tTrailing"));
}

TEST_F(QmIndexTool, ReadReportsEveryFileAndFailsWhenAnyWasNotRead) {
    IndexFileBuilder cookies("4.7");
    cookies.Record({.url = "Cookie:me@site/"});
    IndexFileBuilder shortFile("5.2", 1);
    shortFile.Resize(256);
    IndexFileBuilder notIndex;
    notIndex.Record({.url = "http://a/"});
    notIndex.Put(0, "Something else entirely");
    IndexFileBuilder noRecords;
    noRecords.Block("LEAK");

    const std::string other = Write("other.dat", cookies);
    const std::string tooShort = Write("short.dat", shortFile);
    const std::string notAnIndex = Write("not.dat", notIndex);
    const std::string empty = Write("empty.dat", noRecords);
    const std::string missing = folder_.Local("missing.dat").string();

    const Outcome outcome = RunTool({"read", other, tooShort, notAnIndex, empty, missing});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_THAT(Lines(outcome.out),
                ElementsAre("# " + other + "\tresult=-2\tkind=Cookies\trecords=1", "0\t0\tCookie:me@site/\t",
                            "# " + tooShort + "\tresult=0\tkind=none\trecords=0",
                            "# " + notAnIndex + "\tresult=-1\tkind=none\trecords=0",
                            "# " + empty + "\tresult=-3\tkind=none\trecords=0",
                            "# " + missing + "\tresult=0\tkind=none\trecords=0"));
    EXPECT_THAT(Lines(outcome.err), ElementsAre("qm-index: " + tooShort + ": too short",
                                                "qm-index: " + notAnIndex + ": not an index file",
                                                "qm-index: " + empty + ": no URL records",
                                                "qm-index: " + missing + ": cannot be opened"));

    // Another version alone is not a failure.
    EXPECT_EQ(RunTool({"read", other}).status, 0);
}

TEST_F(QmIndexTool, ListShowsTheIndexViewAligned) {
    IndexFileBuilder file;
    file.Record({.url = "Cookie:me@site.example/", .visited = FileTime{132000000000000000ull}});
    file.Record({.url = "Cookie: longer.name@x/", .updated = FileTime{132223104000000000ull}});
    file.Record({.url = "Cookie:nouser/"});
    const std::string path = Write("cookies.dat", file);

    const Outcome outcome = RunTool({"list", path});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.err, "");
    EXPECT_THAT(Lines(outcome.out), ElementsAre("User         URL            Last Visited  Last Updated",
                                                "-----------  -------------  ------------  ------------",
                                                "me           site.example/  17.04.2019    unknown",
                                                "longer.name  x/             unknown       01.01.2020",
                                                "             nouser/        unknown       unknown"));

    const Outcome missing = RunTool({"list", folder_.Local("missing.dat").string()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_THAT(missing.err, HasSubstr("missing.dat: cannot be opened"));
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

    const Outcome outcome = RunTool({"read", "--html", page, path});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, "");
    const std::string html = Contents(page);
    // The History layout whatever the file's kind, each line ended in CR LF
    // and no line end after the closing tag.
    EXPECT_THAT(html, StartsWith("<html>\r\n<head>\r\n<title>Internet Explorer History</title>\r\n"));
    EXPECT_THAT(html, ::testing::EndsWith("</body>\r\n</html>"));
    EXPECT_EQ(html.find("\n", 0) - 1, html.find("\r\n"));
    EXPECT_THAT(
        html, HasSubstr("A &amp; B</td></tr>\r\n<tr><td class=\"stable3\">Cookie:me@site.example/&lt;b&gt;"));
    EXPECT_THAT(html, HasSubstr("LastVisited: 17.04.2019 &nbsp;&nbsp;LastUpdated: 01.01.2020 "
                                "&nbsp;&nbsp;Expires: unknown"));
    EXPECT_THAT(html, HasSubstr("Untitled</td></tr>\r\n<tr><td class=\"stable3\">Cookie:me@other.example/"));

    // A file that gives no records writes nothing.
    IndexFileBuilder noRecords;
    noRecords.Block("LEAK");
    const std::string empty = Write("empty.dat", noRecords);
    const std::string none = folder_.Local("none.htm").string();
    const Outcome failed = RunTool({"read", "--html", none, empty});
    EXPECT_EQ(failed.status, 1);
    EXPECT_THAT(failed.err, HasSubstr("empty.dat: no URL records"));
    EXPECT_FALSE(std::filesystem::exists(none));

    const Outcome unwritable =
        RunTool({"read", "--html", folder_.Local("no/such/folder.htm").string(), path});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_THAT(unwritable.err, HasSubstr("folder.htm: cannot be written"));
}

TEST_F(QmIndexTool, SearchPrintsIndexFilesInTheSearchOrder) {
    folder_.MakeFile("tree\\b\\INDEX.DAT");
    folder_.MakeFile("tree\\a\\x\\index.dat");
    folder_.MakeFile("tree\\a\\index.dat.bak");
    folder_.MakeFile("tree\\a\\index_dat");
    const std::string tree = folder_.Local("tree").string();

    const Outcome outcome = RunTool({"search", tree + "/"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_THAT(Lines(outcome.out),
                ElementsAre(tree + "/a/index.dat.bak", tree + "/a/x/index.dat", tree + "/b/INDEX.DAT"));

    const Outcome notFolder = RunTool({"search", folder_.Local("tree/a/index_dat").string()});
    EXPECT_EQ(notFolder.status, 1);
    EXPECT_THAT(notFolder.err, HasSubstr("index_dat: not a folder"));
}

TEST_F(QmIndexTool, UsageErrorsExitWithTwoAndHelpWithZero) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{},
                                               {"read"},
                                               {"read", "--html", "out.htm"},
                                               {"read", "--html", "out.htm", "a", "b"},
                                               {"list"},
                                               {"list", "a", "b"},
                                               {"search"},
                                               {"search", "a", "b"},
                                               {"show", "a"}}) {
        const Outcome outcome = RunTool(args);
        EXPECT_EQ(outcome.status, 2) << ::testing::PrintToString(args);
        EXPECT_THAT(outcome.err, StartsWith("usage: qm-index"));
        EXPECT_EQ(outcome.out, "");
    }
    const Outcome help = RunTool({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out, IndexToolUsage());
    EXPECT_EQ(help.err, "");
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

}  // namespace
}  // namespace qm

namespace qm {
namespace {

// The texts of the two files below: an address holding a comma, quotes and
// a tab, a title outside the code page, bytes of the code page's upper
// half (one the code page leaves undefined), an empty title and none.
class QmIndexFormats : public QmIndexTool {
protected:
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
};

TEST_F(QmIndexFormats, ReadAsCsvAndJsonQuotesAndConvertsEveryText) {
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
             Row{{"--format", "tsv"},
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
        const Outcome outcome = RunTool(args);
        EXPECT_EQ(outcome.out, row.out) << row.format.front();
        EXPECT_EQ(outcome.err, "qm-index: " + missing + ": cannot be opened\n") << row.format.front();
        EXPECT_EQ(outcome.status, 1) << row.format.front();
    }
}

TEST_F(QmIndexFormats, ListGivesTheViewsColumnsInEachFormat) {
    IndexFileBuilder file;
    file.Record({.url = "Cookie:me@site.example/", .visited = FileTime{132000000000000000ull}});
    file.Record({.url = "Cookie: longer,name@x/", .updated = FileTime{132223104000000000ull}});
    const std::string path = Write("cookies.dat", file);
    struct Row {
        std::string format;
        std::string out;
    };
    for (const Row& row : {
             Row{"tsv",
                 "User\tURL\tLast Visited\tLast Updated\n"
                 "me\tsite.example/\t17.04.2019\tunknown\n"
                 "longer,name\tx/\tunknown\t01.01.2020\n"},
             Row{"csv",
                 "User,URL,Last Visited,Last Updated\r\n"
                 "me,site.example/,17.04.2019,unknown\r\n"
                 "\"longer,name\",x/,unknown,01.01.2020\r\n"},
             Row{"json",
                 "{\"User\":\"me\",\"URL\":\"site.example/\","
                 "\"Last Visited\":{\"text\":\"17.04.2019\",\"filetime\":132000000000000000,"
                 "\"utc\":\"2019-04-17T18:40:00Z\"},"
                 "\"Last Updated\":{\"text\":\"unknown\",\"filetime\":0,\"utc\":\"1601-01-01T00:00:00Z\"}}\n"
                 "{\"User\":\"longer,name\",\"URL\":\"x/\","
                 "\"Last Visited\":{\"text\":\"unknown\",\"filetime\":0,\"utc\":\"1601-01-01T00:00:00Z\"},"
                 "\"Last Updated\":{\"text\":\"01.01.2020\",\"filetime\":132223104000000000,"
                 "\"utc\":\"2020-01-01T00:00:00Z\"}}\n"},
         }) {
        const Outcome outcome = RunTool({"list", "--format", row.format, path});
        EXPECT_EQ(outcome.out, row.out) << row.format;
        EXPECT_EQ(outcome.err, "") << row.format;
        EXPECT_EQ(outcome.status, 0) << row.format;
    }
}

TEST_F(QmIndexFormats, AnUnknownOrMissingFormatIsAUsageError) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"read", "--format", "xml", "a"},
                                               {"read", "--format"},
                                               {"read", "--format=", "a"},
                                               {"list", "--format", "csv"},
                                               {"read", "--format", "csv"}}) {
        const Outcome outcome = RunTool(args);
        EXPECT_EQ(outcome.status, 2) << ::testing::PrintToString(args);
        EXPECT_THAT(outcome.err, StartsWith("usage: qm-index")) << ::testing::PrintToString(args);
    }
}

// A file's lines are held until its count is known, up to a limit; a file
// too large for that, or whose lines outgrow it midway, is walked twice.
// Each way prints the same, in every format.
TEST_F(QmIndexFormats, ReadPrintsTheSameWhetherItHoldsAFilesLinesOrWalksItTwice) {
    const std::vector<std::string> files = {WriteSample(), folder_.Local("missing.dat").string()};
    PosixFileSystem fileSystem;
    MemoryTextCodec codec;
    const auto read = [&](const std::string& format, std::size_t heldOutput) {
        std::ostringstream out;
        std::ostringstream err;
        IndexToolContext context{fileSystem, codec, out, err, {}};
        context.heldOutput = heldOutput;
        std::vector<std::string> args = {"read", "--format", format};
        args.insert(args.end(), files.begin(), files.end());
        const int status = RunIndexTool(args, context);
        return std::to_string(status) + "\n" + out.str() + err.str();
    };
    for (const std::string format : {"tsv", "csv", "json"}) {
        const std::string held = read(format, std::size_t{8} << 20);
        EXPECT_THAT(held, HasSubstr("http://c/")) << format;
        EXPECT_EQ(read(format, 0), held) << format << ": walked twice";
        EXPECT_EQ(read(format, 60), held) << format << ": outgrown after the first record";
    }
}

// The writers on texts whose special bytes fall on every side of the
// pieces of sixteen bytes they are looked at in.
TEST(IndexToolTexts, CsvQuotesOnlyWhatNeedsItAndJsonIsUtf8Escaped) {
    struct Row {
        std::string text;
        std::string csv;
        std::string json;
    };
    const std::string sixteen = "0123456789abcdef";
    for (const Row& row : {
             Row{"", "", "\"\""},
             Row{"plain text", "plain text", "\"plain text\""},
             Row{"a,b", "\"a,b\"", "\"a,b\""},
             Row{"say \"hi\"", "\"say \"\"hi\"\"\"", "\"say \\\"hi\\\"\""},
             Row{"tab\there", "tab\there", "\"tab\\there\""},
             Row{"cr\rlf\n", "\"cr\rlf\n\"", "\"cr\\rlf\\n\""},
             Row{"back\\slash\x01\x1f\x7f", "back\\slash\x01\x1f\x7f", "\"back\\\\slash\\u0001\\u001f\x7f\""},
             Row{"\xe9\x80\x81\x9f\xff", "\xe9\x80\x81\x9f\xff", "\"\u00e9\u20ac\u0081\u0178\u00ff\""},
             Row{sixteen + ",", "\"" + sixteen + ",\"", "\"" + sixteen + ",\""},
             Row{sixteen + "\"" + sixteen, "\"" + sixteen + "\"\"" + sixteen + "\"",
                 "\"" + sixteen + "\\\"" + sixteen + "\""},
             Row{sixteen.substr(1) + "\xe9", sixteen.substr(1) + "\xe9",
                 "\"" + sixteen.substr(1) + "\u00e9\""},
             Row{sixteen + "abcd", sixteen + "abcd", "\"" + sixteen + "abcd\""},
             Row{sixteen + "ab\"c", "\"" + sixteen + "ab\"\"c\"", "\"" + sixteen + "ab\\\"c\""},
             Row{sixteen + sixteen + "\n", "\"" + sixteen + sixteen + "\n\"",
                 "\"" + sixteen + sixteen + "\\n\""},
         }) {
        EXPECT_EQ(CsvField(row.text), row.csv) << ::testing::PrintToString(row.text);
        EXPECT_EQ(JsonString(row.text), row.json) << ::testing::PrintToString(row.text);
        EXPECT_EQ(EscapeIndexText(row.text).find_first_of("\t\n\r"), std::string::npos);
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
