// FlatTabCtrl: the window of the flat tab strip, class "QMFlatTabCtrl".
// It paints what its TabModel holds (titles, current tab, outlines) and
// turns a left press into the model's change of tabs; the parent hears of
// it as WM_NOTIFY with TCN_SELCHANGING (a nonzero answer vetoes) and
// TCN_SELCHANGE, in a plain NMHDR from this window and its control id.
//
// The object is owned by whoever creates it (the main view) and must
// outlive its window; the window is a child of the parent and goes with
// it. The fonts and the tooltip belong to the window.
#pragma once

#include <windows.h>

#include <string_view>

#include "platform/win32/gdi.h"
#include "widgets/tab_model.h"

namespace qm {

class FlatTabCtrl : private TabSink {
public:
    static constexpr char kClassName[] = "QMFlatTabCtrl";

    FlatTabCtrl() = default;
    ~FlatTabCtrl() override;
    FlatTabCtrl(const FlatTabCtrl&) = delete;
    FlatTabCtrl& operator=(const FlatTabCtrl&) = delete;

    // Registers the class in `instance` when needed and creates the window.
    // A style of 0 means WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS |
    // WS_CLIPCHILDREN. Null when the window could not be made.
    HWND Create(HINSTANCE instance, HWND parent, const RECT& rect, DWORD style, UINT id);
    void Destroy();

    // Appends the title (position 0..count accepted, the title always goes
    // last); 1, or -1 for any other position. Redraws the strip.
    int AddTab(std::string_view title, int position);
    int CurrentTab() const { return model_.current(); }
    // Makes `index` current from code (the owner shows that tab's page
    // itself), with no notification; redraws the strip when it changed.
    // False for an index that names no tab.
    bool SetCurrentTab(int index);

    HWND window() const { return window_; }
    HWND tooltip() const { return tooltip_; }
    const TabModel& model() const { return model_; }

private:
    using Font = UniqueFont;

    struct MessageEntry {
        UINT message;
        LRESULT (FlatTabCtrl::*handler)(WPARAM wParam, LPARAM lParam);
    };
    static const MessageEntry kMessages[];

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static bool EnsureClass(HINSTANCE instance);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    LRESULT OnSize(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    LRESULT OnLeftButtonDown(WPARAM wParam, LPARAM lParam);

    intptr_t Notify(int code) override;
    void Paint(HDC dc);
    void InvalidateStrip();

    HWND window_ = nullptr;
    HWND tooltip_ = nullptr;
    TabModel model_;
    Font normalFont_;
    Font boldFont_;
};

}  // namespace qm
