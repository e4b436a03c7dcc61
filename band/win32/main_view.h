// MainView: the one window of the band, created inside the band site's
// window. It is the window part of the BandObject, which owns it, and has
// the object's lifetime; the object destroys a window the browser left
// behind before it goes.
//
// Creation leaves only WS_DISABLED of the window's style: from then on the
// view is not a child window, stays where it is inside the site, and can
// become the active window, so that the dialogs and message boxes of its
// commands take it as their owner.
//
// Messages go through one table (message number to handler); whatever the
// table does not handle goes to the default window procedure.
#pragma once

#include <exdisp.h>
#include <windows.h>
#include <wrl/client.h>

#include <array>

#include "platform/win32/unique_handle.h"

namespace qm {

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueKernelHandle = UniqueHandle<HANDLE, HandleCloser>;

class MainView {
public:
    static constexpr UINT_PTR kFocusTimer = 3;
    static constexpr UINT kFocusDelayMs = 100;
    // How long a closing band waits for a progress thread still running.
    static constexpr DWORD kProgressThreadWaitMs = 5000;

    MainView() = default;
    ~MainView();
    MainView(const MainView&) = delete;
    MainView& operator=(const MainView&) = delete;

    // Creates the window as a child of parent filling rect; false when the
    // window could not be made.
    bool Create(HWND parent, const RECT& rect);
    void Destroy();
    // Shows or hides the window and, either way, hands the focus to the
    // browser's page a moment later.
    void Show(bool show);

    HWND window() const { return window_; }
    // The hosting browser; null while unknown.
    IWebBrowser2* browser() const { return browser_.Get(); }
    void SetBrowser(Microsoft::WRL::ComPtr<IWebBrowser2> browser) { browser_ = std::move(browser); }

private:
    struct MessageEntry {
        UINT message;
        LRESULT (MainView::*handler)(WPARAM wParam, LPARAM lParam);
    };
    static const MessageEntry kMessages[];

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static ATOM RegisterViewClass();
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBackground(WPARAM wParam, LPARAM lParam);
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);
    LRESULT OnSize(WPARAM wParam, LPARAM lParam);
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam);

    int CurrentRightInset() const;
    void FocusBrowserPage() const;

    HWND window_ = nullptr;
    Microsoft::WRL::ComPtr<IWebBrowser2> browser_;

    // The children, owned by this window; absent until they are made.
    HWND menuBar_ = nullptr;
    HWND tabControl_ = nullptr;
    std::array<HWND, 3> lists_{};  // by RecordKind

    // The progress window's thread, recorded while it runs.
    UniqueKernelHandle progressThread_;
};

}  // namespace qm
