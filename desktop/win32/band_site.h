// The frame's band site: the window a band lives in, with the interfaces a
// browser's band site offers (IOleWindow, IInputObjectSite,
// IOleCommandTarget, IServiceProvider). Its service provider hands out the
// frame's browser object for SID_SWebBrowserApp.
#pragma once

#include <ocidl.h>
#include <servprov.h>
#include <shlobj.h>
#include <windows.h>

namespace qm {

class BandSite final : public IOleWindow,
                       public IInputObjectSite,
                       public IOleCommandTarget,
                       public IServiceProvider {
public:
    BandSite(HWND window, IWebBrowser2* browser) : window_(window), browser_(browser) {}
    BandSite(const BandSite&) = delete;
    BandSite& operator=(const BandSite&) = delete;

    // How many references the band holds now; the host checks that it
    // gives them all back.
    LONG references() const { return references_ - 1; }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    STDMETHODIMP OnFocusChangeIS(IUnknown*, BOOL) override { return S_OK; }

    STDMETHODIMP QueryStatus(const GUID*, ULONG, OLECMD[], OLECMDTEXT*) override {
        return OLECMDERR_E_UNKNOWNGROUP;
    }
    STDMETHODIMP Exec(const GUID*, DWORD, DWORD, VARIANT*, VARIANT*) override {
        return OLECMDERR_E_UNKNOWNGROUP;
    }

    STDMETHODIMP QueryService(REFGUID service, REFIID iid, void** object) override;

private:
    HWND window_;
    IWebBrowser2* browser_;  // borrowed from the host; may be null
    volatile LONG references_ = 1;
};

}  // namespace qm
