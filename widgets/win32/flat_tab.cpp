#include "widgets/win32/flat_tab.h"

#include <commctrl.h>

#include <string>

#include "platform/win32/gdi.h"

namespace qm {
namespace {

COLORREF ToColorref(ColorRef color) {
    return static_cast<COLORREF>(color.value);
}

ColorRef SystemColor(int index) {
    return ColorRef{static_cast<uint32_t>(GetSysColor(index))};
}

void FillSolid(HDC dc, const RECT& rect, ColorRef color) {
    SetBkColor(dc, ToColorref(color));
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

void FillGradient(HDC dc, int left, int right, int height, ColorRef top, ColorRef bottom) {
    for (const GradientBand& band : VerticalGradientBands(top, bottom, height)) {
        const RECT rect{left, band.top, right, band.bottom};
        FillSolid(dc, rect, band.color);
    }
}

RECT ToRect(const PixelRect& rect) {
    return RECT{rect.left, rect.top, rect.right, rect.bottom};
}

}  // namespace

const FlatTabCtrl::MessageEntry FlatTabCtrl::kMessages[] = {
    {WM_CREATE, &FlatTabCtrl::OnCreate},
    {WM_DESTROY, &FlatTabCtrl::OnDestroy},
    {WM_SIZE, &FlatTabCtrl::OnSize},
    {WM_PAINT, &FlatTabCtrl::OnPaint},
    {WM_PRINTCLIENT, &FlatTabCtrl::OnPrintClient},
    {WM_LBUTTONDOWN, &FlatTabCtrl::OnLeftButtonDown},
};

FlatTabCtrl::~FlatTabCtrl() {
    Destroy();
}

bool FlatTabCtrl::EnsureClass(HINSTANCE instance) {
    WNDCLASSEXA existing = {};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExA(instance, kClassName, &existing)) {
        if (existing.lpfnWndProc == &FlatTabCtrl::WindowProc) return true;
        // A class of the same name from an earlier copy of this module:
        // its procedure is gone, so it cannot serve.
        UnregisterClassA(kClassName, instance);
    }
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = &FlatTabCtrl::WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // the arrow
    windowClass.hbrBackground = GetSysColorBrush(COLOR_SCROLLBAR);
    windowClass.lpszClassName = kClassName;
    return RegisterClassExA(&windowClass) != 0;
}

HWND FlatTabCtrl::Create(HINSTANCE instance, HWND parent, const RECT& rect, DWORD style, UINT id) {
    if (window_ || !EnsureClass(instance)) return nullptr;
    if (style == 0) style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    CreateWindowExA(0, kClassName, "", style, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                    instance, this);
    return window_;
}

void FlatTabCtrl::Destroy() {
    if (window_) DestroyWindow(window_);
}

int FlatTabCtrl::AddTab(std::string_view title, int position) {
    const int result = model_.AddTab(title, position);
    if (result == 1) InvalidateStrip();
    return result;
}

LRESULT CALLBACK FlatTabCtrl::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<FlatTabCtrl*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<FlatTabCtrl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return self->Dispatch(message, wParam, lParam);
}

LRESULT FlatTabCtrl::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    for (const MessageEntry& entry : kMessages) {
        if (entry.message == message) return (this->*entry.handler)(wParam, lParam);
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

LRESULT FlatTabCtrl::OnCreate(WPARAM, LPARAM lParam) {
    LOGFONTA font = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    normalFont_.reset(CreateFontIndirectA(&font));
    font.lfWeight = FW_BOLD;
    boldFont_.reset(CreateFontIndirectA(&font));

    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    if (static_cast<uint32_t>(create->style) & kFlatTabTooltipStyle) {
        tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
                                   nullptr, create->hInstance, nullptr);
        if (tooltip_) {
            std::string text(kFlatTabTooltipText);
            TTTOOLINFOA tool = {};
            tool.cbSize = TTTOOLINFOA_V1_SIZE;
            tool.hwnd = window_;
            tool.uId = 0;
            tool.lpszText = text.data();
            SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
            SendMessageA(tooltip_, TTM_ACTIVATE, TRUE, 0);
            SendMessageA(tooltip_, TTM_SETMAXTIPWIDTH, 0, 32767);
        }
    }
    return 0;
}

LRESULT FlatTabCtrl::OnDestroy(WPARAM, LPARAM) {
    if (tooltip_) DestroyWindow(tooltip_);
    tooltip_ = nullptr;
    normalFont_.reset();
    boldFont_.reset();
    return 0;
}

LRESULT FlatTabCtrl::OnSize(WPARAM, LPARAM lParam) {
    model_.SetClientSize(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    return 0;
}

LRESULT FlatTabCtrl::OnPaint(WPARAM, LPARAM) {
    PAINTSTRUCT paint;
    if (HDC dc = BeginPaint(window_, &paint)) {
        Paint(dc);
        EndPaint(window_, &paint);
    }
    return 0;
}

LRESULT FlatTabCtrl::OnPrintClient(WPARAM wParam, LPARAM) {
    Paint(reinterpret_cast<HDC>(wParam));
    return 0;
}

LRESULT FlatTabCtrl::OnLeftButtonDown(WPARAM, LPARAM lParam) {
    if (model_.LeftButtonDown(static_cast<short>(LOWORD(lParam)), *this)) InvalidateStrip();
    return 0;
}

intptr_t FlatTabCtrl::Notify(int code) {
    NMHDR header = {};
    header.hwndFrom = window_;
    header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(window_));
    header.code = static_cast<UINT>(code);
    return SendMessageA(GetParent(window_), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

bool FlatTabCtrl::SetCurrentTab(int index) {
    const int before = model_.current();
    if (!model_.SetCurrent(index)) return false;
    if (index != before) InvalidateStrip();
    return true;
}

void FlatTabCtrl::InvalidateStrip() {
    if (!window_) return;
    const RECT strip = ToRect(model_.StripRect());
    InvalidateRect(window_, &strip, FALSE);
    if (const auto space = model_.SpaceRightOfStrip()) {
        const RECT rest = ToRect(*space);
        InvalidateRect(window_, &rest, TRUE);
    }
}

void FlatTabCtrl::Paint(HDC dc) {
    RECT client;
    GetClientRect(window_, &client);
    const int height = client.bottom;
    const FlatTabColors colors = FlatTabColorsFor(SystemColor(COLOR_BTNFACE));
    FillGradient(dc, 0, client.right, height, colors.gradientTop, colors.gradientBottom);

    const int stripWidth = model_.stripWidth();
    if (stripWidth <= 0 || height <= 0) return;
    // The tabs go to a bitmap first and over the background in one piece,
    // so a change of tabs does not flicker.
    MemoryDc memory(CreateCompatibleDC(dc));
    GdiObject bitmap(CreateCompatibleBitmap(dc, stripWidth, height));
    if (!memory || !bitmap) return;
    Selection bitmapSelection(memory.get(), bitmap.get());
    GdiObject outline(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW)));
    Selection penSelection(memory.get(), outline.get());
    Selection fontSelection(memory.get(), normalFont_ ? static_cast<HGDIOBJ>(normalFont_.get())
                                                      : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(memory.get(), TRANSPARENT);
    SetTextColor(memory.get(), GetSysColor(COLOR_BTNTEXT));

    for (int index = 0; index < model_.count(); ++index) {
        const PixelRect tab = model_.TabRect(index);
        const TabPlace place = PlaceOf(index, model_.current());
        if (place == TabPlace::Current) {
            FillSolid(memory.get(), ToRect(tab), colors.currentFill);
        } else {
            FillGradient(memory.get(), tab.left, tab.right, height, colors.gradientTop,
                         colors.gradientBottom);
        }
        for (const TabLine& line : TabOutline(tab, place)) {
            MoveToEx(memory.get(), line.x1, line.y1, nullptr);
            LineTo(memory.get(), line.x2, line.y2);
            LineTo(memory.get(), line.x2 + (line.y1 == line.y2 ? 1 : 0),
                   line.y2 + (line.x1 == line.x2 ? 1 : 0));
        }
        HFONT font = place == TabPlace::Current && boldFont_ ? boldFont_.get() : normalFont_.get();
        if (font) SelectObject(memory.get(), font);
        RECT text{tab.left, tab.top + kFlatTabTitleTop, tab.right, tab.bottom};
        const std::string_view title = model_.Title(index);
        DrawTextA(memory.get(), title.data(), static_cast<int>(title.size()), &text,
                  DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    }
    BitBlt(dc, 0, 0, stripWidth, height, memory.get(), 0, 0, SRCCOPY);
}

}  // namespace qm
