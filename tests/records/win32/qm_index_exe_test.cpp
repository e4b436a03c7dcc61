// qm-index.exe run under Wine as a user runs it, on index files and trees
// the test writes: its output lines, its messages and its exit status.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "tests/records/index/index_file_builder.h"
#include "tests/records/win32/index_dialog_driver.h"

namespace qm::test {
namespace {

using ::testing::ElementsAre;
using ::testing::StartsWith;

// The program's path as this build wrote it, in Windows form: a path of
// the build machine's root ("/work/...") is reached through Wine's Z: drive.
std::string ToolPath() {
    std::string path = QM_INDEX_TOOL;
    for (char& c : path)
        if (c == '/') c = '\\';
    if (!path.empty() && path.front() == '\\') path.insert(0, "Z:");
    return path;
}

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The lines of a text-mode output: each must end in "\r\n".
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        EXPECT_TRUE(!line.empty() && line.back() == '\r') << "line without CR: " << line;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string Ansi(std::u16string_view text) {
    const int size = WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(text.data()),
                                         static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(text.data()),
                        static_cast<int>(text.size()), ansi.data(), size, nullptr, nullptr);
    return ansi;
}

class QmIndexExe : public ::testing::Test {
protected:
    struct Outcome {
        DWORD status = 0xFFFFFFFF;
        std::string out;
        std::string err;
    };

    Outcome RunTool(const std::vector<std::string>& args) {
        std::string command = "\"" + ToolPath() + "\"";
        for (const std::string& arg : args) command += " \"" + arg + "\"";
        // Fresh names for every run: a file just deleted may still be
        // pending deletion and refuse to be made again.
        ++runs_;
        const std::string outPath = tree_.Path("stdout" + std::to_string(runs_) + ".txt");
        const std::string errPath = tree_.Path("stderr" + std::to_string(runs_) + ".txt");
        SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
        HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        HANDLE err = CreateFileA(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        Outcome outcome;
        if (out == INVALID_HANDLE_VALUE || err == INVALID_HANDLE_VALUE) {
            ADD_FAILURE() << "cannot make the output files";
            return outcome;
        }
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = out;
        startup.hStdError = err;
        PROCESS_INFORMATION process{};
        const BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                            nullptr, nullptr, &startup, &process);
        CloseHandle(out);
        CloseHandle(err);
        if (!started) {
            ADD_FAILURE() << "cannot start " << command << ": error " << GetLastError();
            return outcome;
        }
        if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) {
            ADD_FAILURE() << "qm-index did not end: " << command;
            TerminateProcess(process.hProcess, 99);
            WaitForSingleObject(process.hProcess, 5000);
        }
        GetExitCodeProcess(process.hProcess, &outcome.status);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        outcome.out = Contents(outPath);
        outcome.err = Contents(errPath);
        return outcome;
    }

    std::string Write(std::string_view name, const IndexFileBuilder& file) {
        tree_.MakeFile(name, file.bytes());
        return tree_.Path(name);
    }

    TempTree tree_;
    int runs_ = 0;
};

// Paths are texts like any other in the output: escaped, so "\" is doubled.
std::string Escaped(const std::string& path) {
    std::string escaped;
    for (char c : path) {
        escaped.push_back(c);
        if (c == '\\') escaped.push_back(c);
    }
    return escaped;
}

TEST_F(QmIndexExe, ReadPrintsTheRecordsOfAFileWithTitlesInTheAnsiCodePage) {
    IndexFileBuilder file;
    file.Record({.url = "Visited: me@http://a.example/",
                 .updated = FileTime{132000000000000000ull},
                 .visited = FileTime{132000000000000001ull},
                 .title = u"Caf\u00e9 A"});
    file.Block("HASH");
    file.Record({.url = "Visited: me@http://b/\tx", .title = u"Two\nlines", .form = TitleForm::Trailing});
    const std::string path = Write("History\\index.dat", file);

    const Outcome outcome = RunTool({"read", path});
    EXPECT_EQ(outcome.status, 0u);
    EXPECT_EQ(outcome.err, "");
    EXPECT_THAT(Lines(outcome.out),
                ElementsAre("# " + Escaped(path) + "\tresult=1\tkind=History\trecords=2",
                            "132000000000000000\t132000000000000001\tVisited: me@http://a.example/\t" +
                                Ansi(u"Caf\u00e9 A"),
                            "0\t0\tVisited: me@http://b/\\tx\tTwo\\nlines"));
}

TEST_F(QmIndexExe, ListAndFailuresAsNatively) {
    IndexFileBuilder cookies("4.7");
    cookies.Record({.url = "Cookie:me@site.example/", .visited = FileTime{132000000000000000ull}});
    const std::string path = Write("cookies.dat", cookies);
    const std::string missing = tree_.Path("missing.dat");

    const Outcome list = RunTool({"list", path});
    EXPECT_EQ(list.status, 0u);
    EXPECT_THAT(Lines(list.out), ElementsAre("User  URL            Last Visited  Last Updated",
                                             "----  -------------  ------------  ------------",
                                             "me    site.example/  17.04.2019    unknown"));

    const Outcome read = RunTool({"read", path, missing});
    EXPECT_EQ(read.status, 1u);
    EXPECT_THAT(Lines(read.out), ElementsAre("# " + Escaped(path) + "\tresult=-2\tkind=Cookies\trecords=1",
                                             "0\t132000000000000000\tCookie:me@site.example/\t",
                                             "# " + Escaped(missing) + "\tresult=0\tkind=none\trecords=0"));
    EXPECT_THAT(Lines(read.err), ElementsAre("qm-index: " + Escaped(missing) + ": cannot be opened"));

    const Outcome usage = RunTool({});
    EXPECT_EQ(usage.status, 2u);
    EXPECT_THAT(usage.err, StartsWith("usage: qm-index"));
}

TEST_F(QmIndexExe, SearchPrintsWindowsPathsInSearchOrderEscaped) {
    tree_.MakeFile("tree\\b\\INDEX.DAT");
    tree_.MakeFile("tree\\a\\x\\index.dat");
    tree_.MakeFile("tree\\a\\index.dat.bak");
    tree_.MakeFile("tree\\a\\index_dat");
    const std::string tree = tree_.Path("tree");

    const Outcome outcome = RunTool({"search", tree});
    EXPECT_EQ(outcome.status, 0u);
    EXPECT_THAT(Lines(outcome.out),
                ElementsAre(Escaped(tree + "\\a\\index.dat.bak"), Escaped(tree + "\\a\\x\\index.dat"),
                            Escaped(tree + "\\b\\INDEX.DAT")));
}

}  // namespace
}  // namespace qm::test
