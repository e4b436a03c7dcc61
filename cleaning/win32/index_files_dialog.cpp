#include "cleaning/win32/index_files_dialog.h"

#include "cleaning/index_removal.h"
#include "resources/cleaning_ids.h"
#include "widgets/win32/dialog_support.h"

namespace qm {
namespace {

class IndexFilesDialog {
public:
    IndexFilesDialog(Platform& platform, std::string dllPath)
        : platform_(platform), dllPath_(std::move(dllPath)) {}

    BOOL OnInitDialog(HWND dialog) {
        dialog_ = dialog;
        const IndexBoxes boxes = PresetIndexBoxes(platform_);
        SetChecked(dialog, IDC_QM_INDEX_HISTORY, boxes.history);
        SetChecked(dialog, IDC_QM_INDEX_COOKIES, boxes.cookies);
        SetChecked(dialog, IDC_QM_INDEX_CACHE, boxes.cache);
        return TRUE;
    }

    void OnCommand(int id, int code, HWND /*control*/) {
        if (code != BN_CLICKED) return;
        if (id == IDOK) {
            IndexBoxes boxes;
            boxes.history = IsChecked(dialog_, IDC_QM_INDEX_HISTORY);
            boxes.cookies = IsChecked(dialog_, IDC_QM_INDEX_COOKIES);
            boxes.cache = IsChecked(dialog_, IDC_QM_INDEX_CACHE);
            // Scheduling failures go unreported and the dialog closes all
            // the same; nothing may unwind through the system's dialog code.
            try {
                ScheduleIndexRemoval(platform_, boxes, dllPath_);
            } catch (...) {
            }
            EndDialog(dialog_, IDOK);
        } else if (id == IDCANCEL) {
            EndDialog(dialog_, IDCANCEL);
        }
    }

private:
    Platform& platform_;
    std::string dllPath_;
    HWND dialog_ = nullptr;
};

}  // namespace

std::optional<std::string> ModulePath(HINSTANCE module) {
    // GetModuleFileNameA fills the whole buffer (and may leave it without
    // its NUL) when the path does not fit: grow until it does.
    for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
        std::string path(size, '\0');
        const DWORD length = GetModuleFileNameA(module, path.data(), size);
        if (length == 0) return std::nullopt;
        if (length < size) {
            path.resize(length);
            return path;
        }
    }
    return std::nullopt;
}

INT_PTR RunIndexFilesDialog(HINSTANCE module, HWND owner, Platform& platform) {
    // Without its own path the run-once commands name no folder; the core
    // then writes none, so an empty path is safe.
    IndexFilesDialog dialog(platform, ModulePath(module).value_or(std::string{}));
    return RunModal(module, IDD_QM_CLEAN_INDEX_FILES, owner, dialog);
}

}  // namespace qm
