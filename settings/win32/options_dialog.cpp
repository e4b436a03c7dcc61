#include "settings/win32/options_dialog.h"

#include <string>

#include "resources/settings_ids.h"
#include "settings/date_formatter.h"
#include "settings/settings.h"
#include "widgets/win32/dialog_support.h"

namespace qm {
namespace {

// The lists hold at most this many characters of their entries' texts.
constexpr std::size_t kTemplateChars = setting::kDateTemplateBuffer - 1;
constexpr std::size_t kSeparatorChars = setting::kSeparatorBuffer - 1;

std::string SelectedText(HWND dialog, int id, std::size_t maxChars) {
    const HWND list = GetDlgItem(dialog, id);
    const LRESULT row = SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (row == CB_ERR) return {};
    const LRESULT length = SendMessageA(list, CB_GETLBTEXTLEN, row, 0);
    if (length == CB_ERR || length < 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    SendMessageA(list, CB_GETLBTEXT, row, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text.substr(0, maxChars);
}

template <std::size_t N>
void FillList(HWND dialog, int id, const char* const (&entries)[N]) {
    const HWND list = GetDlgItem(dialog, id);
    for (const char* entry : entries) SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
    SendMessageA(list, CB_SETCURSEL, 0, 0);
}

// The list's own exact search compares the whole entry without case; a
// stored value that is not in the list leaves the selection as it is.
void SelectStored(HWND dialog, int id, const std::optional<std::string>& stored) {
    if (!stored || stored->find('\0') != std::string::npos) return;
    const HWND list = GetDlgItem(dialog, id);
    const LRESULT row = SendMessageA(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(stored->c_str()));
    if (row != CB_ERR) SendMessageA(list, CB_SETCURSEL, row, 0);
}

class OptionsDialog {
public:
    OptionsDialog(Registry& registry, bool lowIntegrity, Clock& clock)
        : registry_(registry), lowIntegrity_(lowIntegrity), clock_(clock) {}

    BOOL OnInitDialog(HWND dialog) {
        dialog_ = dialog;
        FillList(dialog, IDC_QM_DATE_TEMPLATE, kOfferedDateTemplates);
        FillList(dialog, IDC_QM_DATE_SEPARATOR, kOfferedDateSeparators);
        const OptionsValues stored = ReadOptions(registry_, lowIntegrity_);
        SelectStored(dialog, IDC_QM_DATE_TEMPLATE, stored.dateTemplate);
        SelectStored(dialog, IDC_QM_DATE_SEPARATOR, stored.separator);
        SetChecked(dialog, IDC_QM_DISABLE_CONFIRMATION, stored.disableConfirmation);
        ShowSample();
        return TRUE;
    }

    void OnCommand(int id, int code, HWND /*control*/) {
        switch (id) {
            case IDC_QM_DATE_TEMPLATE:
            case IDC_QM_DATE_SEPARATOR:
                if (code == CBN_SELCHANGE) ShowSample();
                break;
            case IDOK:
                // A key that can be neither opened nor made still ends the
                // dialog with OK; nothing is written then.
                WriteOptions(registry_, lowIntegrity_, IsChecked(dialog_, IDC_QM_DISABLE_CONFIRMATION),
                             SelectedText(dialog_, IDC_QM_DATE_TEMPLATE, kTemplateChars),
                             SelectedText(dialog_, IDC_QM_DATE_SEPARATOR, kSeparatorChars));
                EndDialog(dialog_, IDOK);
                break;
            case IDCANCEL:
                EndDialog(dialog_, IDCANCEL);
                break;
            default:
                break;
        }
    }

private:
    void ShowSample() {
        SetControlText(dialog_, IDC_QM_DATE_SAMPLE,
                       DateSample(SelectedText(dialog_, IDC_QM_DATE_TEMPLATE, kTemplateChars),
                                  SelectedText(dialog_, IDC_QM_DATE_SEPARATOR, kSeparatorChars),
                                  clock_.NowUtcSystemTime()));
    }

    Registry& registry_;
    bool lowIntegrity_;
    Clock& clock_;
    HWND dialog_ = nullptr;
};

}  // namespace

bool ShowOptionsDialog(HINSTANCE module, HWND owner, Registry& registry, bool lowIntegrity, Clock& clock) {
    OptionsDialog dialog(registry, lowIntegrity, clock);
    return RunModal(module, IDD_QM_OPTIONS, owner, dialog) == IDOK;
}

}  // namespace qm
