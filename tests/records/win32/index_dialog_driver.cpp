#include "tests/records/win32/index_dialog_driver.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "resources/index_file_ids.h"

namespace qm::test {

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!done()) {
        const ULONGLONG now = GetTickCount64();
        if (now >= end) return done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(end - now, 50)),
                                  QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return true;
}

ListCtrl* DialogList(HWND dialog) {
    const HWND window = GetDlgItem(dialog, IDC_QM_INDEX_FILE_LIST);
    char name[64] = {};
    if (!window || !GetClassNameA(window, name, sizeof name) || std::string(name) != kListCtrlClass)
        return nullptr;
    return ListCtrl::FromWindow(window);
}

std::vector<std::string> ListRows(HWND dialog) {
    std::vector<std::string> rows;
    const ListCtrl* list = DialogList(dialog);
    if (!list) return rows;
    for (int row = 0; row < list->model().RowCount(); ++row)
        rows.emplace_back(list->model().GetCellText(row, 0));
    return rows;
}

namespace {

INT_PTR CALLBACK PlainDialogProcedure(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

}  // namespace

RECT PlaceholderArea(HINSTANCE module, int templateId) {
    RECT area{};
    const HWND dialog =
        CreateDialogParamA(module, MAKEINTRESOURCEA(templateId), nullptr, &PlainDialogProcedure, 0);
    const HWND placeholder = dialog ? GetDlgItem(dialog, IDC_QM_INDEX_FILE_LIST) : nullptr;
    if (placeholder) {
        GetWindowRect(placeholder, &area);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
    } else {
        ADD_FAILURE() << "dialog " << templateId << " or its list placeholder cannot be made";
    }
    if (dialog) DestroyWindow(dialog);
    return area;
}

void ClickRow(HWND dialog, int row) {
    const ListCtrl* list = DialogList(dialog);
    if (!list) return;
    const int y = list->metrics().headerHeight + row * list->metrics().rowHeight +
                  list->metrics().rowHeight / 2 - list->viewport().scrollY;
    const LPARAM point = MAKELPARAM(30, y);
    SendMessageA(list->window(), WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageA(list->window(), WM_LBUTTONUP, 0, point);
}

std::optional<std::string> TestShell::SpecialFolderPath(SpecialFolder folder) {
    const auto found = folders.find(folder);
    if (found == folders.end()) return std::nullopt;
    return found->second;
}

SearchFileSystem::Shared::Shared() : gate(CreateEventA(nullptr, TRUE, TRUE, nullptr)) {}

SearchFileSystem::Shared::~Shared() {
    CloseHandle(gate);
}

SearchFileSystem::SearchFileSystem() : shared_(std::make_shared<Shared>()) {}

SearchFileSystem::~SearchFileSystem() {
    // A search let go by its dialog may still be listing: open the gate and
    // give it time to leave before the test's folders go.
    OpenGate();
    const ULONGLONG end = GetTickCount64() + 10000;
    while (shared_->underWay.load() > 0 && GetTickCount64() < end) Sleep(10);
}

std::unique_ptr<FileSystem> SearchFileSystem::ForSearchThread() const {
    return std::unique_ptr<FileSystem>(new SearchFileSystem(shared_));
}

std::optional<std::vector<FoundFile>> SearchFileSystem::Find(std::string_view pattern) {
    ++shared_->underWay;
    ++shared_->listings;
    WaitForSingleObject(shared_->gate, 10000);
    if (const DWORD delay = shared_->delayMs.load()) Sleep(delay);
    auto found = real_.Find(pattern);
    --shared_->underWay;
    return found;
}

}  // namespace qm::test
