// What the widget windows' Wine tests share: a visible test parent whose
// messages a test may answer, a message pump, and a picture of what a
// window paints for printing, read back pixel by pixel.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>

#include "widgets/colors.h"

namespace qm {

inline void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

inline COLORREF ToColorref(ColorRef color) {
    return static_cast<COLORREF>(color.value);
}

// The one visible top-level window of a test program, made on first use
// and kept: under Wine without a window manager, taking a top-level window
// off the display costs about two seconds. Each test makes its windows
// as children of it and destroys them; the handler a test sets sees every
// message first and answers those it returns a result for.
class TestParent {
public:
    using Handler = std::function<std::optional<LRESULT>(UINT, WPARAM, LPARAM)>;

    static TestParent& Shared() {
        static TestParent parent;
        SetForegroundWindow(parent.window_);
        return parent;
    }
    HWND window() const { return window_; }
    void SetHandler(Handler handler) { handler_ = std::move(handler); }

private:
    TestParent() {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = &TestParent::Proc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = "QmWidgetTestParent";
        RegisterClassA(&windowClass);
        window_ =
            CreateWindowExA(0, "QmWidgetTestParent", "widget test", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                            20, 20, 640, 480, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<TestParent*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self && self->handler_) {
            if (const std::optional<LRESULT> answer = self->handler_(message, wParam, lParam)) return *answer;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    Handler handler_;
    HWND window_ = nullptr;
};

// A white 32-bit bitmap in a memory DC; built from a window, it holds what
// the window paints on WM_PRINTCLIENT.
class Picture {
public:
    Picture(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<const uint32_t*>(bits);
        previous_ = SelectObject(dc_, bitmap_);
        PatBlt(dc_, 0, 0, width, height, WHITENESS);
    }
    explicit Picture(HWND window) : Picture(Client(window).right, Client(window).bottom) {
        SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_), PRF_CLIENT);
    }
    ~Picture() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    HDC dc() const { return dc_; }
    COLORREF At(int x, int y) const {
        GdiFlush();
        const uint32_t pixel =
            bits_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    }
    // How many pixels of the rectangle (clipped to the picture) have the colour.
    int Count(RECT rect, COLORREF color) const {
        int count = 0;
        for (LONG y = rect.top < 0 ? 0 : rect.top; y < rect.bottom && y < height_; ++y) {
            for (LONG x = rect.left < 0 ? 0 : rect.left; x < rect.right && x < width_; ++x)
                count += At(x, y) == color ? 1 : 0;
        }
        return count;
    }
    // The longest run of the colour along one row.
    int LongestRun(COLORREF color) const {
        int longest = 0;
        for (int y = 0; y < height_; ++y) {
            int run = 0;
            for (int x = 0; x < width_; ++x) {
                run = At(x, y) == color ? run + 1 : 0;
                if (run > longest) longest = run;
            }
        }
        return longest;
    }

private:
    static RECT Client(HWND window) {
        RECT client = {};
        GetClientRect(window, &client);
        return client;
    }

    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
    const uint32_t* bits_ = nullptr;
};

}  // namespace qm
