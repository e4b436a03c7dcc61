// qm-index run as a program, on index files built byte by byte: its output,
// its messages and its exit status.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

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
