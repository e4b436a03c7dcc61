#include "settings/win32/options_dialog.h"

#include "resources/settings_ids.h"
#include "tests/settings/win32/settings_dialog_fixture.h"

namespace qm {
namespace {

using OptionsDialogTest = SettingsDialogTest;

std::string ListEntries(HWND dialog, int id) {
    std::string entries;
    const HWND list = GetDlgItem(dialog, id);
    for (LRESULT row = 0; row < SendMessageA(list, CB_GETCOUNT, 0, 0); ++row) {
        char text[64] = {};
        SendMessageA(list, CB_GETLBTEXT, row, reinterpret_cast<LPARAM>(text));
        entries += std::string(text) + " ";
    }
    return entries;
}

TEST_F(OptionsDialogTest, WithoutStoredValuesOffersEveryFormatAndCancelCreatesNoKey) {
    driver_.Script({[](HWND dialog) {
        EXPECT_EQ(WindowText(dialog), "Options");
        EXPECT_EQ(ListEntries(dialog, IDC_QM_DATE_TEMPLATE),
                  "dd.MM.yyyy dd.MM.yy d.M.yy yyyy.MM.dd MM.dd.yyyy MM.dd.yy M.d.yyyy yy.MM.dd ");
        EXPECT_EQ(ListEntries(dialog, IDC_QM_DATE_SEPARATOR), ". / - ");
        EXPECT_EQ(ListText(dialog, IDC_QM_DATE_TEMPLATE), "dd.MM.yyyy");
        EXPECT_EQ(ListText(dialog, IDC_QM_DATE_SEPARATOR), ".");
        EXPECT_FALSE(Checked(dialog, IDC_QM_DISABLE_CONFIRMATION));
        EXPECT_TRUE(GetWindowLongA(GetDlgItem(dialog, IDC_QM_DATE_SAMPLE), GWL_STYLE) & ES_READONLY);
        SetCheck(dialog, IDC_QM_DISABLE_CONFIRMATION, true);
        ChooseListRow(dialog, IDC_QM_DATE_TEMPLATE, 4);
        SendMessageA(dialog, WM_CLOSE, 0, 0);  // the close box
    }});
    EXPECT_FALSE(ShowOptionsDialog(module_, driver_.owner(), system_.registry, lowIntegrity_, clock_));
    EXPECT_FALSE(driver_.ranOut());
    EXPECT_EQ(Key(), nullptr);
}

// The lists' own search finds a stored value in any letter case; one not
// in a list leaves its first entry. A new choice redraws the sample.
TEST_F(OptionsDialogTest, PreselectsStoredValuesIgnoringCaseAndSampleFollowsTheLists) {
    struct Row {
        const char* storedTemplate;
        const char* storedSeparator;
        uint32_t disabled;
        const char* shownTemplate;
        const char* shownSeparator;
        const char* sample;
    };
    const Row rows[] = {
        {"YYYY.mm.DD", "-", 7, "yyyy.MM.dd", "-", "2026-03-05"},
        {"dd.dd.yyyy", "%", 0, "dd.MM.yyyy", ".", "05.03.2026"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.storedTemplate);
        auto key = MakeKey();
        ASSERT_NE(key, nullptr);
        key->WriteString(setting::kDateTemplate, row.storedTemplate);
        key->WriteString(setting::kSeparator, row.storedSeparator);
        key->WriteDword(setting::kDisableConfirmation, row.disabled);
        driver_.Script({[&](HWND dialog) {
            EXPECT_EQ(ListText(dialog, IDC_QM_DATE_TEMPLATE), row.shownTemplate);
            EXPECT_EQ(ListText(dialog, IDC_QM_DATE_SEPARATOR), row.shownSeparator);
            EXPECT_EQ(Checked(dialog, IDC_QM_DISABLE_CONFIRMATION), row.disabled != 0);
            EXPECT_EQ(Text(dialog, IDC_QM_DATE_SAMPLE), row.sample);
            ChooseListRow(dialog, IDC_QM_DATE_TEMPLATE, 2);
            ChooseListRow(dialog, IDC_QM_DATE_SEPARATOR, 1);
            EXPECT_EQ(Text(dialog, IDC_QM_DATE_SAMPLE), "5/3/26");
            Click(dialog, IDCANCEL);
        }});
        EXPECT_FALSE(ShowOptionsDialog(module_, driver_.owner(), system_.registry, lowIntegrity_, clock_));
        EXPECT_FALSE(driver_.ranOut());
    }
}

TEST_F(OptionsDialogTest, OkWritesTheChosenEntriesAndTheSwitchWithTheirTypes) {
    driver_.Script({[](HWND dialog) {
        SetCheck(dialog, IDC_QM_DISABLE_CONFIRMATION, true);
        ChooseListRow(dialog, IDC_QM_DATE_TEMPLATE, 5);
        ChooseListRow(dialog, IDC_QM_DATE_SEPARATOR, 1);
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);  // Enter
    }});
    EXPECT_TRUE(ShowOptionsDialog(module_, driver_.owner(), system_.registry, lowIntegrity_, clock_));
    const auto dateTemplate = Stored(setting::kDateTemplate);
    const auto separator = Stored(setting::kSeparator);
    const auto confirmation = Stored(setting::kDisableConfirmation);
    ASSERT_TRUE(dateTemplate && separator && confirmation);
    EXPECT_EQ(dateTemplate->type, RegistryType::String);
    EXPECT_EQ(dateTemplate->data, std::string("MM.dd.yy\0", 9));
    EXPECT_EQ(separator->type, RegistryType::String);
    EXPECT_EQ(separator->data, std::string("/\0", 2));
    EXPECT_EQ(confirmation->type, RegistryType::Dword);
    EXPECT_EQ(StoredDword(setting::kDisableConfirmation), 1u);
}

}  // namespace
}  // namespace qm
