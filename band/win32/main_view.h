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
// Everything the view decides is the MainViewController's: this window
// turns messages into calls on it and carries out what the controller asks
// through the ViewWindow port (tabs, lists, redrawing, the progress window,
// programs started through the shell) and the ViewDialogs port (context
// menus and the modal dialogs). Messages go through one table (message
// number to handler); whatever the table does not handle goes to the menu
// bar's context-menu drawing and then to the default window procedure.
//
// Owned: the window and its children (menu bar, tab control, three lists),
// the row and menu image lists, main menu 201 (the bar shares it), the
// controller, the progress window and the browser adapter. Borrowed: the
// platform, which must outlive the view.
#pragma once

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include <exdisp.h>
#include <wrl/client.h>

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "band/main_view_controller.h"
#include "band/view_dialogs.h"
#include "band/view_window.h"
#include "platform/platform.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_browser.h"
#include "widgets/win32/command_bar.h"
#include "widgets/win32/flat_tab.h"
#include "widgets/win32/list_ctrl.h"
#include "widgets/win32/progress_window.h"

namespace qm {

class MainView final : public ViewWindow, public ViewDialogs {
public:
    static constexpr UINT_PTR kHistoryTimer = 1;
    static constexpr UINT kHistoryDelayMs = 500;
    static constexpr UINT_PTR kCacheTimer = 2;
    static constexpr UINT kCacheDelayMs = 200;
    static constexpr UINT_PTR kFocusTimer = 3;
    static constexpr UINT kFocusDelayMs = 100;
    // Bitmaps 212 and 227: 16-pixel images on magenta.
    static constexpr int kImageSize = 16;
    static constexpr COLORREF kImageMask = RGB(255, 0, 255);

    explicit MainView(Platform& platform);
    ~MainView() override;
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
    void SetBrowser(Microsoft::WRL::ComPtr<IWebBrowser2> browser);

    // The parts, for the band object and the tests.
    MainViewController& controller() { return controller_; }
    const ListCtrl& list(RecordKind kind) const { return lists_[static_cast<std::size_t>(kind)]; }
    ListCtrl& list(RecordKind kind) { return lists_[static_cast<std::size_t>(kind)]; }
    const FlatTabCtrl& tabControl() const { return tabControl_; }
    const CommandBar& menuBar() const { return menuBar_; }
    HIMAGELIST rowImages() const { return rowImages_.get(); }
    HIMAGELIST menuImages() const { return menuImages_.get(); }
    bool contextMenuOpen() const { return contextMenuOpen_; }
    bool busy() const { return progress_.busy(); }

    // ViewWindow
    void ShowTab(RecordKind kind) override;
    void SetRedraw(bool on) override;
    void BeginProgress() override;
    void EndProgress() override;
    void ListChanged(RecordKind kind) override;
    void Launch(const ShellLaunch& launch) override;

    // ViewDialogs
    int TrackContextMenu(int menuId) override;
    void ShowCleanupDialog(RecordKind kind) override;
    void ShowIndexRemovalDialog() override;
    bool ShowOptionsDialog() override;
    void ShowFindDialog() override;
    void ShowAboutBox() override;
    std::optional<std::string> ChooseIndexFile(RecordKind kind) override;
    std::optional<std::string> SearchIndexFiles() override;
    void ShowAddToFavorites(const FavoriteRequest& request) override;
    void ShowCookieDetails(std::string_view path) override;

private:
    struct MessageEntry {
        UINT message;
        LRESULT (MainView::*handler)(WPARAM wParam, LPARAM lParam);
    };
    static const MessageEntry kMessages[];

    struct MenuDestroyer {
        void operator()(HMENU menu) const { DestroyMenu(menu); }
    };
    using UniqueMenu = UniqueHandle<HMENU, MenuDestroyer>;
    struct ImageListDestroyer {
        void operator()(HIMAGELIST images) const { ImageList_Destroy(images); }
    };
    using UniqueImageList = UniqueHandle<HIMAGELIST, ImageListDestroyer>;

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static ATOM RegisterViewClass();
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBackground(WPARAM wParam, LPARAM lParam);
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);
    LRESULT OnSize(WPARAM wParam, LPARAM lParam);
    LRESULT OnNotify(WPARAM wParam, LPARAM lParam);
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    LRESULT OnInitMenuPopup(WPARAM wParam, LPARAM lParam);
    LRESULT OnFindOnTab(WPARAM wParam, LPARAM lParam);
    LRESULT OnPerformCleanup(WPARAM wParam, LPARAM lParam);
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam);

    bool CreateMenuBar();
    bool CreateList(RecordKind kind);
    int CurrentRightInset() const;
    void FocusBrowserPage() const;

    Platform& platform_;
    HWND window_ = nullptr;
    Microsoft::WRL::ComPtr<IWebBrowser2> browser_;
    std::unique_ptr<Win32Browser> browserAdapter_;  // what the controller is given

    // The children, owned by this object; their windows go with the view's.
    // The menu is declared before the bar, so that the bar is gone before
    // the menu it shares.
    UniqueMenu mainMenu_;
    CommandBar menuBar_;
    FlatTabCtrl tabControl_;
    std::array<ListCtrl, 3> lists_;  // by RecordKind
    UniqueImageList rowImages_;
    UniqueImageList menuImages_;
    bool contextMenuOpen_ = false;

    // The busy flag and the progress window's thread; destruction waits a
    // bounded time for a thread still running.
    ProgressWindow progress_;

    MainViewController controller_;
};

}  // namespace qm
