// Browser on the hosting browser's IWebBrowser2, which the adapter holds a
// reference to for as long as it lives. Texts cross to the browser as BSTRs
// converted with the ANSI code page; the browser's answers are not the
// band's business and are not reported.
#pragma once

#include <exdisp.h>
#include <wrl/client.h>

#include <utility>

#include "platform/browser.h"

namespace qm {

class Win32Browser final : public Browser {
public:
    explicit Win32Browser(Microsoft::WRL::ComPtr<IWebBrowser2> browser) : browser_(std::move(browser)) {}

    // Goes to the address in the browser's own window: no flags, no target
    // frame, no post data, no headers.
    void Navigate(std::string_view url) override;
    void SetStatusText(std::string_view text) override;

    IWebBrowser2* browser() const { return browser_.Get(); }

private:
    Microsoft::WRL::ComPtr<IWebBrowser2> browser_;
};

}  // namespace qm
