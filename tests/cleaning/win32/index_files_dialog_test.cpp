// "Clean up Index files" under Wine. Wine reports a system that schedules
// through its own delayed deletions: the boxes open showing what is already
// scheduled, OK makes the checked boxes the whole schedule and leaves every
// other program's pending operation as it was, unit for unit, Cancel
// changes nothing. The older generation's run-once command is driven
// through the same window with the OS version put at 5, and Purgelet.dll
// is run as the next logon runs it. Which files are scheduled and how a
// withdrawal keeps the rest is decided and tested natively.
#include "cleaning/win32/index_files_dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "cleaning/index_removal.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_registry.h"
#include "resources/cleaning_ids.h"
#include "tests/cleaning/win32/cleaning_dialog_fixture.h"
#include "tests/platform/win32/win32_temp_folder.h"

namespace qm {
namespace {

using namespace std::string_literals;

// Another program's pending operations, in the scripts an installer meets:
// a rename below a Polish user's folder, a Cyrillic and a Japanese deletion.
// The ANSI code page holds none of them.
const std::u16string kOtherPrograms =
    u"\\??\\C:\\Users\\\u0141ukasz\\AppData\\new.dll\0\\??\\C:\\Users\\\u0141ukasz\\AppData\\old.dll\0"
    u"\\??\\C:\\\u0412\u0440\u0435\u043c\u044f\\\u043e\u0442\u0447\u0451\u0442.tmp\0\0"
    u"\\??\\C:\\\u30e6\u30fc\u30b6\u30fc\\\u8a2d\u5b9a.ini\0\0\0"s;

std::u16string Wide(const std::string& text) {
    std::u16string wide(text.size(), u'\0');
    const int length =
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                            reinterpret_cast<wchar_t*>(wide.data()), static_cast<int>(wide.size()));
    wide.resize(static_cast<std::size_t>(std::max(length, 0)));
    return wide;
}

// The shared list as the system keeps it, read and written with the
// system's own "W" calls, past the adapter under test.
class SessionManagerValue {
public:
    SessionManagerValue() {
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, std::string(kSessionManagerKey).c_str(), 0, KEY_ALL_ACCESS, &key_);
    }
    ~SessionManagerValue() {
        if (key_) RegCloseKey(key_);
    }
    bool valid() const { return key_ != nullptr; }

    std::optional<std::u16string> Get() const {
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExW(key_, kName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return std::nullopt;
        std::u16string units(size / 2, u'\0');
        if (RegQueryValueExW(key_, kName, nullptr, &type, reinterpret_cast<BYTE*>(units.data()), &size) !=
                ERROR_SUCCESS ||
            type != REG_MULTI_SZ)
            return std::nullopt;
        units.resize(size / 2);
        return units;
    }
    void Set(const std::optional<std::u16string>& units) const {
        if (!units) {
            RegDeleteValueW(key_, kName);
            return;
        }
        RegSetValueExW(key_, kName, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(units->data()),
                       static_cast<DWORD>(units->size() * 2));
    }

private:
    static constexpr const wchar_t* kName = L"PendingFileRenameOperations";
    HKEY key_ = nullptr;
};

class FixedOsVersion final : public OsVersion {
public:
    explicit FixedOsVersion(uint32_t major) : major_(major) {}
    std::optional<uint32_t> MajorVersion() override { return major_; }

private:
    uint32_t major_;
};

class IndexFilesDialogTest : public ::testing::Test {
protected:
    // Opens the dialog, reports the boxes as it opened, runs `look`, clicks
    // `clicks` and then `button`.
    INT_PTR Run(DialogTestPlatform& test, IndexBoxes& shown, std::initializer_list<int> clicks, int button,
                const DialogDriver::Step& look = {}) {
        owner.Script({[&](HWND dialog) {
            shown = {Checked(dialog, IDC_QM_INDEX_HISTORY), Checked(dialog, IDC_QM_INDEX_COOKIES),
                     Checked(dialog, IDC_QM_INDEX_CACHE)};
            if (look) look(dialog);
            for (int id : clicks) ClickAsMouse(dialog, id);
            ClickAsMouse(dialog, button);
        }});
        const INT_PTR result = RunIndexFilesDialog(GetModuleHandleA(nullptr), owner.owner(), test.platform);
        EXPECT_FALSE(owner.ranOut());
        return result;
    }

    CleanupOwner owner;
};

class DelayedDeletionTest : public IndexFilesDialogTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(UsesDelayedDeletion(test.platform.osVersion)) << "Wine reports an older system";
        ASSERT_TRUE(value_.valid());
        saved_ = value_.Get();
        value_.Set(kOtherPrograms);
        const auto cookies = test.platform.shell.SpecialFolderPath(SpecialFolder::Cookies);
        ASSERT_TRUE(cookies);
        cookieIndex_ = *cookies + "\\index.dat";
    }

    void TearDown() override { value_.Set(saved_); }

    std::u16string Pending() { return value_.Get().value_or(std::u16string()); }

    // Another program's list without its closing NUL, for ours to follow.
    static std::u16string Others() { return kOtherPrograms.substr(0, kOtherPrograms.size() - 1); }

    DialogTestPlatform test;
    SessionManagerValue value_;
    std::optional<std::u16string> saved_;
    std::string cookieIndex_;
};

// The cookie store's file is scheduled without looking for it, so what
// this prefix holds does not matter.
TEST_F(DelayedDeletionTest, ShowsItsTextsAndOkSchedulesTheCheckedFileAfterOtherProgramsPairsUnitForUnit) {
    const std::u16string scheduled = Others() + u"\\??\\"s + Wide(cookieIndex_) + u"\0\0\0"s;
    const auto texts = [](HWND dialog) {
        EXPECT_EQ(WindowText(dialog), "Clean up Index files");
        EXPECT_EQ(Text(dialog, IDC_QM_INDEX_HISTORY), "Delete History Index.dat files");
        EXPECT_EQ(Text(dialog, IDC_QM_INDEX_COOKIES), "Delete Cookies Index.dat file");
        EXPECT_EQ(Text(dialog, IDC_QM_INDEX_CACHE), "Delete Temporary Internet Files Index.dat file");
        EXPECT_EQ(Text(dialog, IDOK), "OK");
        EXPECT_EQ(Text(dialog, IDCANCEL), "Cancel");
        EXPECT_EQ(LOWORD(SendMessageA(dialog, DM_GETDEFID, 0, 0)), IDOK);
    };
    IndexBoxes shown;
    ASSERT_EQ(Run(test, shown, {IDC_QM_INDEX_COOKIES}, IDOK, texts), IDOK);
    EXPECT_EQ(shown, (IndexBoxes{false, false, false}));
    EXPECT_EQ(Pending(), scheduled);

    // Cancel changes nothing, whatever was clicked.
    ASSERT_EQ(Run(test, shown, {IDC_QM_INDEX_COOKIES, IDC_QM_INDEX_CACHE}, IDCANCEL), IDCANCEL);
    EXPECT_EQ(shown, (IndexBoxes{false, true, false}));
    EXPECT_EQ(Pending(), scheduled);

    // Unchecked again, the other programs' list is left as it was.
    ASSERT_EQ(Run(test, shown, {IDC_QM_INDEX_COOKIES}, IDOK), IDOK);
    EXPECT_EQ(shown, (IndexBoxes{false, true, false}));
    EXPECT_EQ(Pending(), kOtherPrograms);
}

// The system's code page, except that while armed it lets another program
// add a pending operation the first time a withdrawal compares paths:
// between the withdrawal's reading of the list and its writing it.
class InterruptingCodec final : public TextCodec {
public:
    InterruptingCodec(TextCodec& inner, const SessionManagerValue& value, std::u16string added)
        : inner_(inner), value_(value), added_(std::move(added)) {}
    bool armed = false;

    std::string ToAnsi(std::u16string_view text) override { return inner_.ToAnsi(text); }
    std::u16string FromAnsi(std::string_view text) override { return inner_.FromAnsi(text); }
    std::string LowerAnsi(std::string_view text) override { return inner_.LowerAnsi(text); }
    std::u16string LowerUtf16(std::u16string_view text) override {
        if (armed) {
            armed = false;
            std::u16string list = value_.Get().value_or(u"\0"s);
            list.insert(list.size() - 1, added_);
            value_.Set(list);
        }
        return inner_.LowerUtf16(text);
    }

private:
    TextCodec& inner_;
    const SessionManagerValue& value_;
    std::u16string added_;
};

TEST_F(DelayedDeletionTest, AnOperationAddedWhileWithdrawingIsNotLost) {
    const std::u16string ours = u"\\??\\"s + Wide(cookieIndex_) + u"\0\0"s;
    value_.Set(Others() + ours + u"\0"s);
    const std::u16string late = u"\\??\\C:\\Users\\\u0141ukasz\\late.tmp\0\0"s;
    InterruptingCodec codec(test.platform.textCodec, value_, late);
    const Platform& real = test.platform;
    Platform interrupted{real.urlCache, real.urlHistory, real.registry, real.fileSystem, real.fileSecurity,
                         real.shell,    real.prompts,    real.clock,    codec,           real.osVersion};

    codec.armed = true;
    ScheduleIndexRemoval(interrupted, IndexBoxes{}, "");
    EXPECT_FALSE(codec.armed);
    EXPECT_EQ(Pending(), Others() + late + u"\0"s);
}

// The older generation: a run-once command for the checked box, starting
// Purgelet.dll beside the program's own module by its short path; the
// key's other values stay.
class RunOnceTest : public IndexFilesDialogTest {
protected:
    // Our values start and end absent, beside another program's.
    void SetUp() override {
        key_ = test.platform.registry.Create(RegistryRoot::CurrentUser, kRunOnceKey);
        ASSERT_TRUE(key_);
        Clear();
        ASSERT_TRUE(key_->WriteString(kOther, "other.exe /once"));
    }
    void TearDown() override {
        if (key_) Clear();
    }
    void Clear() {
        for (std::string_view name : {kDeleteHistoryIndex, kDeleteCookieIndex, kDeleteCacheIndex, kOther})
            key_->DeleteValue(name);
    }

    // "rundll32 " + the short form of the program's folder + "\Purgelet.dll," + name.
    static std::string ExpectedCommand(std::string_view name) {
        char path[MAX_PATH] = {};
        char shortPath[MAX_PATH] = {};
        EXPECT_GT(GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
        EXPECT_GT(GetShortPathNameA(path, shortPath, MAX_PATH), 0u);
        std::string folder(shortPath);
        folder.resize(folder.rfind('\\'));
        EXPECT_EQ(folder.find_first_of(" ,"), std::string::npos) << "a folder that needs quoting: " << folder;
        return "rundll32 " + folder + "\\Purgelet.dll," + std::string(name);
    }

    static constexpr std::string_view kOther = "QmOtherProgram";
    FixedOsVersion windowsXp_{5};
    DialogTestPlatform test{&windowsXp_};
    std::unique_ptr<RegistryKey> key_;
};

TEST_F(RunOnceTest, OkWritesTheCheckedBoxsCommandAndKeepsOtherValues) {
    IndexBoxes shown;
    ASSERT_EQ(Run(test, shown, {IDC_QM_INDEX_COOKIES}, IDOK), IDOK);
    EXPECT_FALSE(key_->Read(kDeleteHistoryIndex, kUnlimitedBuffer));
    auto cookie = key_->Read(kDeleteCookieIndex, kUnlimitedBuffer);
    ASSERT_TRUE(cookie);
    EXPECT_EQ(cookie->type, RegistryType::String);
    // The stored length counts the terminating NUL.
    EXPECT_EQ(cookie->data, ExpectedCommand(kDeleteCookieIndex) + '\0');
    EXPECT_EQ(key_->ReadString(kOther, 260), "other.exe /once");
}

// Purgelet.dll as the next logon runs it: the run-once command that the
// dialog writes, started through the prefix's rundll32 on a test profile
// whose three store folders each hold an index file.
class PurgeletTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(profile_.valid());
        folders_ =
            registry_.Open(RegistryRoot::CurrentUser,
                           "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders");
        ASSERT_TRUE(folders_);
        for (const char* store : kStores) {
            saved_.push_back(folders_->Read(store, kUnlimitedBuffer));
            profile_.MakeFolder(store);
            folders_->Write(store, RegistryValue{RegistryType::ExpandString, profile_.Path(store) + '\0'});
        }
    }
    void TearDown() override {
        for (std::size_t at = 0; at < saved_.size(); ++at) {
            if (saved_[at])
                folders_->Write(kStores[at], *saved_[at]);
            else
                folders_->DeleteValue(kStores[at]);
        }
    }

    // Runs the command line and waits for it to end.
    static bool Run(std::string commandLine) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process))
            return false;
        const bool ended = WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0;
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return ended;
    }

    // Each store's value names its folder.
    static constexpr const char* kStores[] = {"History", "Cookies", "Cache"};
    TempFolder profile_;
    Win32Registry registry_;
    std::unique_ptr<RegistryKey> folders_;
    std::vector<std::optional<RegistryValue>> saved_;
};

TEST_F(PurgeletTest, DeleteCookieIndexRemovesTheCookiesIndexFileAndNothingElse) {
    const std::vector<std::string> kept = {"History\\History.IE5\\index.dat", "Cache\\Content.IE5\\index.dat",
                                           "Cookies\\joe@site[1].txt"};
    for (const std::string& name : kept) profile_.MakeFile(name, "x");
    profile_.MakeFile("Cookies\\index.dat", "x");

    // The library lies beside the band's DLL, in the folder the tests run in.
    char folder[MAX_PATH] = {};
    ASSERT_GT(GetCurrentDirectoryA(MAX_PATH, folder), 0u);
    Win32FileSystem fileSystem;
    const auto command =
        RunOnceCommand(fileSystem, std::string(folder) + "\\Quillmere.dll", kDeleteCookieIndex);
    ASSERT_TRUE(command);
    ASSERT_TRUE(Run(*command)) << *command;

    EXPECT_EQ(GetFileAttributesA(profile_.Path("Cookies\\index.dat").c_str()), INVALID_FILE_ATTRIBUTES);
    for (const std::string& name : kept)
        EXPECT_NE(GetFileAttributesA(profile_.Path(name).c_str()), INVALID_FILE_ATTRIBUTES) << name;
}

}  // namespace
}  // namespace qm
