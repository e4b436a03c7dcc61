// What the band's dialog windows share: the one procedure that ties a
// dialog window to its object, and reading a control's text as a plain
// value.
//
// A dialog object lives on the stack of the function that shows it, for as
// long as the modal dialog runs. The procedure stores the object's address
// in the dialog's DWLP_USER at WM_INITDIALOG and forwards the messages the
// object handles; everything else gets the default dialog processing.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace qm {

// A dialog object provides:
//   BOOL OnInitDialog(HWND dialog);
//   void OnCommand(int id, int code, HWND control);
// and, when it holds something to let go of before the window goes,
//   void OnDestroy();
// A dialog that handles more messages than these provides instead
//   INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
// which gets every message after WM_INITDIALOG, WM_NCDESTROY excepted.
template <typename Dialog>
INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        auto* self = reinterpret_cast<Dialog*>(lParam);
        return self ? self->OnInitDialog(dialog) : TRUE;
    }
    auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (!self) return FALSE;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(dialog, DWLP_USER, 0);
        return FALSE;
    }
    if constexpr (requires { self->OnMessage(message, wParam, lParam); }) {
        return self->OnMessage(message, wParam, lParam);
    } else {
        switch (message) {
            case WM_COMMAND:
                self->OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
                return TRUE;
            case WM_DESTROY:
                if constexpr (requires { self->OnDestroy(); }) self->OnDestroy();
                return FALSE;
            default:
                return FALSE;
        }
    }
}

// Shows the dialog template modally and returns how it ended (-1 when it
// could not be created).
template <typename Dialog>
INT_PTR RunModal(HINSTANCE module, int templateId, HWND owner, Dialog& dialog) {
    return DialogBoxParamA(module, MAKEINTRESOURCEA(templateId), owner, &DialogProcedure<Dialog>,
                           reinterpret_cast<LPARAM>(&dialog));
}

// The private messages through which the band's dialogs hand the view a
// record (WM_FINDONTAB, WM_PERFORMCLEANUP) carry its address, which is
// valid only while the dialog waits in its SendMessage. Any program on the
// desktop can post the same message numbers with any address, so the view
// reads a record only when it is the one this module's dialog is sending at
// that moment: SendRecord lists the address in the module's state, for this
// thread and this message, for the length of the send; TakeSentRecord
// answers true for it, once per send. A posted message, one from another
// thread or process, or any other address matches nothing.
LRESULT SendRecord(HWND target, UINT message, const void* record);
bool TakeSentRecord(UINT message, LPARAM record);

// The control's text, at most maxChars characters of it.
std::string ControlText(HWND dialog, int id, std::size_t maxChars);
void SetControlText(HWND dialog, int id, std::string_view text);
bool IsChecked(HWND dialog, int id);
void SetChecked(HWND dialog, int id, bool checked);

}  // namespace qm
