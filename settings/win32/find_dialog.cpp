#include "settings/win32/find_dialog.h"

#include "resources/settings_ids.h"
#include "settings/find_on_tab.h"
#include "settings/settings.h"
#include "widgets/win32/dialog_support.h"

namespace qm {
namespace {

class FindDialog {
public:
    FindDialog(HWND view, Registry& registry, bool lowIntegrity, Prompts& prompts)
        : view_(view), registry_(registry), lowIntegrity_(lowIntegrity), prompts_(prompts) {}

    BOOL OnInitDialog(HWND dialog) {
        dialog_ = dialog;
        const FindOptions stored = ReadFindOptions(registry_, lowIntegrity_);
        SetChecked(dialog, IDC_QM_FIND_WHOLE, stored.wholeWord);
        SetChecked(dialog, IDC_QM_FIND_CASE, stored.matchCase);
        SetChecked(dialog, IDC_QM_FIND_NAMES, stored.searchNames);
        SetChecked(dialog, IDC_QM_FIND_VALUES, stored.searchValues);
        SetControlText(dialog, IDC_QM_FIND_TEXT, stored.lastSearch);
        return TRUE;
    }

    void OnCommand(int id, int /*code*/, HWND /*control*/) {
        switch (id) {
            case IDOK:  // Enter
            case IDC_QM_FIND_NEXT:
                Press(false);
                break;
            case IDC_QM_FIND_ALL:
                Press(true);
                break;
            case IDCANCEL:  // Close, Escape and the close box
                // A key that can be neither opened nor made: the dialog
                // ends without saving.
                WriteFindOptions(registry_, lowIntegrity_, Boxes());
                EndDialog(dialog_, IDCANCEL);
                break;
            default:
                break;
        }
    }

private:
    FindOptions Boxes() const {
        FindOptions boxes;
        boxes.wholeWord = IsChecked(dialog_, IDC_QM_FIND_WHOLE);
        boxes.matchCase = IsChecked(dialog_, IDC_QM_FIND_CASE);
        boxes.searchNames = IsChecked(dialog_, IDC_QM_FIND_NAMES);
        boxes.searchValues = IsChecked(dialog_, IDC_QM_FIND_VALUES);
        boxes.lastSearch = ControlText(dialog_, IDC_QM_FIND_TEXT, kFindTextLimit);
        return boxes;
    }

    void Press(bool findAll) {
        const FindPress press = PressFind(Boxes(), findAll, prompts_);
        if (press.checkNames) SetChecked(dialog_, IDC_QM_FIND_NAMES, true);
        if (!press.request) {
            SendMessageA(dialog_, WM_NEXTDLGCTL,
                         reinterpret_cast<WPARAM>(GetDlgItem(dialog_, IDC_QM_FIND_TEXT)), TRUE);
            return;
        }
        FindRequest request = *press.request;
        SendRecord(view_, WM_FINDONTAB, &request);
    }

    HWND view_;
    Registry& registry_;
    bool lowIntegrity_;
    Prompts& prompts_;
    HWND dialog_ = nullptr;
};

}  // namespace

void ShowFindDialog(HINSTANCE module, HWND owner, HWND view, Registry& registry, bool lowIntegrity,
                    Prompts& prompts) {
    FindDialog dialog(view, registry, lowIntegrity, prompts);
    RunModal(module, IDD_QM_FIND, owner, dialog);
}

}  // namespace qm
