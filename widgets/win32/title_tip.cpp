#include "widgets/win32/title_tip.h"

#include "platform/win32/gdi.h"

namespace qm {

TitleTip::~TitleTip() {
    Destroy();
}

bool TitleTip::Create(HWND list, HINSTANCE module) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    if (!GetClassInfoExA(module, kTitleTipClass, &windowClass)) {
        windowClass = {};
        windowClass.cbSize = sizeof(windowClass);
        // The tip comes and goes over the same cells: let the system keep
        // the bits beneath it rather than repaint the list each time.
        windowClass.style = CS_SAVEBITS;
        windowClass.lpfnWndProc = &TitleTip::WindowProc;
        windowClass.hInstance = module;
        windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
        windowClass.lpszClassName = kTitleTipClass;
        if (!RegisterClassExA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    }
    list_ = list;
    CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kTitleTipClass, "", WS_POPUP, 0, 0,
                    0, 0, list, nullptr, module, this);
    return window_ != nullptr;
}

void TitleTip::Destroy() {
    if (window_ && IsWindow(window_)) DestroyWindow(window_);
    window_ = nullptr;
    visible_ = false;
}

void TitleTip::Show(const RECT& screen, std::string text, const Look& look) {
    if (!window_) return;
    text_ = std::move(text);
    look_ = look;
    SetWindowPos(window_, HWND_TOPMOST, screen.left, screen.top, screen.right - screen.left,
                 screen.bottom - screen.top, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(window_, nullptr, TRUE);
    visible_ = true;
    SetCapture(window_);
}

void TitleTip::Hide() {
    if (!window_ || !visible_) return;
    visible_ = false;  // first: releasing the capture comes back here
    ShowWindow(window_, SW_HIDE);
    if (GetCapture() == window_) ReleaseCapture();
}

LRESULT CALLBACK TitleTip::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* tip = static_cast<TitleTip*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        tip->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(tip));
    }
    auto* tip = reinterpret_cast<TitleTip*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        if (tip) {
            tip->window_ = nullptr;
            tip->visible_ = false;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (!tip) return DefWindowProcA(window, message, wParam, lParam);
    return tip->Handle(message, wParam, lParam);
}

LRESULT TitleTip::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // painted whole in WM_PAINT
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_MOUSEMOVE: {
            RECT client = {};
            GetClientRect(window_, &client);
            const POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            if (!PtInRect(&client, point)) {
                Hide();
                if (list_ && IsWindow(list_)) SendMessageA(list_, kTitleTipLeftMessage, 0, 0);
            }
            return 0;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            ForwardButton(message, wParam, lParam);
            return 0;
        case WM_CAPTURECHANGED:
            // Someone else took the mouse: the tip no longer learns when
            // the pointer leaves, so it goes.
            if (reinterpret_cast<HWND>(lParam) != window_) Hide();
            return 0;
        default:
            return DefWindowProcA(window_, message, wParam, lParam);
    }
}

void TitleTip::ForwardButton(UINT message, WPARAM wParam, LPARAM lParam) {
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    Hide();
    if (!list_ || !IsWindow(list_)) return;
    MapWindowPoints(window_, list_, &point, 1);
    // A double click on the tip is a press for the list: the list has not
    // seen the first click's press.
    const UINT forwarded = message == WM_LBUTTONDBLCLK ? WM_LBUTTONDOWN : message;
    PostMessageA(list_, forwarded, wParam, MAKELPARAM(point.x, point.y));
}

void TitleTip::Paint() {
    PAINTSTRUCT paint = {};
    const HDC dc = BeginPaint(window_, &paint);
    if (!dc) return;
    RECT client = {};
    GetClientRect(window_, &client);
    SetBkColor(dc, look_.background);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &client, nullptr, 0, nullptr);
    const GdiObject frame(CreateSolidBrush(look_.frame));
    if (frame) FrameRect(dc, &client, static_cast<HBRUSH>(frame.get()));
    const HGDIOBJ previousFont = look_.font ? SelectObject(dc, look_.font) : nullptr;
    SetTextColor(dc, look_.text);
    SetBkMode(dc, TRANSPARENT);
    RECT textRect = client;
    textRect.left += 4;
    DrawTextA(dc, text_.c_str(), static_cast<int>(text_.size()), &textRect,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
    if (previousFont) SelectObject(dc, previousFont);
    EndPaint(window_, &paint);
}

}  // namespace qm
