#include "settings/win32/favorites_dialog.h"

#include <fstream>
#include <sstream>

#include "resources/settings_ids.h"
#include "tests/settings/win32/settings_dialog_fixture.h"

namespace qm {
namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class FavoritesDialogTest : public SettingsDialogTest {
protected:
    void SetUp() override {
        SettingsDialogTest::SetUp();
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        root_ = temp;
        folder_ = root_ + "qm favorites test\\";
        RemoveFolder();
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
        SetEnvironmentVariableA("QM_TEST_ROOT", root_.c_str());
        // The user's Favorites folder moves to the test's for a while: an
        // environment reference, and no closing backslash.
        shellFolders_ = system_.registry.Open(RegistryRoot::CurrentUser, kUserShellFoldersPath);
        ASSERT_NE(shellFolders_, nullptr);
        saved_ = shellFolders_->Read(kFavoritesValue, kUnlimitedBuffer);
        const std::string value = "%QM_TEST_ROOT%qm favorites test";
        shellFolders_->Write(kFavoritesValue, RegistryValue{RegistryType::ExpandString, value + '\0'});
    }
    void TearDown() override {
        if (shellFolders_ && saved_)
            shellFolders_->Write(kFavoritesValue, *saved_);
        else if (shellFolders_)
            shellFolders_->DeleteValue(kFavoritesValue);
        RemoveFolder();
        SettingsDialogTest::TearDown();
    }
    void RemoveFolder() {
        for (const char* name : {"Daily.url", "News_ today_.url"}) DeleteFileA((folder_ + name).c_str());
        RemoveDirectoryA(folder_.c_str());
    }
    void Show(const FavoriteRequest& proposal) {
        ShowAddToFavoritesDialog(module_, driver_.owner(), platform_, proposal);
        EXPECT_FALSE(driver_.ranOut());
    }

    RecordingPrompts prompts_;
    Platform platform_{system_.urlCache,     system_.urlHistory, system_.registry, system_.fileSystem,
                       system_.fileSecurity, system_.shell,      prompts_,         system_.clock,
                       system_.textCodec,    system_.osVersion};
    std::unique_ptr<RegistryKey> shellFolders_;
    std::optional<RegistryValue> saved_;
    std::string root_;
    std::string folder_;
};

// One run through a real folder, named by an environment reference in the
// user's shell folders: the proposal is shown, Browse fills the icon box
// (a cancelled choice keeps it), a name taken in another letter case keeps
// the dialog open with the user's input, and Add saves and ends. Which
// names are taken and how they are cleaned is decided natively.
TEST_F(FavoritesDialogTest, RefusedEntryKeepsTheDialogOpenAndAddSavesTheShortcut) {
    {
        std::ofstream existing(folder_ + "Daily.url", std::ios::binary);
        existing << "[InternetShortcut]\r\nURL=https://daily.example/\r\n";
    }
    driver_.Script({[this](HWND dialog) {
        EXPECT_EQ(WindowText(dialog), "Add To Favorites");
        EXPECT_EQ(Text(dialog, IDC_QM_FAVORITE_DESCRIPTION), "News_ today_");
        EXPECT_EQ(Text(dialog, IDC_QM_FAVORITE_URL), "https://news.example/today");
        EXPECT_EQ(Text(dialog, IDC_QM_FAVORITE_ICON), "");
        prompts_.QueueFile("C:\\icons\\news.ico");
        Click(dialog, IDC_QM_FAVORITE_BROWSE);
        prompts_.QueueFile(std::nullopt);
        Click(dialog, IDC_QM_FAVORITE_BROWSE);
        EXPECT_EQ(Text(dialog, IDC_QM_FAVORITE_ICON), "C:\\icons\\news.ico");

        SetText(dialog, IDC_QM_FAVORITE_DESCRIPTION, "daily");
        Click(dialog, IDOK);
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_EQ(Text(dialog, IDC_QM_FAVORITE_DESCRIPTION), "daily");
        EXPECT_EQ(Text(dialog, IDC_QM_FAVORITE_URL), "https://news.example/today");

        SetText(dialog, IDC_QM_FAVORITE_DESCRIPTION, "News: today?");
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);  // Enter
    }});
    const auto proposal =
        ProposeFavorite("  News: today? ", " https://news.example/today ", system_.textCodec);
    ASSERT_TRUE(proposal);
    Show(*proposal);
    EXPECT_EQ(driver_.stepsRun(), 1);
    EXPECT_EQ(prompts_.messages, (std::vector<std::string>{"Please enter another Description.",
                                                           "New entry has been successfully added."}));
    EXPECT_EQ(prompts_.icons, (std::vector<MessageIcon>{MessageIcon::Warning, MessageIcon::Information}));
    EXPECT_EQ(ReadAll(folder_ + "Daily.url"), "[InternetShortcut]\r\nURL=https://daily.example/\r\n");
    const std::string saved = ReadAll(folder_ + "News_ today_.url");
    EXPECT_NE(saved.find("URL=https://news.example/today"), std::string::npos) << saved;
}

}  // namespace
}  // namespace qm
