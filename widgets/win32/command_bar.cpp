#include "widgets/win32/command_bar.h"

#include <algorithm>
#include <utility>

namespace qm {
namespace {

constexpr WORD kToolbarResourceType = 241;
constexpr char kBarProperty[] = "QMCommandBar";
constexpr UINT_PTR kParentSubclassId = 0x514D4342;  // "QMCB"

WNDPROC g_toolbarProc = nullptr;
// The bar whose popup is being tracked on this thread (one menu loop at a
// time per thread), found by the hooks.
thread_local CommandBar* g_trackingBar = nullptr;

}  // namespace

const CommandBar::MessageEntry CommandBar::kMessages[] = {
    {WM_CREATE, &CommandBar::OnCreate},
    {WM_DESTROY, &CommandBar::OnDestroy},
    {WM_PAINT, &CommandBar::OnPaint},
    {WM_PRINTCLIENT, &CommandBar::OnPrintClient},
    {WM_ERASEBKGND, &CommandBar::OnEraseBackground},
    {WM_MOUSEMOVE, &CommandBar::OnMouseMove},
    {WM_MOUSELEAVE, &CommandBar::OnMouseLeave},
    {WM_LBUTTONDOWN, &CommandBar::OnLeftButtonDown},
    {WM_LBUTTONDBLCLK, &CommandBar::OnLeftButtonDown},
    {WM_LBUTTONUP, &CommandBar::OnLeftButtonUp},
    {WM_KEYDOWN, &CommandBar::OnKeyDown},
    {WM_SYSKEYDOWN, &CommandBar::OnSysKeyDown},
    {WM_CHAR, &CommandBar::OnChar},
    {WM_KILLFOCUS, &CommandBar::OnKillFocus},
    {WM_GETDLGCODE, &CommandBar::OnGetDlgCode},
    {WM_INITMENUPOPUP, &CommandBar::OnInitMenuPopup},
    {WM_MENUSELECT, &CommandBar::OnMenuSelect},
    {WM_MEASUREITEM, &CommandBar::OnMeasureItem},
    {WM_DRAWITEM, &CommandBar::OnDrawItem},
    {WM_SETTINGCHANGE, &CommandBar::OnSettingChange},
    {WM_SYSCOLORCHANGE, &CommandBar::OnSettingChange},
};

CommandBar::CommandBar() {
    autoPopupMessage_ = RegisterWindowMessageA(std::string(kCommandBarAutoPopupMessage).c_str());
    getBarMessage_ = RegisterWindowMessageA(std::string(kCommandBarGetBarMessage).c_str());
    contextImageCommands_.assign(kContextMenuImages.begin(), kContextMenuImages.end());
}

CommandBar::~CommandBar() {
    Destroy();
    painter_.RestoreMenus();
    if (menu_ && ownsMenu_) DestroyMenu(menu_);
}

bool CommandBar::EnsureClass(HINSTANCE instance) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    const std::string className(kCommandBarClass);
    WNDCLASSEXA existing = {};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExA(instance, className.c_str(), &existing)) {
        if (existing.lpfnWndProc == &CommandBar::WindowProc && g_toolbarProc) return true;
        // Left behind by an earlier copy of this module: its procedure is gone.
        UnregisterClassA(className.c_str(), instance);
    }
    WNDCLASSEXA toolbar = {};
    toolbar.cbSize = sizeof(toolbar);
    if (!GetClassInfoExA(nullptr, TOOLBARCLASSNAMEA, &toolbar)) return false;
    g_toolbarProc = toolbar.lpfnWndProc;
    toolbar.lpfnWndProc = &CommandBar::WindowProc;
    toolbar.hInstance = instance;
    toolbar.lpszClassName = className.c_str();
    toolbar.style &= ~static_cast<UINT>(CS_GLOBALCLASS);
    return RegisterClassExA(&toolbar) != 0;
}

HWND CommandBar::Create(HINSTANCE instance, HWND parent, const RECT& rect, DWORD style, UINT id) {
    if (window_ || !IsWindow(parent) || !EnsureClass(instance)) return nullptr;
    if (style == 0) style = kDefaultStyle;
    parent_ = parent;
    const std::string className(kCommandBarClass);
    CreateWindowExA(0, className.c_str(), "", style, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                    instance, this);
    if (!window_) {
        parent_ = nullptr;
        return nullptr;
    }
    SetWindowSubclass(parent_, &CommandBar::ParentProc, kParentSubclassId, reinterpret_cast<DWORD_PTR>(this));
    const HWND topLevel = GetAncestor(parent_, GA_ROOT);
    if (topLevel && topLevel != parent_ &&
        SetWindowSubclass(topLevel, &CommandBar::ParentProc, kParentSubclassId,
                          reinterpret_cast<DWORD_PTR>(this))) {
        topLevel_ = topLevel;
    }
    return window_;
}

void CommandBar::Destroy() {
    if (window_) DestroyWindow(window_);
}

bool CommandBar::AttachMenu(HINSTANCE module, UINT menuId) {
    HMENU menu = LoadMenuA(module, MAKEINTRESOURCEA(menuId));
    if (!menu) return false;
    // A menu this bar loaded is its own, whatever the share-menu style.
    const bool attached = AttachMenu(menu);
    if (attached) ownsMenu_ = true;
    return attached;
}

bool CommandBar::AttachMenu(HMENU menu) {
    if (menu && !IsMenu(menu)) return false;
    if (model_.openPopup() >= 0 || trackingPopup_) return false;
    if (menu_ && ownsMenu_ && menu_ != menu) DestroyMenu(menu_);
    menu_ = menu;
    ownsMenu_ = menu && !(extendedStyle_ & kCommandBarShareMenu);
    RebuildButtons();
    return true;
}

bool CommandBar::LoadImages(HINSTANCE module, UINT toolbarId) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(toolbarId), MAKEINTRESOURCEA(kToolbarResourceType));
    if (!found) return false;
    const DWORD size = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    const auto* bytes = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
    if (!bytes) return false;
    std::optional<ToolbarResource> toolbar = ParseToolbarResource(std::span<const uint8_t>(bytes, size));
    if (!toolbar) return false;
    const int width = toolbar->imageWidth, height = toolbar->imageHeight;

    GdiObject bitmap(
        LoadImageA(module, MAKEINTRESOURCEA(toolbarId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap) return false;
    BITMAP info = {};
    if (!GetObjectA(bitmap.get(), sizeof(info), &info) || info.bmWidth < width) return false;
    const int imageCount = info.bmWidth / width;
    UniqueHandle<HIMAGELIST, ImageListDeleter> list(
        ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, imageCount, 1));
    if (!list) return false;
    if (ImageList_AddMasked(list.get(), static_cast<HBITMAP>(bitmap.get()), maskColor_) < 0) return false;

    images_ = std::move(list);
    imageCommands_.clear();
    for (const uint32_t command : toolbar->commands) {
        imageCommands_.push_back(MenuImage{command, static_cast<int>(imageCommands_.size())});
    }
    imageSize_ = SIZE{width, height};
    RebuildButtons();
    return true;
}

int CommandBar::ImageIndexOf(UINT command) const {
    return MenuImageIndex(imageCommands_, command, images_ ? ImageList_GetImageCount(images_.get()) : 0);
}

MenuImageSources CommandBar::ImageSources() const {
    SIZE contextSize = imageSize_;
    if (contextImages_) {
        int width = imageSize_.cx, height = imageSize_.cy;
        ImageList_GetIconSize(contextImages_, &width, &height);
        contextSize = SIZE{width, height};
    }
    return MenuImageSources{window_,
                            {images_.get(), imageSize_, imageCommands_},
                            {contextImages_, contextSize, contextImageCommands_}};
}

DWORD CommandBar::SetCommandBarExtendedStyle(DWORD style, DWORD mask) {
    const DWORD previous = extendedStyle_;
    extendedStyle_ = mask == 0 ? style : (extendedStyle_ & ~mask) | (style & mask);
    // Sharing decides who destroys the menu: a menu the caller attached
    // stays the caller's while the style is set.
    if (extendedStyle_ & kCommandBarShareMenu) ownsMenu_ = false;
    if (window_) Redraw();
    return previous;
}

SIZE CommandBar::IdealSize() const {
    SIZE size{0, imageSize_.cy + 6};
    for (int button = 0; button < model_.buttonCount(); ++button) {
        const RECT rect = ButtonRect(button);
        size.cx = std::max<LONG>(size.cx, rect.right);
        size.cy = std::max<LONG>(size.cy, rect.bottom);
    }
    return size;
}

void CommandBar::SetContextMenuImages(HIMAGELIST images, std::span<const MenuImage> commands) {
    contextImages_ = images;
    contextImageCommands_.assign(commands.begin(), commands.end());
}

std::string CommandBar::ButtonText(int button) const {
    if (button < 0 || button >= static_cast<int>(buttonTexts_.size())) return {};
    return buttonTexts_[static_cast<size_t>(button)];
}

RECT CommandBar::ButtonRect(int button) const {
    RECT rect{};
    if (window_ && button >= 0 && button < model_.buttonCount()) {
        SendMessageA(window_, TB_GETITEMRECT, static_cast<WPARAM>(button), reinterpret_cast<LPARAM>(&rect));
    }
    return rect;
}

// ---- window procedure ----

LRESULT CALLBACK CommandBar::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<CommandBar*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (self) {
            self->window_ = window;
            SetPropA(window, kBarProperty, self);
        }
    }
    auto* self = static_cast<CommandBar*>(GetPropA(window, kBarProperty));
    if (!self) return CallWindowProcA(g_toolbarProc, window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        RemovePropA(window, kBarProperty);
        self->window_ = nullptr;
        return CallWindowProcA(g_toolbarProc, window, message, wParam, lParam);
    }
    return self->Dispatch(message, wParam, lParam);
}

LRESULT CommandBar::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == autoPopupMessage_) return OnAutoPopup(wParam, lParam);
    if (message == getBarMessage_) return OnGetBar(wParam, lParam);
    for (const MessageEntry& entry : kMessages) {
        if (entry.message == message) return (this->*entry.handler)(wParam, lParam);
    }
    return DefaultProc(message, wParam, lParam);
}

LRESULT CommandBar::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(g_toolbarProc, window_, message, wParam, lParam);
}

LRESULT CommandBar::OnCreate(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = DefaultProc(WM_CREATE, wParam, lParam);
    if (result == -1) return result;
    SendMessageA(window_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    painter_.LoadFonts();
    RebuildButtons();
    return result;
}

LRESULT CommandBar::OnDestroy(WPARAM wParam, LPARAM lParam) {
    if (trackingPopup_) EndMenu();
    if (parent_) RemoveWindowSubclass(parent_, &CommandBar::ParentProc, kParentSubclassId);
    if (topLevel_) RemoveWindowSubclass(topLevel_, &CommandBar::ParentProc, kParentSubclassId);
    topLevel_ = nullptr;
    if (menu_ && ownsMenu_) DestroyMenu(menu_);
    menu_ = nullptr;
    ownsMenu_ = false;
    images_.reset();
    painter_.FreeFonts();
    return DefaultProc(WM_DESTROY, wParam, lParam);
}

LRESULT CommandBar::OnPaint(WPARAM, LPARAM) {
    PAINTSTRUCT paint;
    if (HDC dc = BeginPaint(window_, &paint)) {
        Paint(dc);
        EndPaint(window_, &paint);
    }
    return 0;
}

LRESULT CommandBar::OnPrintClient(WPARAM wParam, LPARAM) {
    Paint(reinterpret_cast<HDC>(wParam));
    return 0;
}

LRESULT CommandBar::OnEraseBackground(WPARAM, LPARAM) {
    return 1;  // the paint covers everything
}

LRESULT CommandBar::OnMouseMove(WPARAM, LPARAM lParam) {
    if (!mouseTracked_) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, window_, 0};
        mouseTracked_ = TrackMouseEvent(&track) != FALSE;
    }
    const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    Carry(model_.MouseOver(HitButton(point)));
    return 0;
}

LRESULT CommandBar::OnMouseLeave(WPARAM, LPARAM) {
    mouseTracked_ = false;
    if (!trackingPopup_) Carry(model_.MouseOver(-1));
    return 0;
}

LRESULT CommandBar::OnLeftButtonDown(WPARAM, LPARAM lParam) {
    const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    openedByKeyboard_ = false;
    Carry(model_.ButtonPressed(HitButton(point)));
    return 0;
}

LRESULT CommandBar::OnLeftButtonUp(WPARAM, LPARAM) {
    return 0;  // a button acts on the press, like a menu bar's
}

LRESULT CommandBar::OnKeyDown(WPARAM wParam, LPARAM lParam) {
    if (!model_.menuMode()) return DefaultProc(WM_KEYDOWN, wParam, lParam);
    const BarAction action = model_.KeyInMenuMode(static_cast<int>(wParam));
    if (action.kind == BarAction::PassToSystem) return DefaultProc(WM_KEYDOWN, wParam, lParam);
    openedByKeyboard_ = true;
    Carry(action);
    return 0;
}

LRESULT CommandBar::OnSysKeyDown(WPARAM wParam, LPARAM lParam) {
    // F10 while the bar has the keyboard leaves menu mode, like a second Alt.
    if (wParam == VK_F10 && model_.menuMode() && !(GetKeyState(VK_SHIFT) & 0x8000)) {
        Carry(model_.MenuKey());
        return 0;
    }
    return DefaultProc(WM_SYSKEYDOWN, wParam, lParam);
}

LRESULT CommandBar::OnChar(WPARAM wParam, LPARAM lParam) {
    if (model_.menuMode() && wParam != static_cast<WPARAM>(kBarKeySpace)) return 0;  // swallowed
    return DefaultProc(WM_CHAR, wParam, lParam);
}

LRESULT CommandBar::OnKillFocus(WPARAM wParam, LPARAM lParam) {
    // The keyboard went elsewhere (a click in another window): menu mode
    // ends, unless a popup of this bar is what took it.
    if (model_.menuMode() && !trackingPopup_ && model_.openPopup() < 0) {
        focusBefore_ = nullptr;
        Carry(model_.ParentDeactivated());
    }
    return DefaultProc(WM_KILLFOCUS, wParam, lParam);
}

LRESULT CommandBar::OnGetDlgCode(WPARAM wParam, LPARAM lParam) {
    if (model_.menuMode()) return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS;
    return DefaultProc(WM_GETDLGCODE, wParam, lParam);
}

LRESULT CommandBar::OnInitMenuPopup(WPARAM wParam, LPARAM lParam) {
    painter_.HandleMenuMessage(WM_INITMENUPOPUP, wParam, lParam, nullptr, ImageSources(), false);
    return 0;
}

LRESULT CommandBar::OnMenuSelect(WPARAM wParam, LPARAM lParam) {
    painter_.HandleMenuMessage(WM_MENUSELECT, wParam, lParam, nullptr, ImageSources(), false);
    const bool closing = HIWORD(wParam) == 0xFFFF && lParam == 0;
    selectedHasPopup_ = !closing && (HIWORD(wParam) & MF_POPUP) != 0;
    return 0;
}

LRESULT CommandBar::OnMeasureItem(WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (painter_.HandleMenuMessage(WM_MEASUREITEM, wParam, lParam, &result, ImageSources(), false))
        return result;
    return DefaultProc(WM_MEASUREITEM, wParam, lParam);
}

LRESULT CommandBar::OnDrawItem(WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (painter_.HandleMenuMessage(WM_DRAWITEM, wParam, lParam, &result, ImageSources(), false))
        return result;
    return DefaultProc(WM_DRAWITEM, wParam, lParam);
}

LRESULT CommandBar::OnSettingChange(WPARAM wParam, LPARAM lParam) {
    painter_.LoadFonts();
    RebuildButtons();
    return DefaultProc(WM_SETTINGCHANGE, wParam, lParam);
}

LRESULT CommandBar::OnAutoPopup(WPARAM wParam, LPARAM) {
    const int button = static_cast<int>(wParam);
    // Only the popup the model still wants: a later close may have
    // overtaken this request.
    if (!trackingPopup_ && button >= 0 && button == model_.openPopup()) TrackPopup(button);
    return 0;
}

LRESULT CommandBar::OnGetBar(WPARAM wParam, LPARAM) {
    if (!IsWindowVisible(window_)) return 0;
    if (wParam) *reinterpret_cast<DWORD*>(wParam) = GetCurrentProcessId();
    return reinterpret_cast<LRESULT>(window_);
}

// ---- the parent's messages ----

LRESULT CALLBACK CommandBar::ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR data) {
    auto* self = reinterpret_cast<CommandBar*>(data);
    bool handled = false;
    const LRESULT result = self->OnParentMessage(window, message, wParam, lParam, &handled);
    if (handled) return result;
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, &CommandBar::ParentProc, kParentSubclassId);
        if (window == self->parent_) self->parent_ = nullptr;
        if (window == self->topLevel_) self->topLevel_ = nullptr;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CommandBar::OnParentMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
    if (!window_) return 0;
    // Of the top-level window only its deactivation matters.
    if (window != parent_ && message != WM_ACTIVATE && message != WM_ACTIVATEAPP) return 0;
    switch (message) {
        case WM_SYSCOMMAND:
            // Alt released alone and F10 arrive as the keyboard-menu
            // command without a character.
            if ((wParam & 0xFFF0) == SC_KEYMENU && lParam == 0 && model_.buttonCount() > 0 &&
                IsWindowVisible(window_)) {
                openedByKeyboard_ = true;
                Carry(model_.MenuKey());
                *handled = true;
            }
            break;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) Carry(model_.ParentDeactivated());
            break;
        case WM_ACTIVATEAPP:
            if (!wParam) Carry(model_.ParentDeactivated());
            break;
        case WM_SETTINGCHANGE:
            if (wParam == SPI_SETNONCLIENTMETRICS || wParam == SPI_SETKEYBOARDCUES ||
                wParam == SPI_SETFLATMENU) {
                painter_.LoadFonts();
                RebuildButtons();
            }
            break;
        case WM_SYSCOLORCHANGE:
            Redraw();
            break;
        default:
            break;
    }
    return 0;
}

// ---- behaviour ----

void CommandBar::Carry(BarAction action) {
    switch (action.kind) {
        case BarAction::None:
        case BarAction::PassToSystem:
            break;
        case BarAction::Redraw:
            Redraw();
            break;
        case BarAction::OpenPopup:
            if (trackingPopup_) {
                SwitchPopup(action.button);
            } else {
                // Opened from the message loop, after the caller's message
                // has returned, so that no caller waits inside the menu.
                PostMessageA(window_, autoPopupMessage_, static_cast<WPARAM>(action.button), 0);
            }
            Redraw();
            break;
        case BarAction::ClosePopup:
            if (trackingPopup_) EndMenu();
            Redraw();
            break;
    }
    SyncFocus();
}

// In menu mode the bar holds the keyboard; when it ends, the window that
// had the keyboard before gets it back.
void CommandBar::SyncFocus() {
    if (!window_ || trackingPopup_) return;
    const bool holding = GetFocus() == window_;
    if (model_.menuMode() && !holding) {
        focusBefore_ = GetFocus();
        SetFocus(window_);
    } else if (!model_.menuMode() && model_.openPopup() < 0 && holding) {
        HWND previous = std::exchange(focusBefore_, nullptr);
        SetFocus(previous && IsWindow(previous) && previous != window_ ? previous : parent_);
    }
}

void CommandBar::TrackPopup(int button) {
    HMENU popup = menu_ ? GetSubMenu(menu_, button) : nullptr;
    if (!popup || !window_) {
        Carry(model_.PopupClosed(PopupEnd::Dismissed));
        return;
    }
    RECT rect = ButtonRect(button);
    MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    TPMPARAMS params{sizeof(params), rect};

    trackingPopup_ = true;
    pendingPopup_ = -1;
    model_.PopupTracking();
    selectedHasPopup_ = false;
    openMenus_.clear();
    g_trackingBar = this;
    filterHook_ =
        SetWindowsHookExA(WH_MSGFILTER, &CommandBar::MessageFilterHook, nullptr, GetCurrentThreadId());
    cbtHook_ = SetWindowsHookExA(WH_CBT, &CommandBar::CbtHook, nullptr, GetCurrentThreadId());
    Redraw();
    UpdateWindow(window_);
    // Opened from the keyboard, the first item is selected at once.
    if (openedByKeyboard_) PostMessageA(window_, WM_KEYDOWN, VK_DOWN, 0);

    const UINT flags = TPM_LEFTBUTTON | TPM_VERTICAL | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD;
    const UINT command =
        static_cast<UINT>(TrackPopupMenuEx(popup, flags, rect.left, rect.bottom, window_, &params));

    if (filterHook_) UnhookWindowsHookEx(filterHook_);
    if (cbtHook_) UnhookWindowsHookEx(cbtHook_);
    filterHook_ = cbtHook_ = nullptr;
    g_trackingBar = nullptr;
    trackingPopup_ = false;
    openMenus_.clear();
    painter_.RestoreMenus();
    if (!window_) return;  // destroyed while the menu was open

    const PopupEnd end = model_.HowPopupEnded(command, pendingPopup_);
    if (end == PopupEnd::Escape) openedByKeyboard_ = true;
    Carry(model_.PopupClosed(end));
    if (end == PopupEnd::CommandChosen) PostMessageA(parent_, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    if (end == PopupEnd::Switching) {
        PostMessageA(window_, autoPopupMessage_, static_cast<WPARAM>(pendingPopup_), 0);
    }
    pendingPopup_ = -1;
}

void CommandBar::SwitchPopup(int button) {
    pendingPopup_ = button;
    EndMenu();
}

LRESULT CALLBACK CommandBar::MessageFilterHook(int code, WPARAM wParam, LPARAM lParam) {
    CommandBar* bar = g_trackingBar;
    if (code == MSGF_MENU && bar && lParam) {
        if (bar->FilterMenuMessage(*reinterpret_cast<MSG*>(lParam))) return TRUE;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK CommandBar::CbtHook(int code, WPARAM wParam, LPARAM lParam) {
    CommandBar* bar = g_trackingBar;
    if (bar && (code == HCBT_CREATEWND || code == HCBT_DESTROYWND)) {
        HWND window = reinterpret_cast<HWND>(wParam);
        char className[16] = {};
        GetClassNameA(window, className, sizeof(className));
        if (std::string_view(className) == kPopupMenuClass) {
            auto& menus = bar->openMenus_;
            menus.erase(std::remove(menus.begin(), menus.end(), window), menus.end());
            if (code == HCBT_CREATEWND) menus.push_back(window);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Messages of the menu loop, before the menu sees them. True eats one.
bool CommandBar::FilterMenuMessage(MSG& message) {
    if (!window_ || pendingPopup_ >= 0) return false;
    switch (message.message) {
        case WM_KEYDOWN: {
            const BarAction action = model_.KeyInMenuLoop(
                static_cast<int>(message.wParam), static_cast<int>(openMenus_.size()), selectedHasPopup_);
            if (action.kind != BarAction::OpenPopup) return false;
            openedByKeyboard_ = true;
            Carry(action);
            return true;
        }
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN: {
            // Mouse messages of the menu loop carry the coordinates of the
            // window they are for.
            POINT point{static_cast<short>(LOWORD(message.lParam)),
                        static_cast<short>(HIWORD(message.lParam))};
            if (message.hwnd) ClientToScreen(message.hwnd, &point);
            ScreenToClient(window_, &point);
            const int button = HitButton(point);
            if (button < 0) return false;
            if (message.message == WM_MOUSEMOVE) {
                if (point.x == lastMenuMouse_.x && point.y == lastMenuMouse_.y) return false;
                lastMenuMouse_ = point;
                openedByKeyboard_ = false;
                Carry(model_.MouseOver(button));
                return false;
            }
            openedByKeyboard_ = false;
            Carry(model_.ButtonPressed(button));
            return true;
        }
        default:
            return false;
    }
}

int CommandBar::HitButton(POINT client) const {
    RECT client_rect{};
    if (!window_ || !GetClientRect(window_, &client_rect) || !PtInRect(&client_rect, client)) return -1;
    for (int button = 0; button < model_.buttonCount(); ++button) {
        const RECT rect = ButtonRect(button);
        if (PtInRect(&rect, client)) return button;
    }
    return -1;
}

void CommandBar::RebuildButtons() {
    if (!window_) return;
    SendMessageA(window_, WM_SETREDRAW, FALSE, 0);
    for (int count = static_cast<int>(SendMessageA(window_, TB_BUTTONCOUNT, 0, 0)); count > 0; --count) {
        SendMessageA(window_, TB_DELETEBUTTON, 0, 0);
    }
    buttonTexts_.clear();
    const int popups = menu_ ? std::max(GetMenuItemCount(menu_), 0) : 0;
    for (int position = 0; position < popups; ++position) {
        buttonTexts_.push_back(MenuItemPainter::ReadText(menu_, static_cast<UINT>(position)));
    }
    // Text-only buttons; their height follows from the image size.
    SendMessageA(window_, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, imageSize_.cy));
    SendMessageA(window_, TB_SETIMAGELIST, 0, 0);
    std::vector<TBBUTTON> buttons;
    for (size_t position = 0; position < buttonTexts_.size(); ++position) {
        TBBUTTON button = {};
        button.iBitmap = I_IMAGENONE;
        button.idCommand = static_cast<int>(position);
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_NOPREFIX;
        button.iString = reinterpret_cast<INT_PTR>(buttonTexts_[position].c_str());
        buttons.push_back(button);
    }
    if (!buttons.empty()) {
        SendMessageA(window_, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    }
    SendMessageA(window_, TB_SETBUTTONSIZE, 0, MAKELPARAM(0, imageSize_.cy + 6));
    SendMessageA(window_, TB_AUTOSIZE, 0, 0);
    model_.SetButtonCount(static_cast<int>(buttonTexts_.size()));
    SendMessageA(window_, WM_SETREDRAW, TRUE, 0);
    Redraw();
}

void CommandBar::Redraw() {
    if (window_) InvalidateRect(window_, nullptr, FALSE);
}

void CommandBar::Paint(HDC dc) {
    RECT client;
    GetClientRect(window_, &client);
    const int width = client.right, height = client.bottom;
    if (width <= 0 || height <= 0) return;
    // Painted to a bitmap first and copied in one piece, without flicker.
    MemoryDc memory(CreateCompatibleDC(dc));
    GdiObject bitmap(CreateCompatibleBitmap(dc, width, height));
    if (!memory || !bitmap) return;
    Selection bitmapSelection(memory.get(), bitmap.get());
    const CommandBarColors colors = MenuItemPainter::SystemColors();
    MenuItemPainter::FillGradient(memory.get(), client, colors.barTop, colors.barBottom);
    for (int button = 0; button < model_.buttonCount(); ++button) PaintButton(memory.get(), button);
    BitBlt(dc, 0, 0, width, height, memory.get(), 0, 0, SRCCOPY);
}

void CommandBar::PaintButton(HDC dc, int button) {
    RECT rect = ButtonRect(button);
    RECT client;
    GetClientRect(window_, &client);
    IntersectRect(&rect, &rect, &client);
    if (IsRectEmpty(&rect)) return;
    const bool pressed = model_.openPopup() == button;
    const bool hot = pressed || model_.hotButton() == button;
    if (hot) {
        MenuItemPainter::DrawHotFrame(dc, rect, MenuItemPainter::SystemColors());
    }
    Selection font(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, static_cast<COLORREF>(CommandBarButtonTextColor(hot).value));
    const std::string& text = buttonTexts_[static_cast<size_t>(button)];
    UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (!model_.accessKeysShown()) format |= DT_HIDEPREFIX;
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect, format);
}

// ---- the parent's context menus ----

bool CommandBar::HandleContextMenuMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    return painter_.HandleMenuMessage(message, wParam, lParam, result, ImageSources(), true);
}

}  // namespace qm
