#include "tests/records/win32/index_dialog_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

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

std::string ClassName(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

ListCtrl* DialogList(HWND dialog) {
    const HWND window = GetDlgItem(dialog, IDC_QM_INDEX_FILE_LIST);
    if (!window || ClassName(window) != kListCtrlClass) return nullptr;
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

// Runs measure on the placeholder of an invisible copy of the template.
template <typename Measure>
auto MeasurePlaceholder(HINSTANCE module, int templateId, Measure measure) {
    const HWND dialog =
        CreateDialogParamA(module, MAKEINTRESOURCEA(templateId), nullptr, &PlainDialogProcedure, 0);
    decltype(measure(dialog, dialog)) result{};
    if (!dialog) {
        ADD_FAILURE() << "cannot make dialog " << templateId;
        return result;
    }
    if (const HWND placeholder = GetDlgItem(dialog, IDC_QM_INDEX_FILE_LIST)) {
        result = measure(dialog, placeholder);
    } else {
        ADD_FAILURE() << "dialog " << templateId << " has no list placeholder";
    }
    DestroyWindow(dialog);
    return result;
}

}  // namespace

RECT PlaceholderArea(HINSTANCE module, int templateId) {
    return MeasurePlaceholder(module, templateId, [](HWND dialog, HWND placeholder) {
        RECT area{};
        GetWindowRect(placeholder, &area);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
        return area;
    });
}

int PlaceholderClientWidth(HINSTANCE module, int templateId) {
    return MeasurePlaceholder(module, templateId, [](HWND, HWND placeholder) {
        RECT client{};
        GetClientRect(placeholder, &client);
        return static_cast<int>(client.right - client.left);
    });
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

TempTree::TempTree() {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    std::string base(folder);
    if (!base.empty() && base.back() == '\\') base.pop_back();
    for (unsigned attempt = 0; attempt < 1000 && root_.empty(); ++attempt) {
        const std::string candidate = base + "\\qm-index-dialogs-" + std::to_string(GetCurrentProcessId()) +
                                      "-" + std::to_string(GetTickCount64() % 100000) + "-" +
                                      std::to_string(attempt);
        if (CreateDirectoryA(candidate.c_str(), nullptr)) root_ = candidate;
    }
    if (root_.empty()) ADD_FAILURE() << "cannot make a temporary folder";
}

TempTree::~TempTree() {
    std::error_code ignored;
    if (!root_.empty()) std::filesystem::remove_all(root_, ignored);
}

std::string TempTree::Path(std::string_view relative) const {
    return relative.empty() ? root_ : root_ + "\\" + std::string(relative);
}

void TempTree::MakeFolder(std::string_view relative) const {
    std::error_code ignored;
    std::filesystem::create_directories(Path(relative), ignored);
}

void TempTree::MakeFile(std::string_view relative, std::string_view content) const {
    const std::filesystem::path path(Path(relative));
    std::error_code ignored;
    std::filesystem::create_directories(path.parent_path(), ignored);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

}  // namespace qm::test
