#include "settings/win32/options_dialog.h"

#include "resources/settings_ids.h"
#include "tests/settings/win32/settings_dialog_fixture.h"

namespace qm {
namespace {

using OptionsDialogTest = SettingsDialogTest;

std::vector<std::string> ListEntries(HWND dialog, int id) {
    std::vector<std::string> entries;
    const HWND list = GetDlgItem(dialog, id);
    const LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
    for (LRESULT row = 0; row < count; ++row) {
        char text[64] = {};
        SendMessageA(list, CB_GETLBTEXT, row, reinterpret_cast<LPARAM>(text));
        entries.emplace_back(text);
    }
    return entries;
}

TEST_F(OptionsDialogTest, WithoutStoredValuesOffersEveryFormatAndCancelCreatesNoKey) {
    driver_.Script({[](HWND dialog) {
        char caption[64] = {};
        GetWindowTextA(dialog, caption, sizeof(caption));
        EXPECT_STREQ(caption, "Options");
        EXPECT_EQ(ListEntries(dialog, IDC_QM_DATE_TEMPLATE),
                  (std::vector<std::string>{"dd.MM.yyyy", "dd.MM.yy", "d.M.yy", "yyyy.MM.dd", "MM.dd.yyyy",
                                            "MM.dd.yy", "M.d.yyyy", "yy.MM.dd"}));
        EXPECT_EQ(ListEntries(dialog, IDC_QM_DATE_SEPARATOR), (std::vector<std::string>{".", "/", "-"}));
        EXPECT_EQ(ListText(dialog, IDC_QM_DATE_TEMPLATE), "dd.MM.yyyy");
        EXPECT_EQ(ListText(dialog, IDC_QM_DATE_SEPARATOR), ".");
        EXPECT_FALSE(Checked(dialog, IDC_QM_DISABLE_CONFIRMATION));
        EXPECT_EQ(Text(dialog, IDC_QM_DATE_SAMPLE), "05.03.2026");
        EXPECT_TRUE(GetWindowLongA(GetDlgItem(dialog, IDC_QM_DATE_SAMPLE), GWL_STYLE) & ES_READONLY);
        // A user's choices before Cancel are forgotten.
        SetCheck(dialog, IDC_QM_DISABLE_CONFIRMATION, true);
        ChooseListRow(dialog, IDC_QM_DATE_TEMPLATE, 4);
        SendMessageA(dialog, WM_CLOSE, 0, 0);  // the close box
    }});
    EXPECT_FALSE(ShowOptionsDialog(module_, driver_.owner(), system_.registry, lowIntegrity_, clock_));
    EXPECT_FALSE(driver_.ranOut());
    EXPECT_EQ(Key(), nullptr);
}

TEST_F(OptionsDialogTest, PreselectsStoredValuesIgnoringCaseAndSampleFollowsTheLists) {
    {
        auto key = MakeKey();
        ASSERT_NE(key, nullptr);
        key->WriteString(setting::kDateTemplate, "YYYY.mm.DD");
        key->WriteString(setting::kSeparator, "-");
        key->WriteDword(setting::kDisableConfirmation, 7);
    }
    driver_.Script({[](HWND dialog) {
        EXPECT_EQ(ListText(dialog, IDC_QM_DATE_TEMPLATE), "yyyy.MM.dd");
        EXPECT_EQ(ListText(dialog, IDC_QM_DATE_SEPARATOR), "-");
        EXPECT_TRUE(Checked(dialog, IDC_QM_DISABLE_CONFIRMATION));
        EXPECT_EQ(Text(dialog, IDC_QM_DATE_SAMPLE), "2026-03-05");
        EXPECT_TRUE(SaveWindowPicture(dialog, "options_dialog.bmp"));

        ChooseListRow(dialog, IDC_QM_DATE_TEMPLATE, 2);
        EXPECT_EQ(Text(dialog, IDC_QM_DATE_SAMPLE), "5-3-26");
        ChooseListRow(dialog, IDC_QM_DATE_SEPARATOR, 1);
        EXPECT_EQ(Text(dialog, IDC_QM_DATE_SAMPLE), "5/3/26");
        ChooseListRow(dialog, IDC_QM_DATE_TEMPLATE, 7);
        EXPECT_EQ(Text(dialog, IDC_QM_DATE_SAMPLE), "26/03/05");
        Click(dialog, IDCANCEL);
    }});
    EXPECT_FALSE(ShowOptionsDialog(module_, driver_.owner(), system_.registry, lowIntegrity_, clock_));
    auto key = Key();
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->ReadString(setting::kDateTemplate, 32), "YYYY.mm.DD");
    EXPECT_EQ(key->ReadString(setting::kSeparator, 8), "-");
    EXPECT_EQ(key->ReadDword(setting::kDisableConfirmation), 7u);
}

TEST_F(OptionsDialogTest, StoredValuesNotInTheListsLeaveTheFirstEntries) {
    {
        auto key = MakeKey();
        ASSERT_NE(key, nullptr);
        key->WriteString(setting::kDateTemplate, "dd.dd.yyyy");
        key->WriteString(setting::kSeparator, "%");
        key->WriteDword(setting::kDisableConfirmation, 0);
    }
    driver_.Script({[](HWND dialog) {
        EXPECT_EQ(ListText(dialog, IDC_QM_DATE_TEMPLATE), "dd.MM.yyyy");
        EXPECT_EQ(ListText(dialog, IDC_QM_DATE_SEPARATOR), ".");
        EXPECT_FALSE(Checked(dialog, IDC_QM_DISABLE_CONFIRMATION));
        EXPECT_EQ(Text(dialog, IDC_QM_DATE_SAMPLE), "05.03.2026");
        Click(dialog, IDCANCEL);
    }});
    ShowOptionsDialog(module_, driver_.owner(), system_.registry, lowIntegrity_, clock_);
    EXPECT_EQ(driver_.stepsRun(), 1);
}

TEST_F(OptionsDialogTest, OkWritesTheThreeValuesThatTheViewThenLoads) {
    driver_.Script({[](HWND dialog) {
        SetCheck(dialog, IDC_QM_DISABLE_CONFIRMATION, true);
        ChooseListRow(dialog, IDC_QM_DATE_TEMPLATE, 5);
        ChooseListRow(dialog, IDC_QM_DATE_SEPARATOR, 1);
        Click(dialog, IDOK);
    }});
    EXPECT_TRUE(ShowOptionsDialog(module_, driver_.owner(), system_.registry, lowIntegrity_, clock_));
    const auto dateTemplate = Stored(setting::kDateTemplate);
    ASSERT_TRUE(dateTemplate);
    EXPECT_EQ(dateTemplate->type, RegistryType::String);
    EXPECT_EQ(dateTemplate->data, std::string("MM.dd.yy\0", 9));
    const auto separator = Stored(setting::kSeparator);
    ASSERT_TRUE(separator);
    EXPECT_EQ(separator->type, RegistryType::String);
    EXPECT_EQ(separator->data, std::string("/\0", 2));
    const auto confirmation = Stored(setting::kDisableConfirmation);
    ASSERT_TRUE(confirmation);
    EXPECT_EQ(confirmation->type, RegistryType::Dword);
    EXPECT_EQ(StoredDword(setting::kDisableConfirmation), 1u);

    Settings loaded(lowIntegrity_);
    loaded.Load(system_.registry);
    EXPECT_EQ(loaded.dateTemplate(), "MM/dd/yy");
    EXPECT_FALSE(loaded.confirm());

    // Opened again, the dialog shows what it stored; unchecking writes 0.
    driver_.Script({[](HWND dialog) {
        EXPECT_EQ(ListText(dialog, IDC_QM_DATE_TEMPLATE), "MM.dd.yy");
        EXPECT_EQ(ListText(dialog, IDC_QM_DATE_SEPARATOR), "/");
        EXPECT_EQ(Text(dialog, IDC_QM_DATE_SAMPLE), "03/05/26");
        SetCheck(dialog, IDC_QM_DISABLE_CONFIRMATION, false);
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);  // Enter
    }});
    EXPECT_TRUE(ShowOptionsDialog(module_, driver_.owner(), system_.registry, lowIntegrity_, clock_));
    EXPECT_EQ(StoredDword(setting::kDisableConfirmation), 0u);
}

}  // namespace
}  // namespace qm
