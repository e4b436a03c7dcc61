#include "band/win32/main_view.h"

#include <cstring>
#include <iterator>
#include <optional>

#include "band/main_view_layout.h"
#include "band/win32/module.h"
#include "platform/win32/gdi.h"

namespace qm {
namespace {

constexpr wchar_t kViewTitle[] = L"QuillmereSuperClass";

COLORREF ToColorRef(Rgb colour) {
    return RGB(colour.red, colour.green, colour.blue);
}

Rgb FromColorRef(COLORREF colour) {
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

}  // namespace

const MainView::MessageEntry MainView::kMessages[] = {
    {WM_CREATE, &MainView::OnCreate}, {WM_ERASEBKGND, &MainView::OnEraseBackground},
    {WM_CLOSE, &MainView::OnClose},   {WM_SIZE, &MainView::OnSize},
    {WM_TIMER, &MainView::OnTimer},
};

MainView::~MainView() {
    Destroy();
    if (progressThread_) WaitForSingleObject(progressThread_.get(), kProgressThreadWaitMs);
    progressThread_.reset();
}

ATOM MainView::RegisterViewClass() {
    ModuleState& module = Module();
    EnterCriticalSection(&module.lock);
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
        ActivationScope scope(module.activation);
        module.viewClass = RegisterClassExW(&windowClass);
    }
    const ATOM atom = module.viewClass;
    LeaveCriticalSection(&module.lock);
    return atom;
}

bool MainView::Create(HWND parent, const RECT& rect) {
    const ATOM viewClass = RegisterViewClass();
    if (!viewClass) return false;
    ActivationScope scope(Module().activation);
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
            view->menuBar_ = nullptr;
            view->tabControl_ = nullptr;
            view->lists_ = {};
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (!view) return DefWindowProcW(window, message, wParam, lParam);
    return view->Dispatch(message, wParam, lParam);
}

LRESULT MainView::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    for (const MessageEntry& entry : kMessages) {
        if (entry.message == message) return (this->*entry.handler)(wParam, lParam);
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT MainView::OnCreate(WPARAM, LPARAM) {
    // Only WS_DISABLED survives: the view leaves the child windows and
    // becomes a window that can be active, in place inside the site.
    const LONG_PTR style = GetWindowLongPtrW(window_, GWL_STYLE);
    SetWindowLongPtrW(window_, GWL_STYLE, style & WS_DISABLED);
    return 0;
}

LRESULT MainView::OnEraseBackground(WPARAM wParam, LPARAM) {
    const HDC dc = reinterpret_cast<HDC>(wParam);
    RECT client = {};
    GetClientRect(window_, &client);
    const GdiObject brush(
        CreateSolidBrush(ToColorRef(BackgroundColour(FromColorRef(GetSysColor(COLOR_BTNFACE))))));
    FillRect(dc, &client, static_cast<HBRUSH>(brush.get()));

    int tabControlWidth = 0;
    RECT tabClient = {};
    if (tabControl_ && GetClientRect(tabControl_, &tabClient))
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
    place(menuBar_, layout.menuBar);
    for (HWND list : lists_) place(list, layout.lists);
    place(tabControl_, layout.tabControl);
    return 0;
}

LRESULT MainView::OnTimer(WPARAM wParam, LPARAM) {
    if (wParam == kFocusTimer) {
        KillTimer(window_, kFocusTimer);
        FocusBrowserPage();
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

}  // namespace qm
