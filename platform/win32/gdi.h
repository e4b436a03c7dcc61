// RAII for GDI: each object has one owner and goes back through the right
// function (DeleteObject for pens, brushes, fonts, bitmaps and regions,
// DeleteDC for memory device contexts, ReleaseDC for a window's), and a
// selection is undone when its scope ends. Declare the selection after the
// device context it selects into, so that it is undone before the context
// goes back.
//
// The owners count the objects they hold, so that a leak shows in tests
// where the system cannot count them (Wine's GetGuiResources answers 0).
// One count per module.
#pragma once

#include <windows.h>

#include <atomic>
#include <utility>

namespace qm {

// The GDI objects and memory device contexts the owners below hold now.
inline std::atomic<long> g_liveGdiObjects{0};
inline long LiveGdiObjects() {
    return g_liveGdiObjects.load();
}

template <typename T, BOOL(WINAPI* Delete)(T)>
class GdiOwner {
public:
    GdiOwner() = default;
    explicit GdiOwner(T handle) { reset(handle); }
    ~GdiOwner() { reset(); }
    GdiOwner(const GdiOwner&) = delete;
    GdiOwner& operator=(const GdiOwner&) = delete;
    GdiOwner(GdiOwner&& other) noexcept : handle_(std::exchange(other.handle_, T{})) {}
    GdiOwner& operator=(GdiOwner&& other) noexcept {
        if (this != &other) {
            reset();
            handle_ = std::exchange(other.handle_, T{});
        }
        return *this;
    }

    T get() const { return handle_; }
    bool valid() const { return handle_ != T{}; }
    explicit operator bool() const { return valid(); }

    // Hands the object over (to a window that takes it, for one): it no
    // longer counts as held.
    [[nodiscard]] T release() {
        if (handle_) --g_liveGdiObjects;
        return std::exchange(handle_, T{});
    }

    void reset(T handle = T{}) {
        if (handle_) {
            Delete(handle_);
            --g_liveGdiObjects;
        }
        handle_ = handle;
        if (handle_) ++g_liveGdiObjects;
    }

private:
    T handle_{};
};

inline BOOL WINAPI DeleteGdiObject(HGDIOBJ object) {
    return DeleteObject(object);
}
inline BOOL WINAPI DeleteFont(HFONT font) {
    return DeleteObject(font);
}

using GdiObject = GdiOwner<HGDIOBJ, &DeleteGdiObject>;
using UniqueFont = GdiOwner<HFONT, &DeleteFont>;
using MemoryDc = GdiOwner<HDC, &DeleteDC>;

// A window's device context, from GetDC, given back with ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a device context for the life of the scope.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~Selection() { SelectObject(dc_, previous_); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace qm
