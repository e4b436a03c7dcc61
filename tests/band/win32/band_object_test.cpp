#include <gtest/gtest.h>

#include "band/band_contract.h"
#include "band/main_view_layout.h"
#include "band/win32/explorer_bar.h"
#include "desktop/win32/band_site.h"
#include "tests/band/win32/band_dll.h"

using Microsoft::WRL::ComPtr;

namespace qm::test {
namespace {

TEST(BandObjectTest, AnswersOnlyItsInterfacesWithIUnknownFirst) {
    const ComPtr<IDeskBand> band = NewBand();
    ASSERT_TRUE(band);
    const IID answered[] = {IID_IUnknown,  kExplorerBarIid,        IID_IDispatch, IID_IObjectWithSite,
                            IID_IDeskBand, IID_IPersistStreamInit, IID_IPersist};
    for (const IID& iid : answered) {
        ComPtr<IUnknown> object;
        EXPECT_EQ(band->QueryInterface(iid, reinterpret_cast<void**>(object.GetAddressOf())), S_OK)
            << "answered[" << (&iid - answered) << "]";
    }
    const IID refused[] = {IID_IInputObject,   IID_IPersistStream,    IID_IOleWindow,
                           IID_IDockingWindow, IID_IOleCommandTarget, IID_IServiceProvider};
    for (const IID& iid : refused) {
        void* object = reinterpret_cast<void*>(1);
        EXPECT_EQ(band->QueryInterface(iid, &object), E_NOINTERFACE) << "refused[" << (&iid - refused) << "]";
        EXPECT_EQ(object, nullptr);
    }
    ComPtr<IUnknown> identity;
    ComPtr<IDispatch> first;
    ASSERT_EQ(band.As(&identity), S_OK);
    ASSERT_EQ(band->QueryInterface(kExplorerBarIid, reinterpret_cast<void**>(first.GetAddressOf())), S_OK);
    EXPECT_EQ(identity.Get(), static_cast<IUnknown*>(first.Get()));
}

TEST(BandObjectTest, BandInfoAndSavedStateReachTheirStructures) {
    const ComPtr<IDeskBand> band = NewBand();
    ASSERT_TRUE(band);
    // What the band answers is decided natively; here each group lands in
    // its field, and the background is left to the browser.
    DESKBANDINFO info = {};
    info.dwMask = 127;
    info.crBkgnd = RGB(1, 2, 3);
    ASSERT_EQ(band->GetBandInfo(7, DBIF_VIEWMODE_NORMAL, &info), S_OK);
    const BandInfoAnswer answer = AnswerBandInfo(127);
    EXPECT_EQ(info.dwMask, answer.mask);
    EXPECT_EQ(info.ptMinSize.y, answer.minSize.y);
    EXPECT_EQ(info.ptMaxSize.x, answer.maxSize.x);
    EXPECT_EQ(info.ptIntegral.y, answer.integral.y);
    EXPECT_EQ(info.ptActual.x, answer.actual.x);
    EXPECT_STREQ(info.wszTitle, L"Quillmere");
    EXPECT_EQ(info.dwModeFlags, static_cast<DWORD>(DBIMF_VARIABLEHEIGHT));
    EXPECT_EQ(info.crBkgnd, RGB(1, 2, 3));
    EXPECT_EQ(band->GetBandInfo(7, DBIF_VIEWMODE_NORMAL, nullptr), E_INVALIDARG);

    // The saved state loads back; a truncated one holds no version.
    ComPtr<IPersistStreamInit> persist;
    ASSERT_EQ(band.As(&persist), S_OK);
    ComPtr<IStream> saved;
    ComPtr<IStream> truncated;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &saved), S_OK);
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &truncated), S_OK);
    ASSERT_EQ(persist->Save(saved.Get(), TRUE), S_OK);
    ASSERT_EQ(truncated->Write("\x01\x03", 2, nullptr), S_OK);
    const LARGE_INTEGER start = {};
    for (IStream* stream : {saved.Get(), truncated.Get()}) ASSERT_EQ(stream->Seek(start, STREAM_SEEK_SET, nullptr), S_OK);
    EXPECT_EQ(persist->Load(saved.Get()), S_OK);
    EXPECT_EQ(persist->Load(truncated.Get()), E_FAIL);
}

TEST(BandObjectTest, SiteWithoutWindowIsRefusedAndMakesNoWindow) {
    const ComPtr<IDeskBand> band = NewBand();
    ASSERT_TRUE(band);
    ComPtr<IObjectWithSite> withSite;
    ASSERT_EQ(band.As(&withSite), S_OK);
    BandSite site(nullptr, nullptr);
    EXPECT_EQ(withSite->SetSite(static_cast<IOleWindow*>(&site)), E_FAIL);
    HWND window = reinterpret_cast<HWND>(1);
    EXPECT_EQ(band->GetWindow(&window), S_OK);
    EXPECT_EQ(window, nullptr);
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(withSite->GetSite(IID_IUnknown, &object), E_FAIL);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(site.references(), 0) << "the band kept nothing of a refused site";
}

// One sited band in a parent that is never shown: under Xvfb, without a
// window manager, Wine takes seconds to take a visible top-level window
// off the screen.
TEST(BandObjectTest, SitedItIsAPlainChildThatShowsPaintsAndOutlivesANullSiteUntilClosed) {
    const HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 500, 320, nullptr,
                                        nullptr, nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    {
        const ComPtr<IDeskBand> band = NewBand();
        ASSERT_TRUE(band);
        ComPtr<IObjectWithSite> withSite;
        ASSERT_EQ(band.As(&withSite), S_OK);
        BandSite site(parent, nullptr);
        ASSERT_EQ(withSite->SetSite(static_cast<IOleWindow*>(&site)), S_OK);
        HWND view = nullptr;
        ASSERT_EQ(band->GetWindow(&view), S_OK);
        ASSERT_NE(view, nullptr);

        wchar_t title[64] = {};
        GetWindowTextW(view, title, 64);
        EXPECT_STREQ(title, L"QuillmereSuperClass");
        const LONG_PTR style = GetWindowLongPtrW(view, GWL_STYLE);
        EXPECT_EQ(style & (WS_CHILD | WS_CLIPCHILDREN | WS_DISABLED | WS_CAPTION | WS_POPUP | WS_THICKFRAME), 0);
        EXPECT_EQ(GetWindowLongPtrW(view, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0);
        EXPECT_EQ(GetAncestor(view, GA_PARENT), parent) << "it stays inside the site window";
        for (const BOOL show : {FALSE, TRUE}) {
            EXPECT_EQ(band->ShowDW(show), S_OK);
            EXPECT_EQ((GetWindowLongPtrW(view, GWL_STYLE) & WS_VISIBLE) != 0, show != FALSE) << "ShowDW(" << show << ")";
        }
        EXPECT_EQ(SendMessageW(view, WM_CLOSE, 0, 0), 0);
        EXPECT_TRUE(IsWindow(view)) << "WM_CLOSE is ignored";

        // Which lines go where is decided natively; here they land in the
        // system's colours.
        RECT client = {};
        GetClientRect(view, &client);
        ASSERT_GT(client.right, 40);
        ASSERT_GT(client.bottom, 40);
        const HDC dc = CreateCompatibleDC(nullptr);
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof(info.bmiHeader), client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        ASSERT_NE(bitmap, nullptr);
        const HGDIOBJ previous = SelectObject(dc, bitmap);
        EXPECT_EQ(SendMessageW(view, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 0);
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        const ChannelColour background = BackgroundColour({GetRValue(face), GetGValue(face), GetBValue(face)});
        const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
        EXPECT_EQ(GetPixel(dc, 20, 40), RGB(background.red, background.green, background.blue));
        EXPECT_EQ(GetPixel(dc, 0, 40), shadow) << "left edge";
        EXPECT_EQ(GetPixel(dc, client.right - 2, 40), shadow) << "two pixels in from the right";
        EXPECT_EQ(GetPixel(dc, 20, kMenuBarHeight), shadow) << "under the menu bar";
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);

        // The browser lets go of the site before CloseDW: nothing changes.
        EXPECT_EQ(withSite->SetSite(nullptr), S_OK);
        HWND after = nullptr;
        EXPECT_EQ(band->GetWindow(&after), S_OK);
        EXPECT_EQ(after, view);
        EXPECT_TRUE(IsWindow(view));
        ComPtr<IOleWindow> fromSite;
        ASSERT_EQ(withSite->GetSite(IID_PPV_ARGS(&fromSite)), S_OK) << "the input object site stays";
        fromSite.Reset();

        EXPECT_EQ(band->CloseDW(0), S_OK);
        EXPECT_FALSE(IsWindow(view));
        EXPECT_EQ(band->GetWindow(&after), S_OK);
        EXPECT_EQ(after, nullptr);
    }
    DestroyWindow(parent);
}

TEST(BandObjectTest, DispatchIsServedFromTheRegisteredTypeLibrary) {
    ASSERT_EQ(Dll().registerServer(), S_OK);
    {
        const ComPtr<IDeskBand> band = NewBand();
        ASSERT_TRUE(band);
        ComPtr<IDispatch> dispatch;
        ASSERT_EQ(band.As(&dispatch), S_OK);
        ComPtr<ITypeInfo> typeInfo;
        ASSERT_EQ(dispatch->GetTypeInfo(0, 1033, &typeInfo), S_OK);
        TYPEATTR* attributes = nullptr;
        ASSERT_EQ(typeInfo->GetTypeAttr(&attributes), S_OK);
        EXPECT_EQ(attributes->guid, kExplorerBarIid);
        typeInfo->ReleaseTypeAttr(attributes);
        OLECHAR name[] = L"NoSuchMember";
        LPOLESTR names[] = {name};
        DISPID id = 0;
        EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, 1033, &id), DISP_E_UNKNOWNNAME);
    }
    EXPECT_EQ(Dll().unregisterServer(), S_OK);
}

}  // namespace
}  // namespace qm::test
