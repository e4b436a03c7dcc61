#include "tools/win32/qm-host/host.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace qm {
namespace {

constexpr wchar_t kFrameClass[] = L"QmHostFrame";
constexpr wchar_t kSiteClass[] = L"QmHostBandSite";
constexpr wchar_t kDocumentViewClass[] = L"Shell DocObject View";
constexpr wchar_t kPageClass[] = L"Internet Explorer_Server";
constexpr int kAddressHeight = 24;
constexpr int kFrameWidth = 960;
constexpr int kFrameHeight = 640;

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
        while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) text.pop_back();
    }
    return text;
}

Host* HostOf(HWND window) {
    return reinterpret_cast<Host*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

}  // namespace

Host::Host() = default;

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

    windowClass.lpfnWndProc = &Host::FrameProc;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = kFrameClass;
    if (!RegisterClassExW(&windowClass)) return false;

    windowClass.lpfnWndProc = &Host::SiteProc;
    windowClass.lpszClassName = kSiteClass;
    if (!RegisterClassExW(&windowClass)) return false;

    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    windowClass.lpszClassName = kDocumentViewClass;
    if (!RegisterClassExW(&windowClass)) return false;

    windowClass.lpfnWndProc = &Host::PageProc;
    windowClass.lpszClassName = kPageClass;
    if (!RegisterClassExW(&windowClass)) return false;
    registered = true;
    return true;
}

bool Host::CreateFrame(std::wstring& message) {
    if (!RegisterClasses()) {
        message = L"cannot register the host's window classes (" + LastErrorText() + L")";
        return false;
    }
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    frame_ = CreateWindowExW(0, kFrameClass, L"Quillmere host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40, 40,
                             kFrameWidth, kFrameHeight, nullptr, nullptr, instance, this);
    if (!frame_) {
        message = L"cannot create the host window (" + LastErrorText() + L")";
        return false;
    }
    const DWORD child = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    address_ =
        CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"about:blank", child | ES_READONLY | ES_AUTOHSCROLL, 0, 0,
                        0, 0, frame_, nullptr, instance, nullptr);
    documentView_ =
        CreateWindowExW(0, kDocumentViewClass, L"", child, 0, 0, 0, 0, frame_, nullptr, instance, nullptr);
    page_ = CreateWindowExW(0, kPageClass, L"", child, 0, 0, 0, 0, documentView_, nullptr, instance, nullptr);
    site_ = CreateWindowExW(0, kSiteClass, L"", child, 0, 0, 0, 0, frame_, nullptr, instance, this);
    status_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"Ready", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0,
                              0, frame_, nullptr, instance, nullptr);
    if (!address_ || !documentView_ || !page_ || !site_ || !status_) {
        message = L"cannot create the host's child windows (" + LastErrorText() + L")";
        return false;
    }
    LayOut();
    ShowWindow(frame_, SW_SHOWNORMAL);
    UpdateWindow(frame_);
    return true;
}

void Host::LayOut() {
    if (!frame_ || !status_) return;
    RECT client = {};
    GetClientRect(frame_, &client);
    SendMessageW(status_, WM_SIZE, 0, 0);
    RECT statusRect = {};
    GetWindowRect(status_, &statusRect);
    const int statusHeight = statusRect.bottom - statusRect.top;
    const int width = client.right;
    const int bandTop =
        std::max(kAddressHeight, static_cast<int>(client.bottom) - statusHeight - bandHeight_);
    MoveWindow(address_, 0, 0, width, kAddressHeight, TRUE);
    MoveWindow(documentView_, 0, kAddressHeight, width, bandTop - kAddressHeight, TRUE);
    RECT viewClient = {};
    GetClientRect(documentView_, &viewClient);
    MoveWindow(page_, 0, 0, viewClient.right, viewClient.bottom, TRUE);
    MoveWindow(site_, 0, bandTop, width, client.bottom - statusHeight - bandTop, TRUE);
}

HWND Host::bandWindow() const {
    HWND window = nullptr;
    if (band_ && FAILED(band_->GetWindow(&window))) window = nullptr;
    return window;
}

bool Host::Start(const std::wstring& dllPath, std::wstring& message) {
    if (!CreateFrame(message)) return false;

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
        message = L"the DLL serves no band class object (" + HexResult(result) + L")";
        return false;
    }
    result = factory->CreateInstance(nullptr, IID_PPV_ARGS(&band_));
    if (FAILED(result)) {
        message = L"the band could not be created (" + HexResult(result) + L")";
        return false;
    }

    bandSite_ = std::make_unique<BandSite>(site_, &browser_);
    Microsoft::WRL::ComPtr<IObjectWithSite> withSite;
    result = band_.As(&withSite);
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
    // Docked a little taller than the band's least height.
    if (bandInfo_.dwMask & DBIM_MINSIZE)
        bandHeight_ = std::max(200, static_cast<int>(bandInfo_.ptMinSize.y) + 60);
    if (bandInfo_.dwMask & DBIM_TITLE)
        SetWindowTextW(frame_, (std::wstring(L"Quillmere host - ") + bandInfo_.wszTitle).c_str());

    result = band_->ShowDW(TRUE);
    if (FAILED(result)) {
        message = L"the band refused to start: ShowDW answered " + HexResult(result);
        return false;
    }
    LayOut();
    SendMessageW(site_, WM_SIZE, 0, 0);
    return true;
}

void Host::Stop() {
    if (band_) {
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

void Host::ShowAddress(const std::wstring& address) {
    if (address_) SetWindowTextW(address_, address.c_str());
}

void Host::ShowStatus(const std::wstring& text) {
    if (status_) SendMessageW(status_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

LRESULT CALLBACK Host::FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        SetWindowLongPtrW(
            window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    }
    Host* host = HostOf(window);
    switch (message) {
        case WM_SIZE:
            if (host) host->LayOut();
            return 0;
        case WM_CLOSE:
            // The band goes first, as when a browser window closes.
            if (host) host->Stop();
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
    if (message == WM_NCCREATE) {
        SetWindowLongPtrW(
            window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    }
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

LRESULT CALLBACK Host::PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONDOWN:
            SetFocus(window);
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            const HDC dc = BeginPaint(window, &paint);
            RECT client = {};
            GetClientRect(window, &client);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, RGB(96, 96, 96));
            DrawTextW(dc, L"Quillmere host: the browser's page would be here.", -1, &client,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            EndPaint(window, &paint);
            return 0;
        }
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool Host::SaveScreenshot(const std::wstring& path) const {
    if (!frame_) return false;
    RECT rect = {};
    GetWindowRect(frame_, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;

    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, previous);

    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;  // bottom-up, as BMP files store rows
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    std::vector<BYTE> pixels(static_cast<std::size_t>(stride) * height);
    const int rows = GetDIBits(memory, bitmap, 0, height, pixels.data(),
                               reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
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
