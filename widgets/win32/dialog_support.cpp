#include "widgets/win32/dialog_support.h"

#include <algorithm>
#include <iterator>
#include <mutex>
#include <vector>

namespace qm {
namespace {

// The records being sent in this module, one per send under way (a send
// inside a send adds its own). Each browser window's thread may have one.
struct RecordInFlight {
    DWORD thread;
    UINT message;
    const void* record;
    bool taken;
};

std::mutex& RecordsLock() {
    static std::mutex lock;
    return lock;
}

std::vector<RecordInFlight>& Records() {
    static std::vector<RecordInFlight> records;
    return records;
}

bool Matches(const RecordInFlight& entry, DWORD thread, UINT message, const void* record) {
    return entry.thread == thread && entry.message == message && entry.record == record;
}

}  // namespace

LRESULT SendRecord(HWND target, UINT message, const void* record) {
    const DWORD thread = GetCurrentThreadId();
    {
        const std::lock_guard<std::mutex> lock(RecordsLock());
        Records().push_back({thread, message, record, false});
    }
    const LRESULT result = SendMessageA(target, message, 0, reinterpret_cast<LPARAM>(record));
    const std::lock_guard<std::mutex> lock(RecordsLock());
    std::vector<RecordInFlight>& records = Records();
    const auto entry = std::find_if(records.rbegin(), records.rend(), [&](const RecordInFlight& each) {
        return Matches(each, thread, message, record);
    });
    if (entry != records.rend()) records.erase(std::next(entry).base());
    return result;
}

bool TakeSentRecord(UINT message, LPARAM record) {
    if (record == 0) return false;
    const DWORD thread = GetCurrentThreadId();
    const std::lock_guard<std::mutex> lock(RecordsLock());
    for (RecordInFlight& each : Records()) {
        if (!each.taken && Matches(each, thread, message, reinterpret_cast<const void*>(record))) {
            each.taken = true;
            return true;
        }
    }
    return false;
}

std::string ControlText(HWND dialog, int id, std::size_t maxChars) {
    std::vector<char> buffer(maxChars + 1, '\0');
    const UINT copied = GetDlgItemTextA(dialog, id, buffer.data(), static_cast<int>(buffer.size()));
    return std::string(buffer.data(), std::min<std::size_t>(copied, maxChars));
}

void SetControlText(HWND dialog, int id, std::string_view text) {
    // Controls take NUL-terminated text: whatever follows a NUL is not shown.
    const std::string terminated(text.substr(0, text.find('\0')));
    SetDlgItemTextA(dialog, id, terminated.c_str());
}

bool IsChecked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void SetChecked(HWND dialog, int id, bool checked) {
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

}  // namespace qm
