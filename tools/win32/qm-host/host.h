// The band host: a frame window laid out as a browser is (address line,
// page, band docked at the bottom, status bar), a band site and a browser
// stand-in. It loads Quillmere.dll, creates the band through the DLL's
// class object and runs the browser's band sequence: SetSite, GetBandInfo,
// ShowDW(TRUE) to start; ShowDW(FALSE), CloseDW, SetSite(NULL) and the
// last Release to stop.
//
// The page is a "Shell DocObject View" window with an
// "Internet Explorer_Server" child, so that the band's focus hand-over has
// a page to go to.
#pragma once

#include <shlobj.h>
#include <windows.h>
#include <wrl/client.h>

#include <memory>
#include <string>

#include "tools/win32/qm-host/band_site.h"
#include "tools/win32/qm-host/host_browser.h"

namespace qm {

class Host final : public HostChrome {
public:
    Host();
    ~Host() override;
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // Creates the frame, loads the DLL and starts the band. On failure the
    // message says what went wrong, for the user.
    bool Start(const std::wstring& dllPath, std::wstring& message);
    // Runs the band's closing sequence and unloads the DLL. Also done by
    // the destructor.
    void Stop();

    HWND frameWindow() const override { return frame_; }
    HWND siteWindow() const { return site_; }
    HWND pageWindow() const { return page_; }
    // The band's window as the band reports it.
    HWND bandWindow() const;
    IDeskBand* band() const { return band_.Get(); }
    const HostBrowser& browser() const { return browser_; }
    const DESKBANDINFO& bandInfo() const { return bandInfo_; }

    void ShowAddress(const std::wstring& address) override;
    void ShowStatus(const std::wstring& text) override;

    // Ends the thread's message loop when the frame is closed.
    void QuitWhenClosed() { quitWhenClosed_ = true; }

    // Writes the frame as it is on the screen into a 24-bit BMP file.
    bool SaveScreenshot(const std::wstring& path) const;

private:
    static LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SiteProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static bool RegisterClasses();
    bool CreateFrame(std::wstring& message);
    void LayOut();

    HWND frame_ = nullptr;
    HWND address_ = nullptr;
    HWND documentView_ = nullptr;
    HWND page_ = nullptr;
    HWND site_ = nullptr;
    HWND status_ = nullptr;
    int bandHeight_ = 240;

    HostBrowser browser_{*this};
    std::unique_ptr<BandSite> bandSite_;
    HMODULE dll_ = nullptr;
    Microsoft::WRL::ComPtr<IDeskBand> band_;
    DESKBANDINFO bandInfo_ = {};
    bool sited_ = false;
    bool quitWhenClosed_ = false;
};

}  // namespace qm
