#include "widgets/win32/hyperlink.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

namespace qm {
namespace {

constexpr UINT_PTR kSubclassId = 0x514D484C;  // "QMHL"
constexpr UINT_PTR kToolId = 1;
// Window texts longer than this are cut; a link label is a line.
constexpr int kMaxWindowText = 4096;

bool IsStaticClass(HWND window) {
    char name[16] = {};
    return GetClassNameA(window, name, sizeof(name)) > 0 && lstrcmpiA(name, "static") == 0;
}

// Statics of these types show text; the others (icons, bitmaps, metafiles,
// frames, rectangles, owner-drawn) keep their own drawing.
bool IsTextStatic(LONG_PTR style) {
    switch (style & SS_TYPEMASK) {
        case SS_LEFT:
        case SS_CENTER:
        case SS_RIGHT:
        case SS_SIMPLE:
        case SS_LEFTNOWORDWRAP:
            return true;
        default:
            return false;
    }
}

std::string WindowText(HWND window) {
    const int length = std::clamp(GetWindowTextLengthA(window), 0, kMaxWindowText);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::clamp(copied, 0, length)));
    return text;
}

}  // namespace

const HyperLink::MessageEntry HyperLink::kMessages[] = {
    {WM_PAINT, &HyperLink::OnPaint},
    {WM_PRINTCLIENT, &HyperLink::OnPrintClient},
    {WM_ERASEBKGND, &HyperLink::OnEraseBackground},
    {WM_MOUSEMOVE, &HyperLink::OnMouseMove},
    {WM_MOUSEHOVER, &HyperLink::OnMouseHover},
    {WM_MOUSELEAVE, &HyperLink::OnMouseLeave},
    {WM_LBUTTONDOWN, &HyperLink::OnLeftButtonDown},
    {WM_LBUTTONUP, &HyperLink::OnLeftButtonUp},
    {WM_CHAR, &HyperLink::OnChar},
    {WM_SETCURSOR, &HyperLink::OnSetCursor},
    {WM_GETDLGCODE, &HyperLink::OnGetDlgCode},
    {WM_GETFONT, &HyperLink::OnGetFont},
    {WM_SETFONT, &HyperLink::OnSetFont},
    {WM_ENABLE, &HyperLink::OnEnable},
    {WM_SETFOCUS, &HyperLink::OnSetFocus},
    {WM_KILLFOCUS, &HyperLink::OnKillFocus},
    {WM_DESTROY, &HyperLink::OnDestroy},
};

HyperLink::HyperLink(Shell& shell, Registry* registry) : shell_(shell), registry_(registry) {
    MakeFonts(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    handCursor_ = LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));  // IDC_HAND
}

HyperLink::~HyperLink() {
    Detach();
}

void HyperLink::MakeFonts(HFONT base) {
    LOGFONTA font = {};
    if (!base || !GetObjectA(base, sizeof(font), &font)) {
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    }
    font.lfUnderline = FALSE;
    normalFont_.reset(CreateFontIndirectA(&font));
    font.lfUnderline = TRUE;
    hoverFont_.reset(CreateFontIndirectA(&font));
}

HFONT HyperLink::currentFont() const {
    return model_.hovered() ? hoverFont_.get() : normalFont_.get();
}

void HyperLink::SetTarget(std::string_view target) {
    model_.SetTarget(target);
    UpdateTooltip();
    if (window_) InvalidateRect(window_, nullptr, TRUE);
}

void HyperLink::SetLabel(std::string_view label) {
    model_.SetLabel(label);
    if (!window_) return;
    SetWindowTextA(window_, model_.label().c_str());
    MeasureText();
    UpdateTooltip();
    InvalidateRect(window_, nullptr, TRUE);
}

bool HyperLink::Attach(HWND control) {
    if (window_ || !control || !IsWindow(control) || !IsStaticClass(control)) return false;
    const LONG_PTR style = GetWindowLongPtrA(control, GWL_STYLE);
    if (!SetWindowSubclass(control, &HyperLink::SubclassProc, kSubclassId,
                           reinterpret_cast<DWORD_PTR>(this))) {
        return false;
    }
    window_ = control;
    SetWindowLongPtrA(control, GWL_STYLE, style | SS_NOTIFY);
    textStatic_ = IsTextStatic(style);

    tooltip_ =
        CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, control, nullptr,
                        reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(control, GWLP_HINSTANCE)), nullptr);
    if (tooltip_) {
        TTTOOLINFOA tool = {};
        tool.cbSize = TTTOOLINFOA_V1_SIZE;
        tool.hwnd = window_;
        tool.uId = kToolId;
        tool.lpszText = const_cast<char*>(model_.target().c_str());
        SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
        SendMessageA(tooltip_, TTM_ACTIVATE, TRUE, 0);
    }
    if (model_.label().empty()) {
        model_.SetLabel(WindowText(control));
    } else {
        SetWindowTextA(control, model_.label().c_str());
    }
    MeasureText();
    UpdateTooltip();
    colors_ = registry_ ? ReadBrowserLinkColors(*registry_) : BrowserLinkColors{};
    InvalidateRect(window_, nullptr, TRUE);
    return true;
}

void HyperLink::Detach() {
    if (!window_) return;
    if (GetCapture() == window_) ReleaseCapture();
    RemoveWindowSubclass(window_, &HyperLink::SubclassProc, kSubclassId);
    if (tooltip_) DestroyWindow(tooltip_);
    tooltip_ = nullptr;
    InvalidateRect(window_, nullptr, TRUE);
    window_ = nullptr;
}

void HyperLink::UpdateTooltip() {
    if (!tooltip_ || !window_) return;
    TTTOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.hwnd = window_;
    tool.uId = kToolId;
    const PixelRect& text = model_.textRect();
    tool.rect = RECT{text.left, text.top, text.right, text.bottom};
    SendMessageA(tooltip_, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
    tool.lpszText = const_cast<char*>(model_.target().c_str());
    SendMessageA(tooltip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

// The text rectangle is where the label is drawn (one line, vertically
// centred, placed by the static's alignment), so only the visible text is
// active.
void HyperLink::MeasureText() {
    if (!window_) return;
    RECT client{};
    GetClientRect(window_, &client);
    const std::string_view text = model_.ShownText();
    RECT bounds{0, 0, client.right, client.bottom};
    if (const WindowDc dc(window_); dc) {
        // Undone before the context goes back: declared after it.
        const Selection font(dc.get(), normalFont_ ? static_cast<HGDIOBJ>(normalFont_.get())
                                                   : GetStockObject(DEFAULT_GUI_FONT));
        DrawTextA(dc.get(), text.data(), static_cast<int>(text.size()), &bounds,
                  DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
    }
    if (text.empty()) bounds = RECT{};
    const LONG_PTR type = GetWindowLongPtrA(window_, GWL_STYLE) & SS_TYPEMASK;
    const TextAlignment alignment = type == SS_CENTER  ? TextAlignment::Center
                                    : type == SS_RIGHT ? TextAlignment::Right
                                                       : TextAlignment::Left;
    model_.SetTextRect(LinkTextRect(client.right, client.bottom, bounds.right - bounds.left,
                                    bounds.bottom - bounds.top, alignment));
}

LRESULT CALLBACK HyperLink::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR data) {
    auto* self = reinterpret_cast<HyperLink*>(data);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, &HyperLink::SubclassProc, kSubclassId);
        if (self->window_ == window) self->window_ = nullptr;
        return DefSubclassProc(window, message, wParam, lParam);
    }
    if (self->window_ != window) return DefSubclassProc(window, message, wParam, lParam);
    return self->Dispatch(message, wParam, lParam);
}

LRESULT HyperLink::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) RelayToTooltip(message, wParam, lParam);
    // A static of an image or frame type keeps its own look.
    const bool drawing = message == WM_PAINT || message == WM_PRINTCLIENT || message == WM_ERASEBKGND;
    if (drawing && !textStatic_) return DefSubclassProc(window_, message, wParam, lParam);
    for (const MessageEntry& entry : kMessages) {
        if (entry.message == message) return (this->*entry.handler)(wParam, lParam);
    }
    return DefSubclassProc(window_, message, wParam, lParam);
}

void HyperLink::RelayToTooltip(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!tooltip_) return;
    MSG relayed = {};
    relayed.hwnd = window_;
    relayed.message = message;
    relayed.wParam = wParam;
    relayed.lParam = lParam;
    relayed.time = GetMessageTime();
    GetCursorPos(&relayed.pt);
    SendMessageA(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

LRESULT HyperLink::OnPaint(WPARAM, LPARAM) {
    PAINTSTRUCT paint;
    if (HDC dc = BeginPaint(window_, &paint)) {
        Paint(dc);
        EndPaint(window_, &paint);
    }
    return 0;
}

LRESULT HyperLink::OnPrintClient(WPARAM wParam, LPARAM) {
    if (wParam) Paint(reinterpret_cast<HDC>(wParam));
    return 0;
}

LRESULT HyperLink::OnEraseBackground(WPARAM, LPARAM) {
    return 1;  // the paint fills the background itself
}

void HyperLink::Paint(HDC dc) {
    RECT client{};
    GetClientRect(window_, &client);
    auto brush = reinterpret_cast<HBRUSH>(SendMessageA(GetParent(window_), WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(window_)));
    if (brush) FillRect(dc, &client, brush);

    const std::string_view text = model_.ShownText();
    const PixelRect& area = model_.textRect();
    // The label starts where the text rectangle does, so what is drawn is
    // what can be clicked.
    RECT textRect{area.left, client.top, client.right, client.bottom};
    Selection font(dc,
                   currentFont() ? static_cast<HGDIOBJ>(currentFont()) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, IsWindowEnabled(window_) ? static_cast<COLORREF>(colors_.link.value)
                                              : GetSysColor(COLOR_GRAYTEXT));
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_LEFT;
    if (GetWindowLongPtrA(window_, GWL_STYLE) & SS_NOPREFIX) format |= DT_NOPREFIX;
    DrawTextA(dc, text.data(), static_cast<int>(text.size()), &textRect, format);
    if (GetFocus() == window_ && !area.empty()) {
        RECT focus{area.left, area.top, area.right, area.bottom};
        InflateRect(&focus, 1, 0);
        DrawFocusRect(dc, &focus);
    }
}

LRESULT HyperLink::OnMouseMove(WPARAM, LPARAM lParam) {
    const int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
    if (model_.MouseMove(x, y)) {
        TRACKMOUSEEVENT track{sizeof(track), TME_HOVER | TME_LEAVE, window_, kHyperLinkHoverMs};
        TrackMouseEvent(&track);
    }
    if (model_.ShowsHandAt(x, y) && handCursor_) SetCursor(handCursor_);
    return 0;
}

LRESULT HyperLink::OnMouseHover(WPARAM, LPARAM) {
    if (model_.Hover()) InvalidateRect(window_, nullptr, TRUE);
    return 0;
}

LRESULT HyperLink::OnMouseLeave(WPARAM, LPARAM) {
    if (model_.Leave()) InvalidateRect(window_, nullptr, TRUE);
    return 0;
}

LRESULT HyperLink::OnLeftButtonDown(WPARAM, LPARAM lParam) {
    if (model_.LeftButtonDown(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)))) {
        SetFocus(window_);
        SetCapture(window_);
    }
    return 0;
}

LRESULT HyperLink::OnLeftButtonUp(WPARAM, LPARAM lParam) {
    if (!model_.captured()) return 0;
    if (GetCapture() == window_) ReleaseCapture();
    model_.LeftButtonUp(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)), shell_);
    return 0;
}

LRESULT HyperLink::OnChar(WPARAM wParam, LPARAM lParam) {
    if (wParam == '\r' || wParam == ' ') {
        model_.Char(static_cast<int>(wParam), shell_);
        return 0;
    }
    return DefSubclassProc(window_, WM_CHAR, wParam, lParam);
}

LRESULT HyperLink::OnSetCursor(WPARAM wParam, LPARAM lParam) {
    POINT point{};
    GetCursorPos(&point);
    ScreenToClient(window_, &point);
    if (model_.ShowsHandAt(point.x, point.y) && handCursor_) {
        SetCursor(handCursor_);
        return TRUE;
    }
    return DefSubclassProc(window_, WM_SETCURSOR, wParam, lParam);
}

LRESULT HyperLink::OnGetDlgCode(WPARAM wParam, LPARAM lParam) {
    LRESULT code = DefSubclassProc(window_, WM_GETDLGCODE, wParam, lParam) | DLGC_WANTCHARS;
    // Enter belongs to the link while it has the focus, not to the
    // dialog's default button.
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (message && message->message == WM_KEYDOWN && message->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
    return code;
}

LRESULT HyperLink::OnGetFont(WPARAM, LPARAM) {
    return reinterpret_cast<LRESULT>(normalFont_.get());
}

LRESULT HyperLink::OnSetFont(WPARAM wParam, LPARAM lParam) {
    MakeFonts(reinterpret_cast<HFONT>(wParam));
    MeasureText();
    UpdateTooltip();
    if (lParam) InvalidateRect(window_, nullptr, TRUE);
    return 0;
}

LRESULT HyperLink::OnEnable(WPARAM wParam, LPARAM lParam) {
    InvalidateRect(window_, nullptr, TRUE);
    return DefSubclassProc(window_, WM_ENABLE, wParam, lParam);
}

// The focus rectangle comes and goes with the focus.
LRESULT HyperLink::OnSetFocus(WPARAM wParam, LPARAM lParam) {
    InvalidateRect(window_, nullptr, TRUE);
    return DefSubclassProc(window_, WM_SETFOCUS, wParam, lParam);
}

LRESULT HyperLink::OnKillFocus(WPARAM wParam, LPARAM lParam) {
    InvalidateRect(window_, nullptr, TRUE);
    return DefSubclassProc(window_, WM_KILLFOCUS, wParam, lParam);
}

LRESULT HyperLink::OnDestroy(WPARAM wParam, LPARAM lParam) {
    if (tooltip_) DestroyWindow(tooltip_);
    tooltip_ = nullptr;
    return DefSubclassProc(window_, WM_DESTROY, wParam, lParam);
}

}  // namespace qm
