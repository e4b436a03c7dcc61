// Quillmere's own window: a frame titled "Quillmere" with the band filling
// it above a status bar, the band site and the frame's browser object. It
// loads Quillmere.dll, creates the band through the DLL's class object and
// runs the browser's band sequence: SetSite, GetBandInfo, ShowDW(TRUE) to
// start; ShowDW(FALSE), CloseDW, SetSite(NULL) and the last Release to stop.
//
// As a browser does, the frame hands the keyboard to the band: it gives the
// band the focus when the frame gets it and offers it the keyboard messages
// before they are translated, through the band's IInputObject when the band
// has one. The band's status text goes to the status bar; the addresses it
// asks to open go to the user's default browser.
#pragma once

#include <shlobj.h>
#include <windows.h>
#include <wrl/client.h>

#include <memory>
#include <string>

#include "desktop/win32/band_site.h"
#include "desktop/win32/host_browser.h"
#include "desktop/window_placement.h"

namespace qm {

class Host final : public HostChrome {
public:
    // The frame opens at the placement given (the default size otherwise).
    Host();
    explicit Host(const FramePlacement& placement);
    ~Host() override;
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // Loads the DLL, creates the band, then the frame, and starts the band.
    // On failure the message says what went wrong, for the user.
    bool Start(const std::wstring& dllPath, std::wstring& message);
    // Runs the band's closing sequence and unloads the DLL. Also done by
    // the destructor.
    void Stop();

    HWND frameWindow() const { return frame_; }
    HWND siteWindow() const { return site_; }
    HWND statusBar() const { return status_; }
    // The band's window as the band reports it.
    HWND bandWindow() const;
    IDeskBand* band() const { return band_.Get(); }
    const HostBrowser& browser() const { return browser_; }
    const DESKBANDINFO& bandInfo() const { return bandInfo_; }
    // The frame's normal rectangle as last shown, and whether it is maximized.
    FramePlacement placement() const;

    // Offers a message of the thread's loop to the band before it is
    // translated and dispatched; true when the band took it.
    bool TranslateAccelerator(MSG& message);

    HWND browserWindow() const override { return nullptr; }
    void OpenAddress(const std::wstring& address) override;
    void ShowStatus(const std::wstring& text) override;

    // Ends the thread's message loop when the frame is closed.
    void QuitWhenClosed() { quitWhenClosed_ = true; }

    // Writes the frame as it is on the screen into a 24-bit BMP file.
    bool SaveScreenshot(const std::wstring& path) const;

private:
    static LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SiteProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static bool RegisterClasses();
    bool LoadBand(const std::wstring& dllPath, std::wstring& message);
    bool CreateFrame(std::wstring& message);
    void LayOut();
    void RememberPlacement();
    void FocusBand();
    bool InsideFrame(HWND window) const;

    HWND frame_ = nullptr;
    HWND site_ = nullptr;
    HWND status_ = nullptr;
    FramePlacement placement_;

    HostBrowser browser_{*this};
    std::unique_ptr<BandSite> bandSite_;
    HMODULE dll_ = nullptr;
    Microsoft::WRL::ComPtr<IDeskBand> band_;
    // The band's keyboard interface; null for a band without one.
    Microsoft::WRL::ComPtr<IInputObject> input_;
    DESKBANDINFO bandInfo_ = {};
    bool sited_ = false;
    bool quitWhenClosed_ = false;
};

}  // namespace qm
