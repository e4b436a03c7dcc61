// The three cleanup dialogs, each opened over a test owner and driven with
// real messages: what they show when they open, that Clean Up reads the
// controls into the record it sends, the whole local days the pickers stand
// for under Windows' own time zone rules, the confirmation, and the keys
// that close them. Which criterion and text a record takes is decided and
// tested natively.
#include "cleaning/win32/cleanup_dialog_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cleaning/cleanup_dialog.h"
#include "resources/cleaning_ids.h"
#include "settings/settings.h"
#include "tests/cleaning/win32/cleaning_dialog_fixture.h"

namespace qm {
namespace {

// The confirmation switch in the settings key, put back as it was found.
class ConfirmationSwitch {
public:
    explicit ConfirmationSwitch(Platform& platform)
        : key_(OpenOrCreateSettingsKey(platform.registry, UsesLowIntegrityKey(platform.osVersion))) {
        if (key_) saved_ = key_->Read(setting::kDisableConfirmation, kUnlimitedBuffer);
    }
    ~ConfirmationSwitch() {
        if (!key_) return;
        if (saved_)
            key_->Write(setting::kDisableConfirmation, *saved_);
        else
            key_->DeleteValue(setting::kDisableConfirmation);
    }
    void Disable(bool disabled) {
        ASSERT_TRUE(key_);
        ASSERT_TRUE(key_->WriteDword(setting::kDisableConfirmation, disabled ? 1 : 0));
    }
    void Remove() {
        ASSERT_TRUE(key_);
        key_->DeleteValue(setting::kDisableConfirmation);
    }

private:
    std::unique_ptr<RegistryKey> key_;
    std::optional<RegistryValue> saved_;
};

class CleanupDialogWindowTest : public ::testing::Test {
protected:
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
    ConfirmationSwitch confirmation{test.platform};
};

struct RadioText {
    int id;
    const char* text;
};

struct DialogLook {
    RecordKind kind;
    const char* caption;
    int width;
    int height;
    std::vector<RadioText> radios;
    int textBox;
    int fromPicker;
    int toPicker;
};

std::vector<DialogLook> Looks() {
    return {
        {RecordKind::History,
         "Clean up History",
         255,
         105,
         {{205, "All"},
          {207, "Local links only"},
          {211, "Selected protocol"},
          {213, "Containing the text in URL"},
          {218, "Between the dates"}},
         IDC_QM_HISTORY_TEXT,
         IDC_QM_HISTORY_FROM,
         IDC_QM_HISTORY_TO},
        {RecordKind::Cookies,
         "Clean up Cookies",
         255,
         93,
         {{205, "All"},
          {207, "Expired Cookies Only"},
          {211, "Containing the text in URL"},
          {213, "Between the Dates"}},
         IDC_QM_COOKIES_TEXT,
         IDC_QM_COOKIES_FROM,
         IDC_QM_COOKIES_TO},
        {RecordKind::Cache,
         "Clean up Cache",
         255,
         132,
         {{205, "All"},
          {207, "Pictuires ( *.bmp,  *.jpeg,  *.jpg,  *.gif, *.png, etc. )"},
          {211, "Archives ( *.cab, *.arj, *.rar, *.zip, *.7z, etc. )"},
          {213, "Styles and scripts ( *.css, *.js, *.asp, etc. )"},
          {218, "Pages and other files ( *.htm, *.htm, *.swf, *.pdf, etc. )"},
          {225, "Containing the text in URL"},
          {228, "Between the dates"}},
         IDC_QM_CACHE_TEXT,
         IDC_QM_CACHE_FROM,
         IDC_QM_CACHE_TO},
    };
}

TEST_F(CleanupDialogWindowTest, EachDialogOpensWithAllCheckedAndItsExactTexts) {
    for (const DialogLook& look : Looks()) {
        SCOPED_TRACE(look.caption);
        const INT_PTR result = Run(look.kind, [&](HWND dialog) {
            EXPECT_EQ(WindowText(dialog), look.caption);
            RECT units = {0, 0, look.width, look.height};
            MapDialogRect(dialog, &units);
            RECT client;
            GetClientRect(dialog, &client);
            EXPECT_EQ(client.right, units.right);
            EXPECT_EQ(client.bottom, units.bottom);
            LOGFONTA font = {};
            GetObjectA(reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
            EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");

            for (const RadioText& radio : look.radios) {
                HWND button = GetDlgItem(dialog, radio.id);
                ASSERT_TRUE(button) << radio.id;
                EXPECT_EQ(WindowText(button), radio.text);
                EXPECT_EQ(GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK, BS_AUTORADIOBUTTON);
                EXPECT_EQ(Checked(dialog, radio.id), radio.id == 205) << radio.id;
                EXPECT_TRUE(IsWindowEnabled(button));
            }
            // One group: the first button starts it, the others belong to it.
            EXPECT_TRUE(GetWindowLongA(GetDlgItem(dialog, look.radios.front().id), GWL_STYLE) & WS_GROUP);
            EXPECT_EQ(GetNextDlgGroupItem(dialog, GetDlgItem(dialog, look.radios.front().id), TRUE),
                      GetDlgItem(dialog, look.radios.back().id));

            EXPECT_EQ(WindowText(GetDlgItem(dialog, look.textBox)), "");
            EXPECT_TRUE(GetWindowLongA(GetDlgItem(dialog, look.textBox), GWL_STYLE) & ES_AUTOHSCROLL);
            for (int picker : {look.fromPicker, look.toPicker}) {
                HWND control = GetDlgItem(dialog, picker);
                ASSERT_TRUE(control) << picker;
                const LONG style = GetWindowLongA(control, GWL_STYLE);
                EXPECT_TRUE(style & DTS_RIGHTALIGN);
                EXPECT_FALSE(style & (DTS_LONGDATEFORMAT | DTS_TIMEFORMAT | DTS_SHOWNONE));
            }
            // The picker holds the local date of the opening.
            SYSTEMTIME picked = {}, today = {};
            GetLocalTime(&today);
            SendDlgItemMessageA(dialog, look.fromPicker, DTM_GETSYSTEMTIME, 0,
                                reinterpret_cast<LPARAM>(&picked));
            EXPECT_EQ(picked.wYear, today.wYear);
            EXPECT_EQ(picked.wDay, today.wDay);

            if (look.kind == RecordKind::History) {
                HWND combo = GetDlgItem(dialog, IDC_QM_HISTORY_PROTOCOL_COMBO);
                EXPECT_EQ((GetWindowLongA(combo, GWL_STYLE) & 3), CBS_DROPDOWN);
                ASSERT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 6);
                for (int item = 0; item < 6; ++item) {
                    char text[32] = {};
                    SendMessageA(combo, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text));
                    EXPECT_EQ(text, kHistoryProtocols[item]);
                }
                EXPECT_EQ(WindowText(combo), "file:");
            }
            EXPECT_EQ(WindowText(GetDlgItem(dialog, IDOK)), "Clean Up");
            EXPECT_EQ(WindowText(GetDlgItem(dialog, IDCANCEL)), "Close");
            EXPECT_EQ(LOWORD(SendMessageA(dialog, DM_GETDEFID, 0, 0)), IDCANCEL);
            ClickAsMouse(dialog, IDCANCEL);
        });
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_TRUE(owner.records.empty());
    }
}

// Each Clean Up sends one record, before the click returns, with what the
// controls hold; the dialog stays open.
TEST_F(CleanupDialogWindowTest, CleanUpSendsTheCheckedButtonAndTheTypedTextsAndStaysOpen) {
    confirmation.Disable(true);
    struct Row {
        RecordKind kind;
        int radio;
        int textBox;
        const char* protocol;  // typed into the History protocol box, if any
        uint32_t criterion;
        const char* text;
    };
    for (const Row& row : {
             Row{RecordKind::History, 211, IDC_QM_HISTORY_TEXT, "Gopher:", 4, "Gopher:"},
             Row{RecordKind::History, 213, IDC_QM_HISTORY_TEXT, nullptr, 9, "  Example.COM "},
             Row{RecordKind::Cookies, 207, IDC_QM_COOKIES_TEXT, nullptr, 2, "  Example.COM "},
             Row{RecordKind::Cache, 228, IDC_QM_CACHE_TEXT, nullptr, 10, "  Example.COM "},
         }) {
        owner.records.clear();
        owner.log.Clear();
        const INT_PTR result = Run(row.kind, [&](HWND dialog) {
            SetWindowTextA(GetDlgItem(dialog, row.textBox), "  Example.COM ");
            if (row.protocol) SetWindowTextA(GetDlgItem(dialog, IDC_QM_HISTORY_PROTOCOL_COMBO), row.protocol);
            ClickAsMouse(dialog, row.radio);
            ClickAsMouse(dialog, IDOK);
            EXPECT_EQ(owner.records.size(), 1u) << "sent, not posted";
            EXPECT_TRUE(IsWindowVisible(dialog));
            ClickAsMouse(dialog, IDCANCEL);
        });
        EXPECT_EQ(result, IDCANCEL);
        ASSERT_EQ(owner.records.size(), 1u) << row.radio;
        EXPECT_EQ(owner.records[0].kind, CleanupKindCode(row.kind)) << row.radio;
        EXPECT_EQ(owner.records[0].criterion, row.criterion) << row.radio;
        EXPECT_EQ(owner.records[0].text.view(), row.text) << row.radio;
        EXPECT_TRUE(ExpectSequence(owner.log, {{WM_PERFORMCLEANUP, kExpectWParam}}, "one send, wParam 0"));
    }
    EXPECT_TRUE(test.prompts.questions.empty());
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

SYSTEMTIME LocalOf(FileTime utc) {
    FILETIME fileTime = {static_cast<DWORD>(utc.ticks), static_cast<DWORD>(utc.ticks >> 32)};
    SYSTEMTIME universal = {}, local = {};
    FileTimeToSystemTime(&fileTime, &universal);
    SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local);
    return local;
}

// The program runs in Central European time (set by the test's
// environment), so a summer day, a winter day and the day the clocks go
// forward each have their own offset, whatever the season of the run.
TEST_F(CleanupDialogWindowTest, PickedDaysBecomeWholeLocalDaysUnderThatDaysOffset) {
    TIME_ZONE_INFORMATION zone = {};
    GetTimeZoneInformation(&zone);
    ASSERT_EQ(zone.Bias, -60) << "the test expects TZ=Europe/Berlin";
    ASSERT_EQ(zone.DaylightBias, -60);
    confirmation.Disable(true);
    constexpr uint64_t kTick = 1;

    Run(RecordKind::Cookies, [&](HWND dialog) {
        ClickAsMouse(dialog, 213);
        // A summer range picked in the afternoon and the morning.
        SetPicker(dialog, IDC_QM_COOKIES_FROM, 2023, 7, 15, 14, 30);
        SetPicker(dialog, IDC_QM_COOKIES_TO, 2023, 7, 16, 9, 10);
        ClickAsMouse(dialog, IDOK);
        // The same winter day twice.
        SetPicker(dialog, IDC_QM_COOKIES_FROM, 2023, 1, 10, 18, 0);
        SetPicker(dialog, IDC_QM_COOKIES_TO, 2023, 1, 10, 8, 0);
        ClickAsMouse(dialog, IDOK);
        // The 23-hour day of the change to summer time.
        SetPicker(dialog, IDC_QM_COOKIES_FROM, 2023, 3, 26, 12, 0);
        SetPicker(dialog, IDC_QM_COOKIES_TO, 2023, 3, 26, 12, 0);
        ClickAsMouse(dialog, IDOK);
        ClickAsMouse(dialog, IDCANCEL);
    });
    ASSERT_EQ(owner.records.size(), 3u);
    EXPECT_EQ(owner.records[0].criterion, 10u);
    EXPECT_EQ(owner.records[0].from.ticks, Utc(2023, 7, 14, 22).ticks);
    EXPECT_EQ(owner.records[0].to.ticks, Utc(2023, 7, 16, 22).ticks - kTick);
    EXPECT_EQ(owner.records[1].from.ticks, Utc(2023, 1, 9, 23).ticks);
    EXPECT_EQ(owner.records[1].to.ticks, Utc(2023, 1, 10, 23).ticks - kTick);
    EXPECT_EQ(owner.records[2].from.ticks, Utc(2023, 3, 25, 23).ticks);
    EXPECT_EQ(owner.records[2].to.ticks, Utc(2023, 3, 26, 22).ticks - kTick);

    // Read back in local time: midnight to the last tick before the next one.
    for (const CleanupCriteria& record : owner.records) {
        const SYSTEMTIME from = LocalOf(record.from);
        const SYSTEMTIME after = LocalOf(FileTime{record.to.ticks + kTick});
        EXPECT_EQ(from.wHour + from.wMinute + from.wSecond + from.wMilliseconds, 0);
        EXPECT_EQ(after.wHour + after.wMinute + after.wSecond + after.wMilliseconds, 0);
    }
}

// The switch is read when the dialog opens; then every Clean Up asks, and
// No sends nothing.
TEST_F(CleanupDialogWindowTest, ConfirmationReadAtOpeningIsAskedAtEachCleanUp) {
    confirmation.Remove();
    test.prompts.QueueAnswer(false);
    test.prompts.QueueAnswer(true);
    Run(RecordKind::Cookies, [&](HWND dialog) {
        confirmation.Disable(true);
        ClickAsMouse(dialog, IDOK);
        EXPECT_TRUE(owner.records.empty());
        EXPECT_TRUE(IsWindowVisible(dialog));
        ClickAsMouse(dialog, IDOK);
        ClickAsMouse(dialog, IDCANCEL);
    });
    EXPECT_EQ(test.prompts.questions,
              std::vector<std::string>(2, "Are you sure you want to delete Internet Explorer Cookies?"));
    EXPECT_EQ(owner.records.size(), 1u);
}

TEST_F(CleanupDialogWindowTest, EnterInTheTextBoxAndEscapeCloseWithoutCleaning) {
    confirmation.Remove();
    const std::pair<RecordKind, int> boxes[] = {{RecordKind::History, IDC_QM_HISTORY_TEXT},
                                                {RecordKind::Cookies, IDC_QM_COOKIES_TEXT},
                                                {RecordKind::Cache, IDC_QM_CACHE_TEXT}};
    for (const auto& [kind, box] : boxes) {
        for (WPARAM key : {WPARAM{VK_RETURN}, WPARAM{VK_ESCAPE}}) {
            SCOPED_TRACE(testing::Message() << "kind " << static_cast<int>(kind) << " key " << key);
            const INT_PTR result = Run(kind, [&](HWND dialog) {
                ClickAsMouse(dialog, box == IDC_QM_HISTORY_TEXT ? 213 : 211);
                HWND edit = GetDlgItem(dialog, box);
                SetWindowTextA(edit, "example");
                SetFocus(edit);
                PostKey(edit, key);
            });
            EXPECT_EQ(result, IDCANCEL);
        }
    }
    EXPECT_TRUE(owner.records.empty());
    EXPECT_TRUE(test.prompts.questions.empty());
}

}  // namespace
}  // namespace qm
