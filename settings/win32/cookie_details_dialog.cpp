#include "settings/win32/cookie_details_dialog.h"

#include <string>

#include "resources/settings_ids.h"
#include "settings/cookie_details.h"
#include "widgets/win32/dialog_support.h"

namespace qm {
namespace {

class CookieDetailsDialog {
public:
    explicit CookieDetailsDialog(std::string text) : text_(std::move(text)) {}

    BOOL OnInitDialog(HWND dialog) {
        dialog_ = dialog;
        // An edit box takes about 32,000 characters unless told otherwise;
        // a long cookie file is shown whole.
        SendDlgItemMessageA(dialog, IDC_QM_COOKIE_TEXT, EM_LIMITTEXT, 0, 0);
        SetControlText(dialog, IDC_QM_COOKIE_TEXT, text_);
        return TRUE;
    }

    void OnCommand(int id, int /*code*/, HWND /*control*/) {
        if (id == IDOK || id == IDCANCEL) EndDialog(dialog_, id);
    }

private:
    std::string text_;
    HWND dialog_ = nullptr;
};

}  // namespace

void ShowCookieDetailsDialog(HINSTANCE module, HWND owner, FileSystem& fileSystem, std::string_view path) {
    CookieDetailsDialog dialog(ReadCookieDetails(fileSystem, path));
    RunModal(module, IDD_QM_COOKIE_DETAILS, owner, dialog);
}

}  // namespace qm
