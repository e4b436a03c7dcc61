#include "band/win32/main_view.h"

#include <cstring>
#include <iterator>
#include <optional>

#include "band/command_ids.h"
#include "band/main_view_layout.h"
#include "band/win32/about_box.h"
#include "band/win32/module.h"
#include "cleaning/cleanup_criteria.h"
#include "cleaning/win32/cleanup_dialog_window.h"
#include "cleaning/win32/index_files_dialog.h"
#include "platform/win32/gdi.h"
#include "platform/win32/win32_file_system.h"
#include "records/win32/index_file_dialogs.h"
#include "resources/resource.h"
#include "settings/find_on_tab.h"
#include "settings/win32/cookie_details_dialog.h"
#include "settings/win32/favorites_dialog.h"
#include "settings/win32/find_dialog.h"
#include "settings/win32/options_dialog.h"
#include "widgets/win32/dialog_support.h"

namespace qm {

// The resource script and the controller speak of the same menus and
// commands; the script's numbers come from resource.h.
static_assert(menu_id::kMain == IDR_QM_MAIN_MENU);
static_assert(menu_id::kHistoryItem == IDR_QM_HISTORY_ITEM_MENU);
static_assert(menu_id::kCookieItem == IDR_QM_COOKIE_ITEM_MENU);
static_assert(menu_id::kCacheItem == IDR_QM_CACHE_ITEM_MENU);
static_assert(menu_id::kSelection == IDR_QM_SELECTION_MENU);
static_assert(command::kRefresh == ID_QM_REFRESH);
static_assert(command::kSaveHistory == ID_QM_SAVE_HISTORY);
static_assert(command::kSaveCookieList == ID_QM_SAVE_COOKIE_LIST);
static_assert(command::kSaveCacheList == ID_QM_SAVE_CACHE_LIST);
static_assert(command::kOpenIndexFile == ID_QM_OPEN_INDEX_FILE);
static_assert(command::kSearchIndexFiles == ID_QM_SEARCH_INDEX_FILES);
static_assert(command::kOpenHistoryIndex == ID_QM_OPEN_HISTORY_INDEX);
static_assert(command::kOpenCookiesIndex == ID_QM_OPEN_COOKIES_INDEX);
static_assert(command::kOpenCacheIndex == ID_QM_OPEN_CACHE_INDEX);
static_assert(command::kCleanHistory == ID_QM_CLEAN_HISTORY);
static_assert(command::kCleanCookies == ID_QM_CLEAN_COOKIES);
static_assert(command::kCleanCache == ID_QM_CLEAN_CACHE);
static_assert(command::kCleanIndexFiles == ID_QM_CLEAN_INDEX_FILES);
static_assert(command::kClearTypedUrls == ID_QM_CLEAR_TYPED_URLS);
static_assert(command::kClearRecentDocuments == ID_QM_CLEAR_RECENT_DOCUMENTS);
static_assert(command::kClearRunHistory == ID_QM_CLEAR_RUN_HISTORY);
static_assert(command::kSelectAll == ID_QM_SELECT_ALL);
static_assert(command::kFindOnTab == ID_QM_FIND_ON_TAB);
static_assert(command::kOptions == ID_QM_OPTIONS);
static_assert(command::kWebPage == ID_QM_WEB_PAGE);
static_assert(command::kAbout == ID_QM_ABOUT);
static_assert(item::kOpenHistoryUrl == ID_QM_OPEN_HISTORY_URL);
static_assert(item::kCopyHistoryUrl == ID_QM_COPY_HISTORY_URL);
static_assert(item::kDeleteHistoryUrl == ID_QM_DELETE_HISTORY_URL);
static_assert(item::kAddToFavorites == ID_QM_ADD_TO_FAVORITES);
static_assert(item::kOpenCookieUrl == ID_QM_OPEN_COOKIE_URL);
static_assert(item::kCopyCookieUrl == ID_QM_COPY_COOKIE_URL);
static_assert(item::kDeleteCookie == ID_QM_DELETE_COOKIE);
static_assert(item::kViewCookieDetails == ID_QM_VIEW_COOKIE_DETAILS);
static_assert(item::kCookieProperties == ID_QM_COOKIE_PROPERTIES);
static_assert(item::kOpenCacheUrl == ID_QM_OPEN_CACHE_URL);
static_assert(item::kCopyCacheUrl == ID_QM_COPY_CACHE_URL);
static_assert(item::kDeleteCacheEntry == ID_QM_DELETE_CACHE_ENTRY);
static_assert(item::kOpenCacheFile == ID_QM_OPEN_CACHE_FILE);
static_assert(item::kCacheProperties == ID_QM_CACHE_PROPERTIES);
static_assert(item::kDeleteSelectedItems == ID_QM_DELETE_SELECTED_ITEMS);
static_assert(CommandBar::kDefaultStyle == 0x5600184C);

namespace {

constexpr wchar_t kViewTitle[] = L"QuillmereSuperClass";

// The lists' window styles: WS_CHILD, WS_VISIBLE and WS_TABSTOP.
constexpr DWORD kListStyle = 0x50010000;
// The tab control's: WS_CHILD, WS_VISIBLE and TCS_TOOLTIPS.
constexpr DWORD kTabControlStyle = 0x50004000;

constexpr const char* kTabCaptions[] = {" History ", " Cookies ", " Cache "};
constexpr RecordKind kKinds[] = {RecordKind::History, RecordKind::Cookies, RecordKind::Cache};

COLORREF ToColorRef(ChannelColour colour) {
    return RGB(colour.red, colour.green, colour.blue);
}

ChannelColour FromColorRef(COLORREF colour) {
    return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}

// The first direct child of parent whose class name is exactly className.
HWND ChildOfClass(HWND parent, const char* className) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[64] = {};
        if (GetClassNameA(child, name, static_cast<int>(std::size(name))) > 0 &&
            std::strcmp(name, className) == 0) {
            return child;
        }
    }
    return nullptr;
}

HWND BrowserFrame(IWebBrowser2* browser) {
    if (!browser) return nullptr;
    SHANDLE_PTR frame = 0;
    if (FAILED(browser->get_HWND(&frame))) return nullptr;
    return reinterpret_cast<HWND>(frame);
}

HIMAGELIST LoadImageStrip(UINT bitmapId) {
    return ImageList_LoadImageA(Module().instance, MAKEINTRESOURCEA(bitmapId), MainView::kImageSize, 0,
                                MainView::kImageMask, IMAGE_BITMAP, LR_CREATEDIBSECTION);
}

}  // namespace

const MainView::MessageEntry MainView::kMessages[] = {
    {WM_CREATE, &MainView::OnCreate},
    {WM_ERASEBKGND, &MainView::OnEraseBackground},
    {WM_CLOSE, &MainView::OnClose},
    {WM_SIZE, &MainView::OnSize},
    {WM_NOTIFY, &MainView::OnNotify},
    {WM_TIMER, &MainView::OnTimer},
    {WM_INITMENUPOPUP, &MainView::OnInitMenuPopup},
    {WM_FINDONTAB, &MainView::OnFindOnTab},
    {WM_PERFORMCLEANUP, &MainView::OnPerformCleanup},
    {WM_COMMAND, &MainView::OnCommand},
};

MainView::MainView(Platform& platform)
    : platform_(platform),
      progress_(Module().instance, ModuleActivation().handle()),
      controller_(platform, ViewLists{lists_[0].model(), lists_[1].model(), lists_[2].model()}, *this,
                  *this) {}

MainView::~MainView() {
    Destroy();
    // The progress window's destructor waits a bounded time for its thread.
}

ATOM MainView::RegisterViewClass() {
    // The first window is the band's first need of the system.
    const ActivationContext& activation = ModuleActivation();
    ModuleState& module = Module();
    const std::lock_guard<std::mutex> guard(module.lock);
    if (!module.viewClass) {
        // One class per loaded module: a second copy of the DLL in the same
        // process gets a name of its own.
        wchar_t className[64] = {};
        wsprintfW(className, L"Quillmere:%p", static_cast<void*>(module.instance));
        WNDCLASSEXW windowClass = {};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
        windowClass.lpfnWndProc = &MainView::WindowProc;
        windowClass.hInstance = module.instance;
        windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // the standard arrow
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
        windowClass.lpszClassName = className;
        ActivationScope scope(activation);
        module.viewClass = RegisterClassExW(&windowClass);
    }
    return module.viewClass;
}

bool MainView::Create(HWND parent, const RECT& rect) {
    if (window_) return false;
    const ATOM viewClass = RegisterViewClass();
    if (!viewClass) return false;
    ActivationScope scope(ModuleActivation());
    CreateWindowExW(0, MAKEINTRESOURCEW(viewClass), kViewTitle,
                    WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, parent, nullptr, Module().instance, this);
    return window_ != nullptr;
}

void MainView::Destroy() {
    if (window_ && IsWindow(window_)) DestroyWindow(window_);
    window_ = nullptr;
}

void MainView::Show(bool show) {
    if (!window_) return;
    ShowWindow(window_, show ? SW_SHOW : SW_HIDE);
    SetTimer(window_, kFocusTimer, kFocusDelayMs, nullptr);
}

void MainView::SetBrowser(Microsoft::WRL::ComPtr<IWebBrowser2> browser) {
    // The controller lets go of the old adapter before it goes.
    controller_.SetBrowser(nullptr);
    browserAdapter_.reset();
    browser_ = std::move(browser);
    if (browser_) {
        browserAdapter_ = std::make_unique<Win32Browser>(browser_);
        controller_.SetBrowser(browserAdapter_.get());
    }
}

LRESULT CALLBACK MainView::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* view = static_cast<MainView*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        view->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
    }
    auto* view = reinterpret_cast<MainView*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        if (view) {
            view->window_ = nullptr;
            view->contextMenuOpen_ = false;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (!view) return DefWindowProcW(window, message, wParam, lParam);
    // Whatever the view opens while it handles a message (dialogs, message
    // boxes, file and folder boxes, menus, windows) is made inside the
    // module's activation context, with the version 6 controls.
    ActivationScope scope(ModuleActivation());
    // Nothing may unwind through the system's window code.
    try {
        return view->Dispatch(message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

LRESULT MainView::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    for (const MessageEntry& entry : kMessages) {
        if (entry.message == message) return (this->*entry.handler)(wParam, lParam);
    }
    // The chained table: the owner drawing of the context menus' items.
    LRESULT result = 0;
    if (message == WM_MENUSELECT || message == WM_DRAWITEM || message == WM_MEASUREITEM) {
        if (menuBar_.window() && menuBar_.HandleContextMenuMessage(message, wParam, lParam, &result))
            return result;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

// ---- creation ------------------------------------------------------------

LRESULT MainView::OnCreate(WPARAM, LPARAM) {
    // Only WS_DISABLED survives: the view leaves the child windows and
    // becomes a window that can be active, in place inside the site.
    const LONG_PTR style = GetWindowLongPtrW(window_, GWL_STYLE);
    SetWindowLongPtrW(window_, GWL_STYLE, style & WS_DISABLED);

    CreateMenuBar();

    rowImages_.reset(LoadImageStrip(IDB_QM_ROW_IMAGES));
    menuImages_.reset(LoadImageStrip(IDB_QM_MENU_IMAGES));
    if (menuBar_.window()) menuBar_.SetContextMenuImages(menuImages_.get());

    ListCtrl::SetResourceModule(Module().instance);
    for (RecordKind kind : kKinds) {
        // Without one of its lists the view stays as it is: no tabs, no
        // settings, no fills.
        if (!CreateList(kind)) return 0;
    }

    const RECT none = {};
    if (tabControl_.Create(Module().instance, window_, none, kTabControlStyle, kTabControlId)) {
        for (const char* caption : kTabCaptions) tabControl_.AddTab(caption, tabControl_.model().count());
    }

    // The lists' columns, the History list in view, the settings.
    controller_.Create();
    SetTimer(window_, kHistoryTimer, kHistoryDelayMs, nullptr);
    return 0;
}

bool MainView::CreateMenuBar() {
    mainMenu_.reset(LoadMenuA(Module().instance, MAKEINTRESOURCEA(IDR_QM_MAIN_MENU)));
    const RECT none = {};
    if (!menuBar_.Create(Module().instance, window_, none, CommandBar::kDefaultStyle, 0)) return false;
    menuBar_.AttachMenu(mainMenu_.get());
    menuBar_.SetImageMaskColor(kImageMask);
    menuBar_.LoadImages(Module().instance, IDB_QM_TOOLBAR);
    // Sharing is among the styles: the menu stays this view's to destroy.
    menuBar_.SetCommandBarExtendedStyle(CommandBar::kAllExtendedStyles);
    return true;
}

bool MainView::CreateList(RecordKind kind) {
    ListCtrl& created = list(kind);
    const RECT none = {};
    if (!created.Create(window_, none, kListStyle, 0)) return false;
    created.SetRowImageList(rowImages_.get());
    InvalidateRect(created.window(), nullptr, TRUE);
    return true;
}

// ---- painting and layout ---------------------------------------------------

LRESULT MainView::OnEraseBackground(WPARAM wParam, LPARAM) {
    const HDC dc = reinterpret_cast<HDC>(wParam);
    RECT client = {};
    GetClientRect(window_, &client);
    const GdiObject brush(
        CreateSolidBrush(ToColorRef(BackgroundColour(FromColorRef(GetSysColor(COLOR_BTNFACE))))));
    FillRect(dc, &client, static_cast<HBRUSH>(brush.get()));

    int tabControlWidth = 0;
    RECT tabClient = {};
    if (tabControl_.window() && GetClientRect(tabControl_.window(), &tabClient))
        tabControlWidth = tabClient.right - tabClient.left;

    const GdiObject pen(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW)));
    const HGDIOBJ previousPen = SelectObject(dc, pen.get());
    for (const ViewLine& line :
         BackgroundLines(client.left, client.top, client.right, client.bottom, tabControlWidth)) {
        MoveToEx(dc, line.from.x, line.from.y, nullptr);
        LineTo(dc, line.to.x, line.to.y);
    }
    SelectObject(dc, previousPen);
    return 0;
}

LRESULT MainView::OnClose(WPARAM, LPARAM) {
    // Only the browser closes the band, through CloseDW.
    return 0;
}

int MainView::CurrentRightInset() const {
    const HWND frame = BrowserFrame(browser_.Get());
    RECT viewRect = {};
    RECT frameRect = {};
    std::optional<int> frameLeft;
    if (frame && GetWindowRect(frame, &frameRect)) frameLeft = frameRect.left;
    if (!GetWindowRect(window_, &viewRect)) return 0;
    return RightInset(frameLeft, viewRect.left);
}

LRESULT MainView::OnSize(WPARAM, LPARAM lParam) {
    const int width = LOWORD(lParam);
    const int height = HIWORD(lParam);
    const MainViewLayout layout = LayOutMainView(width, height, CurrentRightInset());
    const auto place = [](HWND child, const ViewRect& rect) {
        if (child) MoveWindow(child, rect.left, rect.top, rect.width, rect.height, TRUE);
    };
    place(menuBar_.window(), layout.menuBar);
    for (const ListCtrl& shown : lists_) place(shown.window(), layout.lists);
    place(tabControl_.window(), layout.tabControl);
    return 0;
}

// ---- notifications, timers and commands ----------------------------------

LRESULT MainView::OnNotify(WPARAM, LPARAM lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header) return 0;
    // The sender is not checked: only the codes decide.
    const int code = static_cast<int>(header->code);
    controller_.HandleNotify(code, code == kTcnSelChange ? tabControl_.CurrentTab() : -1);
    return 0;
}

LRESULT MainView::OnTimer(WPARAM wParam, LPARAM) {
    // Each timer fires once.
    switch (wParam) {
        case kHistoryTimer:
            KillTimer(window_, kHistoryTimer);
            controller_.FillHistoryAtStartup();
            SetTimer(window_, kCacheTimer, kCacheDelayMs, nullptr);
            break;
        case kCacheTimer:
            KillTimer(window_, kCacheTimer);
            controller_.FillCacheAndCookiesAtStartup();
            break;
        case kFocusTimer:
            KillTimer(window_, kFocusTimer);
            FocusBrowserPage();
            break;
        default:
            break;
    }
    return 0;
}

void MainView::FocusBrowserPage() const {
    const HWND frame = BrowserFrame(browser_.Get());
    if (!frame) return;
    const HWND documentView = ChildOfClass(frame, "Shell DocObject View");
    if (!documentView) return;
    const HWND page = ChildOfClass(documentView, "Internet Explorer_Server");
    if (!page) return;
    // A click at the page's corner, without its button-up, is what makes the
    // page take the focus as if the user had clicked it.
    SendMessageW(page, WM_LBUTTONDOWN, 0, 0);
}

LRESULT MainView::OnInitMenuPopup(WPARAM wParam, LPARAM lParam) {
    // The menu bar draws its own popups; only the view's context menus are
    // handed over here, and only while one is tracked.
    if (contextMenuOpen_ && menuBar_.window())
        menuBar_.HandleContextMenuMessage(WM_INITMENUPOPUP, wParam, lParam, nullptr);
    return 0;
}

// Both records are the view's only while this module's dialog sends them:
// any other 1246 or 1247 (posted by another program, or carrying any other
// address) is left alone.
LRESULT MainView::OnFindOnTab(WPARAM, LPARAM lParam) {
    if (TakeSentRecord(WM_FINDONTAB, lParam)) controller_.FindOnTab(*reinterpret_cast<const FindRequest*>(lParam));
    return 0;
}

LRESULT MainView::OnPerformCleanup(WPARAM, LPARAM lParam) {
    if (TakeSentRecord(WM_PERFORMCLEANUP, lParam))
        controller_.PerformCleanup(*reinterpret_cast<const CleanupCriteria*>(lParam));
    return 0;
}

LRESULT MainView::OnCommand(WPARAM wParam, LPARAM lParam) {
    // The command id alone decides, whatever the notification code.
    if (controller_.HandleCommand(LOWORD(wParam))) return 0;
    return DefWindowProcW(window_, WM_COMMAND, wParam, lParam);
}

// ---- ViewWindow ------------------------------------------------------------

void MainView::ShowTab(RecordKind kind) {
    tabControl_.SetCurrentTab(static_cast<int>(kind));
    for (RecordKind each : kKinds) {
        if (const HWND shown = list(each).window()) ShowWindow(shown, each == kind ? SW_SHOW : SW_HIDE);
    }
}

void MainView::SetRedraw(bool on) {
    if (!window_) return;
    SendMessageW(window_, WM_SETREDRAW, on ? TRUE : FALSE, 0);
    if (on) RedrawWindow(window_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void MainView::BeginProgress() {
    // Above the browser's window only, not above every application.
    HWND owner = BrowserFrame(browser_.Get());
    if (!owner && window_) owner = GetAncestor(window_, GA_ROOT);
    progress_.Start(owner);
}

void MainView::EndProgress() {
    progress_.Stop();
}

void MainView::ListChanged(RecordKind kind) {
    list(kind).Redraw();
}

void MainView::Launch(const ShellLaunch& launch) {
    const std::string verb(launch.verb);
    const std::string file(launch.file);
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof(info);
    info.lpVerb = verb.c_str();
    info.lpFile = file.c_str();
    info.lpParameters = launch.parameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    // A new browser process shows the page; the result is not the band's
    // business.
    ShellExecuteExA(&info);
}

// ---- ViewDialogs -----------------------------------------------------------

int MainView::TrackContextMenu(int menuId) {
    if (!window_) return 0;
    POINT cursor = {};
    GetCursorPos(&cursor);
    contextMenuOpen_ = true;
    const UniqueMenu menu(LoadMenuA(Module().instance, MAKEINTRESOURCEA(menuId)));
    const HMENU popup = menu ? GetSubMenu(menu.get(), 0) : nullptr;
    int chosen = 0;
    if (popup) {
        chosen = static_cast<int>(
            TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RETURNCMD, cursor.x, cursor.y, 0, window_, nullptr));
    }
    contextMenuOpen_ = false;
    return chosen;
}

void MainView::ShowCleanupDialog(RecordKind kind) {
    RunCleanupDialog(Module().instance, window_, kind, platform_);
}

void MainView::ShowIndexRemovalDialog() {
    RunIndexFilesDialog(Module().instance, window_, platform_);
}

bool MainView::ShowOptionsDialog() {
    return qm::ShowOptionsDialog(Module().instance, window_, platform_.registry,
                                 controller_.settings().lowIntegrity(), platform_.clock);
}

void MainView::ShowFindDialog() {
    qm::ShowFindDialog(Module().instance, window_, window_, platform_.registry,
                       controller_.settings().lowIntegrity(), platform_.prompts);
}

void MainView::ShowAboutBox() {
    qm::ShowAboutBox(Module().instance, window_, platform_.shell);
}

std::optional<std::string> MainView::ChooseIndexFile(RecordKind kind) {
    return RunIndexFileChooser(Module().instance, window_, platform_, kind);
}

std::optional<std::string> MainView::SearchIndexFiles() {
    // The search thread lists folders with a file system of its own: it may
    // outlive the dialog, and the band with it.
    return RunIndexFileSearch(Module().instance, window_, platform_,
                              [] { return std::make_unique<Win32FileSystem>(); });
}

void MainView::ShowAddToFavorites(const FavoriteRequest& request) {
    ShowAddToFavoritesDialog(Module().instance, window_, platform_, request);
}

void MainView::ShowCookieDetails(std::string_view path) {
    ShowCookieDetailsDialog(Module().instance, window_, platform_.fileSystem, path);
}

}  // namespace qm
