#include "cleaning/win32/cleanup_dialog_window.h"

#include <commctrl.h>

#include <string>

#include "cleaning/cleanup_dialog.h"
#include "resources/cleaning_ids.h"
#include "widgets/win32/dialog_support.h"

namespace qm {
namespace {

// Where a kind's dialog keeps the controls the record is read from.
struct CleanupControls {
    int dialogId;
    int firstRadio;   // checked when the dialog opens
    int protocolBox;  // 0: the dialog has none
    int textBox;
    int fromPicker;
    int toPicker;
};

CleanupControls ControlsOf(RecordKind kind) {
    switch (kind) {
        case RecordKind::History:
            return {IDD_QM_CLEAN_HISTORY, IDC_QM_HISTORY_ALL,  IDC_QM_HISTORY_PROTOCOL_COMBO,
                    IDC_QM_HISTORY_TEXT,  IDC_QM_HISTORY_FROM, IDC_QM_HISTORY_TO};
        case RecordKind::Cookies:
            return {IDD_QM_CLEAN_COOKIES, IDC_QM_COOKIES_ALL,  0,
                    IDC_QM_COOKIES_TEXT,  IDC_QM_COOKIES_FROM, IDC_QM_COOKIES_TO};
        case RecordKind::Cache:
            return {IDD_QM_CLEAN_CACHE, IDC_QM_CACHE_ALL,  0,
                    IDC_QM_CACHE_TEXT,  IDC_QM_CACHE_FROM, IDC_QM_CACHE_TO};
    }
    return {};
}

SystemTime FromWindows(const SYSTEMTIME& time) {
    return {time.wYear, time.wMonth,  time.wDayOfWeek, time.wDay,
            time.wHour, time.wMinute, time.wSecond,    time.wMilliseconds};
}

SYSTEMTIME ToWindows(const SystemTime& time) {
    return {time.year, time.month,  time.dayOfWeek, time.day,
            time.hour, time.minute, time.second,    time.milliseconds};
}

// A picker without a valid date leaves the day empty, which the core takes
// as a day it cannot convert.
SystemTime PickedDay(HWND dialog, int id) {
    SYSTEMTIME picked = {};
    HWND picker = GetDlgItem(dialog, id);
    if (!picker || SendMessageA(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&picked)) != GDT_VALID)
        return {};
    return FromWindows(picked);
}

class CleanupDialog {
public:
    CleanupDialog(RecordKind kind, Platform& platform)
        : kind_(kind), controls_(ControlsOf(kind)), platform_(platform) {}

    BOOL OnInitDialog(HWND dialog) {
        dialog_ = dialog;
        SetChecked(dialog, controls_.firstRadio, true);
        if (controls_.protocolBox) {
            for (std::string_view protocol : kHistoryProtocols) {
                const std::string item(protocol);
                SendDlgItemMessageA(dialog, controls_.protocolBox, CB_ADDSTRING, 0,
                                    reinterpret_cast<LPARAM>(item.c_str()));
            }
            SendDlgItemMessageA(dialog, controls_.protocolBox, CB_SETCURSEL, 0, 0);
        }
        // Read afresh at every opening: the Options dialog may have changed it.
        confirm_ = ReadDialogConfirmation(platform_.registry, platform_.osVersion);
        return TRUE;
    }

    // Clean Up (IDOK) leaves the dialog open; Close (IDCANCEL, also Esc,
    // and Enter outside a push button, Close being the default) ends it.
    void OnCommand(int id, int code, HWND /*control*/) {
        if (code != BN_CLICKED) return;
        if (id == IDCANCEL) {
            EndDialog(dialog_, IDCANCEL);
        } else if (id == IDOK) {
            // Nothing may unwind through the system's dialog code; a Clean
            // Up that fails before its send has sent nothing.
            try {
                CleanUp();
            } catch (...) {
            }
        }
    }

private:
    CleanupDialogInput ReadInput() const {
        CleanupDialogInput input;
        input.criterion = CheckedCriterion(kind_, [this](int id) { return IsChecked(dialog_, id); });
        if (controls_.protocolBox)
            input.protocolText = ControlText(dialog_, controls_.protocolBox, kProtocolTextLength);
        const std::size_t textLength =
            kind_ == RecordKind::History ? kHistorySearchTextLength : kSearchTextLength;
        input.searchText = ControlText(dialog_, controls_.textBox, textLength);
        input.fromDay = PickedDay(dialog_, controls_.fromPicker);
        input.toDay = PickedDay(dialog_, controls_.toPicker);
        return input;
    }

    void CleanUp() {
        const CleanupDialogInput input = ReadInput();
        std::optional<CleanupCriteria> record = CleanUpPressed(kind_, input, confirm_, platform_.prompts,
                                                               platform_.clock, &LocalToUtcByTimeZoneRules);
        if (!record) return;
        // The owner deletes and rebuilds its list before the send returns;
        // the record is only lent for that time.
        if (HWND owner = GetWindow(dialog_, GW_OWNER))
            SendRecord(owner, WM_PERFORMCLEANUP, &*record);
    }

    RecordKind kind_;
    CleanupControls controls_;
    Platform& platform_;
    HWND dialog_ = nullptr;
    bool confirm_ = true;
};

}  // namespace

int CleanupDialogId(RecordKind kind) {
    return ControlsOf(kind).dialogId;
}

INT_PTR RunCleanupDialog(HINSTANCE resources, HWND owner, RecordKind kind, Platform& platform) {
    const INITCOMMONCONTROLSEX classes = {sizeof(INITCOMMONCONTROLSEX), ICC_DATE_CLASSES};
    InitCommonControlsEx(&classes);
    CleanupDialog dialog(kind, platform);
    return RunModal(resources, CleanupDialogId(kind), owner, dialog);
}

std::optional<FileTime> LocalToUtcByTimeZoneRules(const SystemTime& local) {
    const SYSTEMTIME localTime = ToWindows(local);
    SYSTEMTIME utcTime = {};
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &localTime, &utcTime)) return std::nullopt;
    FILETIME utc = {};
    if (!SystemTimeToFileTime(&utcTime, &utc)) return std::nullopt;
    return FileTime{uint64_t{utc.dwHighDateTime} << 32 | utc.dwLowDateTime};
}

}  // namespace qm
