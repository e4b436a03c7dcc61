#include "desktop/win32/host.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "desktop/browser_address.h"
#include "platform/win32/gdi.h"

namespace qm {
namespace {

constexpr wchar_t kFrameClass[] = L"QuillmereFrame";
constexpr wchar_t kSiteClass[] = L"QuillmereBandSite";
constexpr wchar_t kTitle[] = L"Quillmere";
// The program's icon, in its resources; a program without one (a test)
// gets the system's.
constexpr int kIconId = 1;

// The band class served by Quillmere.dll.
constexpr CLSID kBandClass = {0x5A1C0E42, 0x7B3D, 0x4F19, {0x9C, 0x2E, 0x61, 0xD4, 0xA8, 0xB7, 0xE3, 0x05}};

using GetClassObjectFunction = HRESULT(__stdcall*)(REFCLSID, REFIID, void**);

std::wstring HexResult(HRESULT result) {
    wchar_t text[16] = {};
    swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(result));
    return text;
}

std::wstring LastErrorText() {
    const DWORD error = GetLastError();
    wchar_t* buffer = nullptr;
    FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = L"error " + std::to_wstring(error);
    if (buffer) {
        text += L": ";
        text += buffer;
        LocalFree(buffer);
        while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
            text.pop_back();
    }
    return text;
}

Host* HostOf(HWND window) {
    return reinterpret_cast<Host*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void KeepHost(HWND window, LPARAM createParameters) {
    SetWindowLongPtrW(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(createParameters)->lpCreateParams));
}

// The first visible window under `parent` that takes the focus by Tab.
struct TabStopSearch {
    HWND found = nullptr;
};

BOOL CALLBACK FindTabStop(HWND window, LPARAM search) {
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    if ((style & WS_TABSTOP) == 0 || !IsWindowVisible(window) || !IsWindowEnabled(window)) return TRUE;
    reinterpret_cast<TabStopSearch*>(search)->found = window;
    return FALSE;
}

std::wstring DefaultBrowserProgram() {
    wchar_t program[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    if (FAILED(AssocQueryStringW(ASSOCF_NONE, ASSOCSTR_EXECUTABLE, L"http", L"open", program, &length)))
        return {};
    return program;
}

}  // namespace

Host::Host() : Host(PlaceFrame(std::nullopt, {})) {}

Host::Host(const FramePlacement& placement) : placement_(placement) {}

Host::~Host() {
    Stop();
    if (frame_) DestroyWindow(frame_);
}

bool Host::RegisterClasses() {
    static bool registered = false;
    if (registered) return true;
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));

    windowClass.lpfnWndProc = &Host::FrameProc;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconId));
    windowClass.lpszClassName = kFrameClass;
    if (!RegisterClassExW(&windowClass)) return false;

    windowClass.lpfnWndProc = &Host::SiteProc;
    windowClass.hIcon = nullptr;
    windowClass.lpszClassName = kSiteClass;
    if (!RegisterClassExW(&windowClass)) return false;
    registered = true;
    return true;
}

bool Host::LoadBand(const std::wstring& dllPath, std::wstring& message) {
    dll_ = LoadLibraryW(dllPath.c_str());
    if (!dll_) {
        message = L"cannot load " + dllPath + L" (" + LastErrorText() + L")";
        return false;
    }
    const auto getClassObject = reinterpret_cast<GetClassObjectFunction>(
        reinterpret_cast<void*>(GetProcAddress(dll_, "DllGetClassObject")));
    if (!getClassObject) {
        message = dllPath + L" has no DllGetClassObject export: it is not the band's DLL";
        return false;
    }
    Microsoft::WRL::ComPtr<IClassFactory> factory;
    HRESULT result = getClassObject(kBandClass, IID_PPV_ARGS(&factory));
    if (FAILED(result)) {
        message = dllPath + L" serves no band class object (" + HexResult(result) + L")";
        return false;
    }
    result = factory->CreateInstance(nullptr, IID_PPV_ARGS(&band_));
    if (FAILED(result)) {
        message = L"the band could not be created (" + HexResult(result) + L")";
        return false;
    }
    // A band without a keyboard interface gets the focus from the frame.
    if (FAILED(band_.As(&input_))) input_.Reset();
    return true;
}

bool Host::CreateFrame(std::wstring& message) {
    if (!RegisterClasses()) {
        message = L"cannot register the window classes (" + LastErrorText() + L")";
        return false;
    }
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const PixelRect& bounds = placement_.bounds;
    frame_ = CreateWindowExW(0, kFrameClass, kTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, bounds.left,
                             bounds.top, bounds.width(), bounds.height(), nullptr, nullptr, instance, this);
    if (!frame_) {
        message = L"cannot create the window (" + LastErrorText() + L")";
        return false;
    }
    const DWORD child = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    site_ = CreateWindowExW(0, kSiteClass, L"", child, 0, 0, 0, 0, frame_, nullptr, instance, this);
    status_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0,
                              frame_, nullptr, instance, nullptr);
    if (!site_ || !status_) {
        message = L"cannot create the window's parts (" + LastErrorText() + L")";
        return false;
    }
    LayOut();
    return true;
}

void Host::LayOut() {
    if (!frame_ || !status_ || !site_) return;
    RECT client = {};
    GetClientRect(frame_, &client);
    SendMessageW(status_, WM_SIZE, 0, 0);
    RECT statusRect = {};
    GetWindowRect(status_, &statusRect);
    const int statusHeight = statusRect.bottom - statusRect.top;
    MoveWindow(site_, 0, 0, client.right, std::max(0, static_cast<int>(client.bottom) - statusHeight), TRUE);
}

HWND Host::bandWindow() const {
    HWND window = nullptr;
    if (band_ && FAILED(band_->GetWindow(&window))) window = nullptr;
    return window;
}

bool Host::Start(const std::wstring& dllPath, std::wstring& message) {
    if (!LoadBand(dllPath, message) || !CreateFrame(message)) return false;

    bandSite_ = std::make_unique<BandSite>(site_, &browser_);
    Microsoft::WRL::ComPtr<IObjectWithSite> withSite;
    HRESULT result = band_.As(&withSite);
    if (SUCCEEDED(result)) result = withSite->SetSite(static_cast<IOleWindow*>(bandSite_.get()));
    if (FAILED(result)) {
        message = L"the band refused to start: SetSite answered " + HexResult(result);
        return false;
    }
    sited_ = true;

    bandInfo_ = {};
    bandInfo_.dwMask = DBIM_MINSIZE | DBIM_MAXSIZE | DBIM_INTEGRAL | DBIM_ACTUAL | DBIM_TITLE |
                       DBIM_MODEFLAGS | DBIM_BKCOLOR;
    result = band_->GetBandInfo(0, DBIF_VIEWMODE_NORMAL, &bandInfo_);
    if (FAILED(result)) {
        message = L"the band refused to start: GetBandInfo answered " + HexResult(result);
        return false;
    }
    result = band_->ShowDW(TRUE);
    if (FAILED(result)) {
        message = L"the band refused to start: ShowDW answered " + HexResult(result);
        return false;
    }
    SendMessageW(site_, WM_SIZE, 0, 0);
    ShowWindow(frame_, placement_.maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    UpdateWindow(frame_);
    return true;
}

void Host::Stop() {
    if (band_) {
        input_.Reset();
        band_->ShowDW(FALSE);
        band_->CloseDW(0);
        if (sited_) {
            Microsoft::WRL::ComPtr<IObjectWithSite> withSite;
            if (SUCCEEDED(band_.As(&withSite))) withSite->SetSite(nullptr);
        }
        band_.Reset();
        sited_ = false;
    }
    if (dll_) {
        FreeLibrary(dll_);
        dll_ = nullptr;
    }
}

FramePlacement Host::placement() const {
    return placement_;
}

void Host::RememberPlacement() {
    if (!frame_ || !IsWindowVisible(frame_) || IsIconic(frame_)) return;
    placement_.maximized = IsZoomed(frame_) != FALSE;
    if (placement_.maximized) return;
    RECT rect = {};
    if (GetWindowRect(frame_, &rect)) placement_.bounds = PixelRect{rect.left, rect.top, rect.right, rect.bottom};
}

bool Host::InsideFrame(HWND window) const {
    // The band's view is no child window (it can be activated on its own),
    // but it sits in the frame's window tree; the tree is walked by parents.
    for (HWND at = window; at; at = GetAncestor(at, GA_PARENT)) {
        if (at == frame_) return true;
        if (at == GetDesktopWindow()) break;
    }
    return false;
}

bool Host::TranslateAccelerator(MSG& message) {
    if (!input_ || message.message < WM_KEYFIRST || message.message > WM_KEYLAST) return false;
    if (!InsideFrame(message.hwnd) || input_->HasFocusIO() != S_OK) return false;
    return input_->TranslateAcceleratorIO(&message) == S_OK;
}

void Host::FocusBand() {
    if (input_) {
        input_->UIActivateIO(TRUE, nullptr);
        return;
    }
    // Without a keyboard interface the band's first control that takes Tab
    // (the visible list) gets the focus, as a click would give it.
    const HWND band = bandWindow();
    if (!band) return;
    TabStopSearch search;
    EnumChildWindows(band, &FindTabStop, reinterpret_cast<LPARAM>(&search));
    SetFocus(search.found ? search.found : band);
}

void Host::OpenAddress(const std::wstring& address) {
    const AddressTarget target =
        TargetOfAddress(std::u16string_view(reinterpret_cast<const char16_t*>(address.data()), address.size()));
    const std::wstring text(target.address.begin(), target.address.end());
    switch (target.kind) {
        case AddressKind::Web:
            ShellExecuteW(frame_, L"open", text.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
            break;
        case AddressKind::LocalFile: {
            const std::wstring program = DefaultBrowserProgram();
            if (program.empty()) break;
            const std::wstring argument = L"\"" + text + L"\"";
            ShellExecuteW(frame_, L"open", program.c_str(), argument.c_str(), nullptr, SW_SHOWNORMAL);
            break;
        }
        case AddressKind::Refused:
            break;
    }
}

void Host::ShowStatus(const std::wstring& text) {
    if (status_) SendMessageW(status_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

LRESULT CALLBACK Host::FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) KeepHost(window, lParam);
    Host* host = HostOf(window);
    switch (message) {
        case WM_SIZE:
        case WM_MOVE:
            if (host) {
                host->LayOut();
                host->RememberPlacement();
            }
            return 0;
        case WM_SETFOCUS:
            if (host) host->FocusBand();
            return 0;
        case WM_CLOSE:
            // The band goes first, as when a browser window closes.
            if (host) {
                host->RememberPlacement();
                host->Stop();
            }
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            if (host) host->frame_ = nullptr;
            if (host && host->quitWhenClosed_) PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK Host::SiteProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) KeepHost(window, lParam);
    if (message == WM_SIZE) {
        // The site keeps the band's window filling it, as a browser's does.
        const Host* host = HostOf(window);
        const HWND band = host ? host->bandWindow() : nullptr;
        RECT client = {};
        GetClientRect(window, &client);
        if (band) MoveWindow(band, 0, 0, client.right, client.bottom, TRUE);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool Host::SaveScreenshot(const std::wstring& path) const {
    if (!frame_) return false;
    RECT rect = {};
    GetWindowRect(frame_, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;

    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;  // bottom-up, as BMP files store rows
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    std::vector<BYTE> pixels(static_cast<std::size_t>(stride) * height);
    int rows = 0;
    {
        const HDC screen = GetDC(nullptr);
        if (!screen) return false;
        MemoryDc memory(CreateCompatibleDC(screen));
        GdiObject bitmap(CreateCompatibleBitmap(screen, width, height));
        if (memory && bitmap) {
            {
                Selection selected(memory.get(), bitmap.get());
                BitBlt(memory.get(), 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
            }
            rows = GetDIBits(memory.get(), static_cast<HBITMAP>(bitmap.get()), 0, height, pixels.data(),
                             reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
        }
        ReleaseDC(nullptr, screen);
    }
    if (rows != height) return false;

    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    header.biSizeImage = static_cast<DWORD>(pixels.size());

    FILE* out = _wfopen(path.c_str(), L"wb");
    if (!out) return false;
    const bool written = fwrite(&file, sizeof(file), 1, out) == 1 &&
                         fwrite(&header, sizeof(header), 1, out) == 1 &&
                         fwrite(pixels.data(), 1, pixels.size(), out) == pixels.size();
    return fclose(out) == 0 && written;
}

}  // namespace qm
