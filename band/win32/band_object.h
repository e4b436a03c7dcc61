// BandObject: the band the browser creates, at once the COM object and
// (through its MainView) the window. It answers IExplorerBar and IDispatch,
// IObjectWithSite, IDeskBand and IPersistStreamInit with IPersist, in that
// order, and nothing else: IOleWindow and IDockingWindow are reached only
// through IDeskBand. It may be aggregated.
//
// Owned: the view window and everything in it, the browser pointer, the
// site's input object site and the platform adapters the view works on. Each live object holds one lock on
// the module.
#pragma once

#include <ocidl.h>
#include <shlobj.h>
#include <windows.h>
#include <wrl/client.h>

#include <memory>

#include "band/win32/explorer_bar.h"
#include "band/win32/main_view.h"
#include "platform/win32/win32_platform.h"

namespace qm {

class BandObject final : public IExplorerBar,
                         public IObjectWithSite,
                         public IDeskBand,
                         public IPersistStreamInit {
public:
    // Builds a band (aggregated when outer is given) and asks it for iid;
    // the band is deleted again when that fails.
    static HRESULT Create(IUnknown* outer, REFIID iid, void** object);

    BandObject(const BandObject&) = delete;
    BandObject& operator=(const BandObject&) = delete;

    // IUnknown, delegating to the controlling unknown.
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch (IExplorerBar has no methods of its own).
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** typeInfo) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID member, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                        VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

    // IObjectWithSite
    STDMETHODIMP SetSite(IUnknown* site) override;
    STDMETHODIMP GetSite(REFIID iid, void** site) override;

    // IOleWindow, IDockingWindow, IDeskBand
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enterMode) override;
    STDMETHODIMP ShowDW(BOOL show) override;
    STDMETHODIMP CloseDW(DWORD reserved) override;
    STDMETHODIMP ResizeBorderDW(LPCRECT border, IUnknown* site, BOOL reserved) override;
    STDMETHODIMP GetBandInfo(DWORD bandId, DWORD viewMode, DESKBANDINFO* info) override;

    // IPersist, IPersistStreamInit
    STDMETHODIMP GetClassID(CLSID* classId) override;
    STDMETHODIMP IsDirty() override;
    STDMETHODIMP Load(IStream* stream) override;
    STDMETHODIMP Save(IStream* stream, BOOL clearDirty) override;
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
    STDMETHODIMP InitNew() override;

private:
    // The non-delegating unknown: the object's own identity and count.
    class Inner final : public IUnknown {
    public:
        explicit Inner(BandObject& band) : band_(band) {}
        STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
        STDMETHODIMP_(ULONG) AddRef() override;
        STDMETHODIMP_(ULONG) Release() override;

    private:
        BandObject& band_;
    };

    explicit BandObject(IUnknown* outer);
    ~BandObject();

    HRESULT InnerQueryInterface(REFIID iid, void** object);

    Inner inner_{*this};
    IUnknown* controlling_;  // the outer object, or inner_; not counted
    bool aggregated_;
    volatile LONG references_ = 0;

    Microsoft::WRL::ComPtr<IInputObjectSite> inputObjectSite_;
    HWND parentWindow_ = nullptr;
    DWORD bandId_ = 0;
    DWORD viewMode_ = 0;
    // The system's stores, lent to the view; declared first so that it
    // outlives the view.
    Win32Platform platform_;
    // Made afresh for each site, so that a second site starts from empty lists.
    std::unique_ptr<MainView> view_;
};

}  // namespace qm
