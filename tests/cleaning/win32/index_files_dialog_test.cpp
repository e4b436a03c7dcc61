// "Clean up Index files" under Wine. Wine reports a system that schedules
// through its own delayed deletions: the boxes open showing what is already
// scheduled, OK makes the checked boxes the whole schedule and leaves every
// other program's pending operation as it was, Cancel changes nothing. The
// older generation's run-once commands are driven through the same window
// with the OS version put at 5.
#include "cleaning/win32/index_files_dialog.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "cleaning/index_removal.h"
#include "resources/cleaning_ids.h"
#include "tests/cleaning/win32/cleaning_dialog_fixture.h"

namespace qm {
namespace {

using namespace std::string_literals;

// Another program's pending operations: a rename and a deletion.
const std::string kOtherPrograms =
    "\\??\\C:\\other\\setup.new\0\\??\\C:\\other\\setup.exe\0\\??\\C:\\other\\old.tmp\0\0\0"s;

std::string Lower(std::string text) {
    if (!text.empty()) CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

class FixedOsVersion final : public OsVersion {
public:
    explicit FixedOsVersion(uint32_t major) : major_(major) {}
    std::optional<uint32_t> MajorVersion() override { return major_; }

private:
    uint32_t major_;
};

// Files a test makes in the real store folders, removed again afterwards;
// a file that was there before (the cache's own index) is neither
// truncated nor removed.
class MadeFiles {
public:
    ~MadeFiles() {
        for (const std::string& path : made_) DeleteFileA(path.c_str());
    }
    std::string Make(const std::string& root, const std::string& sub) {
        CreateDirectoryA(root.c_str(), nullptr);
        const std::string folder = sub.empty() ? root : root + "\\" + sub;
        CreateDirectoryA(folder.c_str(), nullptr);
        const std::string path = folder + "\\index.dat";
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_ALWAYS, 0, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE) << path;
        if (file != INVALID_HANDLE_VALUE) {
            if (GetLastError() != ERROR_ALREADY_EXISTS) made_.push_back(path);
            CloseHandle(file);
        }
        return path;
    }

private:
    std::vector<std::string> made_;
};

class IndexFilesDialogTest : public ::testing::Test {
protected:
    // Opens the dialog, reports the boxes as it opened, clicks `clicks`
    // and then `button`.
    INT_PTR Run(DialogTestPlatform& test, IndexBoxes& shown, std::initializer_list<int> clicks, int button) {
        owner.Script({[&](HWND dialog) {
            shown = {Checked(dialog, IDC_QM_INDEX_HISTORY), Checked(dialog, IDC_QM_INDEX_COOKIES),
                     Checked(dialog, IDC_QM_INDEX_CACHE)};
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
        key_ = test.platform.registry.Open(RegistryRoot::LocalMachine, kSessionManagerKey);
        ASSERT_TRUE(key_);
        saved_ = key_->Read(kPendingFileRenameOperations, kUnlimitedBuffer);
        ASSERT_TRUE(key_->Write(kPendingFileRenameOperations, {RegistryType::MultiString, kOtherPrograms}));

        // History keeps its index file only in History.IE5; the cache has
        // one at the top and one in Content.IE5, and the top one counts.
        auto history = test.platform.shell.SpecialFolderPath(SpecialFolder::History);
        auto cache = test.platform.shell.SpecialFolderPath(SpecialFolder::InternetCache);
        auto cookies = test.platform.shell.SpecialFolderPath(SpecialFolder::Cookies);
        ASSERT_TRUE(history && cache && cookies);
        ASSERT_EQ(GetFileAttributesA((*history + "\\index.dat").c_str()), INVALID_FILE_ATTRIBUTES);
        historyIndex_ = files_.Make(*history, "History.IE5");
        cacheIndex_ = files_.Make(*cache, "");
        files_.Make(*cache, "Content.IE5");
        cookieIndex_ = *cookies + "\\index.dat";
    }

    void TearDown() override {
        if (!key_) return;
        if (saved_)
            key_->Write(kPendingFileRenameOperations, *saved_);
        else
            key_->DeleteValue(kPendingFileRenameOperations);
    }

    std::string Pending() {
        auto value = key_->Read(kPendingFileRenameOperations, kUnlimitedBuffer);
        return value ? value->data : std::string();
    }

    static bool Mentions(const std::string& pending, const std::string& path) {
        return Lower(pending).find(Lower(path) + '\0') != std::string::npos;
    }

    DialogTestPlatform test;
    MadeFiles files_;
    std::unique_ptr<RegistryKey> key_;
    std::optional<RegistryValue> saved_;
    std::string historyIndex_, cacheIndex_, cookieIndex_;
};

TEST_F(DelayedDeletionTest, OpensWithItsTextsAndNothingChecked) {
    owner.Script({[&](HWND dialog) {
        EXPECT_EQ(WindowText(dialog), "Clean up Index files");
        RECT units = {0, 0, 280, 109};
        MapDialogRect(dialog, &units);
        RECT client;
        GetClientRect(dialog, &client);
        EXPECT_EQ(client.right, units.right);
        EXPECT_EQ(client.bottom, units.bottom);
        EXPECT_EQ(Text(dialog, IDC_QM_INDEX_HISTORY), "Delete History Index.dat files");
        EXPECT_EQ(Text(dialog, IDC_QM_INDEX_COOKIES), "Delete Cookies Index.dat file");
        EXPECT_EQ(Text(dialog, IDC_QM_INDEX_CACHE), "Delete Temporary Internet Files Index.dat file");
        EXPECT_EQ(Text(dialog, IDOK), "OK");
        EXPECT_EQ(Text(dialog, IDCANCEL), "Cancel");
        EXPECT_EQ(LOWORD(SendMessageA(dialog, DM_GETDEFID, 0, 0)), IDOK);
        for (int id : {IDC_QM_INDEX_HISTORY, IDC_QM_INDEX_COOKIES, IDC_QM_INDEX_CACHE}) {
            EXPECT_EQ(GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE) & BS_TYPEMASK, BS_AUTOCHECKBOX) << id;
            EXPECT_FALSE(Checked(dialog, id)) << id;
        }
        EXPECT_TRUE(SaveWindowPicture(dialog, "cleanup_dialog_224.bmp"));
        ClickAsMouse(dialog, IDCANCEL);
    }});
    EXPECT_EQ(RunIndexFilesDialog(GetModuleHandleA(nullptr), owner.owner(), test.platform), IDCANCEL);
    EXPECT_FALSE(owner.ranOut());
    EXPECT_EQ(Pending(), kOtherPrograms);
}

TEST_F(DelayedDeletionTest, OkSchedulesCheckedFilesAndTheNextOpeningShowsThem) {
    IndexBoxes shown;
    ASSERT_EQ(Run(test, shown, {IDC_QM_INDEX_HISTORY, IDC_QM_INDEX_COOKIES, IDC_QM_INDEX_CACHE}, IDOK), IDOK);
    EXPECT_EQ(shown, (IndexBoxes{false, false, false}));
    std::string pending = Pending();
    EXPECT_EQ(pending.compare(0, kOtherPrograms.size() - 1, kOtherPrograms, 0, kOtherPrograms.size() - 1), 0)
        << "other programs' operations come first, unchanged";
    EXPECT_TRUE(Mentions(pending, historyIndex_));
    EXPECT_TRUE(Mentions(pending, cacheIndex_));
    EXPECT_FALSE(Lower(pending).find(Lower("Content.IE5")) != std::string::npos);
    // The cookie store's file is scheduled without looking for it (whether
    // it exists depends on what ran in the prefix before this test).
    EXPECT_TRUE(Mentions(pending, cookieIndex_));

    // Cancel changes nothing, whatever was clicked.
    ASSERT_EQ(Run(test, shown, {IDC_QM_INDEX_HISTORY, IDC_QM_INDEX_CACHE}, IDCANCEL), IDCANCEL);
    EXPECT_EQ(shown, (IndexBoxes{true, true, true}));
    EXPECT_EQ(Pending(), pending);

    // Unchecking withdraws only that file.
    ASSERT_EQ(Run(test, shown, {IDC_QM_INDEX_HISTORY, IDC_QM_INDEX_CACHE}, IDOK), IDOK);
    EXPECT_EQ(shown, (IndexBoxes{true, true, true}));
    pending = Pending();
    EXPECT_FALSE(Mentions(pending, historyIndex_));
    EXPECT_FALSE(Mentions(pending, cacheIndex_));
    EXPECT_TRUE(Mentions(pending, cookieIndex_));

    // With nothing checked the other programs' list is left byte for byte.
    ASSERT_EQ(Run(test, shown, {IDC_QM_INDEX_COOKIES}, IDOK), IDOK);
    EXPECT_EQ(shown, (IndexBoxes{false, true, false}));
    EXPECT_EQ(Pending(), kOtherPrograms);
}

// The older generation: one run-once command per checked box, starting
// Purgelet.dll beside the program's own module; an unchecked box's value
// is removed, and the key's other values stay.
class RunOnceTest : public IndexFilesDialogTest {
protected:
    void SetUp() override {
        key_ = test.platform.registry.Create(RegistryRoot::CurrentUser, kRunOnceKey);
        ASSERT_TRUE(key_);
        for (std::string_view name : kNames) saved_.push_back(key_->Read(name, kUnlimitedBuffer));
        for (std::string_view name : kNames) key_->DeleteValue(name);
        ASSERT_TRUE(key_->WriteString("QmOtherProgram", "other.exe /once"));
    }

    void TearDown() override {
        if (!key_) return;
        key_->DeleteValue("QmOtherProgram");
        for (std::size_t index = 0; index < kNames.size() && index < saved_.size(); ++index) {
            if (saved_[index])
                key_->Write(kNames[index], *saved_[index]);
            else
                key_->DeleteValue(kNames[index]);
        }
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

    static constexpr std::array<std::string_view, 3> kNames = {kDeleteHistoryIndex, kDeleteCookieIndex,
                                                               kDeleteCacheIndex};
    FixedOsVersion windowsXp_{5};
    DialogTestPlatform test{&windowsXp_};
    std::unique_ptr<RegistryKey> key_;
    std::vector<std::optional<RegistryValue>> saved_;
};

TEST_F(RunOnceTest, OkWritesOneCommandPerCheckedBoxAndTheNextOpeningShowsThem) {
    IndexBoxes shown;
    ASSERT_EQ(Run(test, shown, {IDC_QM_INDEX_COOKIES}, IDOK), IDOK);
    EXPECT_EQ(shown, (IndexBoxes{false, false, false}));
    EXPECT_FALSE(key_->Read(kDeleteHistoryIndex, kUnlimitedBuffer));
    EXPECT_FALSE(key_->Read(kDeleteCacheIndex, kUnlimitedBuffer));
    auto cookie = key_->Read(kDeleteCookieIndex, kUnlimitedBuffer);
    ASSERT_TRUE(cookie);
    EXPECT_EQ(cookie->type, RegistryType::String);
    // The stored length counts the terminating NUL.
    EXPECT_EQ(cookie->data, ExpectedCommand(kDeleteCookieIndex) + '\0');
    EXPECT_EQ(key_->ReadString("QmOtherProgram", 260), "other.exe /once");

    // The next opening shows the scheduled box; OK with the others checked
    // instead moves the schedule to them.
    ASSERT_EQ(Run(test, shown, {IDC_QM_INDEX_COOKIES, IDC_QM_INDEX_HISTORY, IDC_QM_INDEX_CACHE}, IDOK), IDOK);
    EXPECT_EQ(shown, (IndexBoxes{false, true, false}));
    EXPECT_FALSE(key_->Read(kDeleteCookieIndex, kUnlimitedBuffer));
    EXPECT_EQ(key_->ReadString(kDeleteHistoryIndex, 260), ExpectedCommand(kDeleteHistoryIndex));
    EXPECT_EQ(key_->ReadString(kDeleteCacheIndex, 260), ExpectedCommand(kDeleteCacheIndex));

    // Cancel leaves the schedule as it is.
    ASSERT_EQ(Run(test, shown, {IDC_QM_INDEX_HISTORY}, IDCANCEL), IDCANCEL);
    EXPECT_EQ(shown, (IndexBoxes{true, false, true}));
    EXPECT_TRUE(key_->Read(kDeleteHistoryIndex, kUnlimitedBuffer));
    EXPECT_EQ(key_->ReadString("QmOtherProgram", 260), "other.exe /once");
}

}  // namespace
}  // namespace qm
