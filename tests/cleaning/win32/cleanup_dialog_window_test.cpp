// The three cleanup dialogs, each opened over a test owner and driven with
// real messages: their texts and that Clean Up reads each kind's controls
// into the record it sends, the whole local days the pickers stand for under
// Windows' own time zone rules, the confirmation switch read at opening,
// and the keys that close them. Which criterion and text a record takes,
// and the questions asked, are decided and tested natively.
#include "cleaning/win32/cleanup_dialog_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/cleaning_ids.h"
#include "settings/settings.h"
#include "tests/cleaning/win32/cleaning_dialog_fixture.h"

namespace qm {
namespace {

class CleanupDialogWindowTest : public ::testing::Test {
protected:
    // The confirmation switch starts and ends absent: each Clean Up asks.
    void SetUp() override {
        ASSERT_TRUE(settings_);
        settings_->DeleteValue(setting::kDisableConfirmation);
    }
    void TearDown() override {
        if (settings_) settings_->DeleteValue(setting::kDisableConfirmation);
    }

    // Opens the kind's dialog over the owner and runs the step in its loop;
    // the step must end the dialog.
    INT_PTR Run(RecordKind kind, DialogDriver::Step step) {
        owner.Script({std::move(step)});
        const INT_PTR result =
            RunCleanupDialog(GetModuleHandleA(nullptr), owner.owner(), kind, test.platform);
        EXPECT_FALSE(owner.ranOut()) << "the dialog was left open";
        return result;
    }

    DialogTestPlatform test;
    CleanupOwner owner;
    std::unique_ptr<RegistryKey> settings_ =
        OpenOrCreateSettingsKey(test.platform.registry, UsesLowIntegrityKey(test.platform.osVersion));
};

// Each dialog opens with All checked and its texts; each Clean Up sends one
// record, before the click returns, with what the kind's controls hold, and
// the dialog stays open.
TEST_F(CleanupDialogWindowTest, EachDialogShowsItsTextsAndCleanUpSendsWhatItsControlsHold) {
    struct CleanUp {
        int radio;
        const char* protocol;  // typed into the History protocol box, if any
        uint32_t criterion;
        const char* text;
    };
    struct Dialog {
        RecordKind kind;
        const char* caption;
        std::vector<std::pair<int, const char*>> radios;
        int textBox;
        std::vector<CleanUp> cleanUps;
    };
    const Dialog dialogs[] = {
        {RecordKind::History,
         "Clean up History",
         {{205, "All"},
          {207, "Local links only"},
          {211, "Selected protocol"},
          {213, "Containing the text in URL"},
          {218, "Between the dates"}},
         IDC_QM_HISTORY_TEXT,
         {{211, "Gopher:", 4, "Gopher:"}, {213, nullptr, 9, "  Example.COM "}}},
        {RecordKind::Cookies,
         "Clean up Cookies",
         {{205, "All"},
          {207, "Expired Cookies Only"},
          {211, "Containing the text in URL"},
          {213, "Between the Dates"}},
         IDC_QM_COOKIES_TEXT,
         {{207, nullptr, 2, "  Example.COM "}}},
        {RecordKind::Cache,
         "Clean up Cache",
         {{205, "All"},
          {207, "Pictuires ( *.bmp,  *.jpeg,  *.jpg,  *.gif, *.png, etc. )"},
          {211, "Archives ( *.cab, *.arj, *.rar, *.zip, *.7z, etc. )"},
          {213, "Styles and scripts ( *.css, *.js, *.asp, etc. )"},
          {218, "Pages and other files ( *.htm, *.htm, *.swf, *.pdf, etc. )"},
          {225, "Containing the text in URL"},
          {228, "Between the dates"}},
         IDC_QM_CACHE_TEXT,
         {{228, nullptr, 10, "  Example.COM "}}},
    };
    for (const Dialog& look : dialogs) {
        SCOPED_TRACE(look.caption);
        owner.records.clear();
        for (std::size_t question = 0; question < look.cleanUps.size(); ++question)
            test.prompts.QueueAnswer(true);
        const INT_PTR result = Run(look.kind, [&](HWND dialog) {
            EXPECT_EQ(WindowText(dialog), look.caption);
            for (const auto& [id, text] : look.radios) {
                EXPECT_EQ(Text(dialog, id), text) << id;
                EXPECT_EQ(Checked(dialog, id), id == 205) << id;
            }
            if (look.kind == RecordKind::History) {
                const HWND combo = GetDlgItem(dialog, IDC_QM_HISTORY_PROTOCOL_COMBO);
                std::string entries;
                for (LRESULT item = 0; item < SendMessageA(combo, CB_GETCOUNT, 0, 0); ++item) {
                    char text[32] = {};
                    SendMessageA(combo, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text));
                    entries += std::string(text) + " ";
                }
                EXPECT_EQ(entries, "file: ftp: http: https: mailto: telnet: ");
                EXPECT_EQ(WindowText(combo), "file:");
            }
            EXPECT_EQ(Text(dialog, IDOK), "Clean Up");
            EXPECT_EQ(Text(dialog, IDCANCEL), "Close");
            EXPECT_EQ(LOWORD(SendMessageA(dialog, DM_GETDEFID, 0, 0)), IDCANCEL);

            SetText(dialog, look.textBox, "  Example.COM ");
            for (const CleanUp& cleanUp : look.cleanUps) {
                if (cleanUp.protocol) SetText(dialog, IDC_QM_HISTORY_PROTOCOL_COMBO, cleanUp.protocol);
                ClickAsMouse(dialog, cleanUp.radio);
                const std::size_t before = owner.records.size();
                ClickAsMouse(dialog, IDOK);
                EXPECT_EQ(owner.records.size(), before + 1) << "sent, not posted";
            }
            EXPECT_TRUE(IsWindowVisible(dialog));
            ClickAsMouse(dialog, IDCANCEL);
        });
        EXPECT_EQ(result, IDCANCEL);
        ASSERT_EQ(owner.records.size(), look.cleanUps.size());
        for (std::size_t at = 0; at < look.cleanUps.size(); ++at) {
            SCOPED_TRACE(testing::Message() << "radio " << look.cleanUps[at].radio);
            EXPECT_EQ(owner.records[at].kind, CleanupKindCode(look.kind));
            EXPECT_EQ(owner.records[at].criterion, look.cleanUps[at].criterion);
            EXPECT_EQ(owner.records[at].text.view(), look.cleanUps[at].text);
        }
    }
}

FileTime Utc(WORD year, WORD month, WORD day, WORD hour) {
    SYSTEMTIME time = {};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    FILETIME fileTime = {};
    SystemTimeToFileTime(&time, &fileTime);
    return FileTime{uint64_t{fileTime.dwHighDateTime} << 32 | fileTime.dwLowDateTime};
}

// The program runs in Central European time (set by the test's
// environment), so a summer day, a winter day and the day the clocks go
// forward each have their own offset, whatever the season of the run.
TEST_F(CleanupDialogWindowTest, PickedDaysBecomeWholeLocalDaysUnderThatDaysOffset) {
    TIME_ZONE_INFORMATION zone = {};
    GetTimeZoneInformation(&zone);
    ASSERT_EQ(zone.Bias, -60) << "the test expects TZ=Europe/Berlin";
    ASSERT_EQ(zone.DaylightBias, -60);
    struct Row {
        const char* name;
        WORD month, fromDay, fromHour, toDay, toHour;
        FileTime from, afterTo;  // the first and one past the last tick
    };
    const Row rows[] = {
        {"summer range", 7, 15, 14, 16, 9, Utc(2023, 7, 14, 22), Utc(2023, 7, 16, 22)},
        {"one winter day", 1, 10, 18, 10, 8, Utc(2023, 1, 9, 23), Utc(2023, 1, 10, 23)},
        {"the 23-hour day", 3, 26, 12, 26, 12, Utc(2023, 3, 25, 23), Utc(2023, 3, 26, 22)},
    };
    for (std::size_t answer = 0; answer < std::size(rows); ++answer) test.prompts.QueueAnswer(true);
    Run(RecordKind::Cookies, [&](HWND dialog) {
        ClickAsMouse(dialog, 213);
        for (const Row& row : rows) {
            SetPicker(dialog, IDC_QM_COOKIES_FROM, 2023, row.month, row.fromDay, row.fromHour, 30);
            SetPicker(dialog, IDC_QM_COOKIES_TO, 2023, row.month, row.toDay, row.toHour, 10);
            ClickAsMouse(dialog, IDOK);
        }
        ClickAsMouse(dialog, IDCANCEL);
    });
    ASSERT_EQ(owner.records.size(), std::size(rows));
    for (std::size_t at = 0; at < std::size(rows); ++at) {
        EXPECT_EQ(owner.records[at].criterion, 10u) << rows[at].name;
        EXPECT_EQ(owner.records[at].from.ticks, rows[at].from.ticks) << rows[at].name;
        EXPECT_EQ(owner.records[at].to.ticks, rows[at].afterTo.ticks - 1) << rows[at].name;
    }
}

// The switch is read when the dialog opens: turned off while it is open,
// every Clean Up still asks, and No sends nothing.
TEST_F(CleanupDialogWindowTest, ConfirmationReadAtOpeningIsAskedAtEachCleanUp) {
    test.prompts.QueueAnswer(false);
    test.prompts.QueueAnswer(true);
    Run(RecordKind::Cookies, [&](HWND dialog) {
        ASSERT_TRUE(settings_->WriteDword(setting::kDisableConfirmation, 1));
        ClickAsMouse(dialog, IDOK);
        EXPECT_TRUE(owner.records.empty());
        ClickAsMouse(dialog, IDOK);
        ClickAsMouse(dialog, IDCANCEL);
    });
    EXPECT_EQ(test.prompts.questions.size(), 2u);
    EXPECT_EQ(owner.records.size(), 1u);
}

// Close is the default button, so Enter in the text box closes like Escape.
TEST_F(CleanupDialogWindowTest, EnterInTheTextBoxAndEscapeCloseWithoutCleaning) {
    for (WPARAM key : {WPARAM{VK_RETURN}, WPARAM{VK_ESCAPE}}) {
        SCOPED_TRACE(testing::Message() << "key " << key);
        const INT_PTR result = Run(RecordKind::History, [&](HWND dialog) {
            ClickAsMouse(dialog, 213);
            HWND edit = GetDlgItem(dialog, IDC_QM_HISTORY_TEXT);
            SetWindowTextA(edit, "example");
            SetFocus(edit);
            PostKey(edit, key);
        });
        EXPECT_EQ(result, IDCANCEL);
    }
    EXPECT_TRUE(owner.records.empty());
    EXPECT_TRUE(test.prompts.questions.empty());
}

}  // namespace
}  // namespace qm
