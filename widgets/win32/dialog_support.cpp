#include "widgets/win32/dialog_support.h"

#include <algorithm>
#include <vector>

namespace qm {

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
