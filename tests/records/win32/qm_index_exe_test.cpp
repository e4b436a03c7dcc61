// qm-index.exe run under Wine as a user runs it, on a file the test writes:
// its output lines, its message and its exit status. What it prints for
// each command is tested natively in tests/records/index/qm_index_tool_test.cpp.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <sstream>

#include "tests/records/index/index_file_builder.h"
#include "tests/platform/win32/win32_temp_folder.h"

namespace qm::test {
namespace {

using ::testing::ElementsAre;

// The program's path as this build wrote it, in Windows form: a path of
// the build machine's root ("/work/...") is reached through Wine's Z: drive.
std::string ToolPath() {
    std::string path = QM_INDEX_TOOL;
    for (char& c : path)
        if (c == '/') c = '\\';
    if (!path.empty() && path.front() == '\\') path.insert(0, "Z:");
    return path;
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
    void SetUp() override { ASSERT_TRUE(tree_.valid()); }

    struct Outcome {
        DWORD status = 0xFFFFFFFF;
        std::string out;
        std::string err;
    };

    Outcome RunTool(const std::vector<std::string>& args) {
        std::string command = "\"" + ToolPath() + "\"";
        for (const std::string& arg : args) command += " \"" + arg + "\"";
        SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
        HANDLE out = CreateFileA(tree_.Path("stdout.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        HANDLE err = CreateFileA(tree_.Path("stderr.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = out;
        startup.hStdError = err;
        PROCESS_INFORMATION process{};
        const BOOL started = out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE &&
                             CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                            nullptr, nullptr, &startup, &process);
        if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
        if (err != INVALID_HANDLE_VALUE) CloseHandle(err);
        Outcome outcome;
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
        outcome.out = tree_.Contents("stdout.txt");
        outcome.err = tree_.Contents("stderr.txt");
        return outcome;
    }

    std::string Write(std::string_view name, const IndexFileBuilder& file) {
        tree_.MakeFile(name, file.bytes());
        return tree_.Path(name);
    }

    TempFolder tree_;
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

TEST_F(QmIndexExe, ReadPrintsAFilesRecordsWithTitlesInTheAnsiCodePageAndFailsOnAMissingOne) {
    IndexFileBuilder file;
    file.Record({.url = "Visited: me@http://a.example/",
                 .updated = FileTime{132000000000000000ull},
                 .visited = FileTime{132000000000000001ull},
                 .title = u"Caf\u00e9 A"});
    const std::string path = Write("History\\index.dat", file);
    const std::string missing = tree_.Path("missing.dat");

    const Outcome outcome = RunTool({"read", path, missing});
    EXPECT_EQ(outcome.status, 1u);
    EXPECT_THAT(Lines(outcome.out),
                ElementsAre("# " + Escaped(path) + "\tresult=1\tkind=History\trecords=1",
                            "132000000000000000\t132000000000000001\tVisited: me@http://a.example/\t" +
                                Ansi(u"Caf\u00e9 A"),
                            "# " + Escaped(missing) + "\tresult=0\tkind=none\trecords=0"));
    EXPECT_THAT(Lines(outcome.err), ElementsAre("qm-index: " + Escaped(missing) + ": cannot be opened"));
}

}  // namespace
}  // namespace qm::test
