#include "platform/win32/win32_browser.h"

#include <oleauto.h>
#include <windows.h>

#include <climits>
#include <string_view>

#include "platform/win32/unique_handle.h"

namespace qm {
namespace {

struct BstrFreer {
    void operator()(BSTR text) const { SysFreeString(text); }
};
using UniqueBstr = UniqueHandle<BSTR, BstrFreer>;

// The text as a BSTR, converted with the ANSI code page. A BSTR carries its
// length, so a text with a NUL inside arrives whole. An empty text is an
// empty BSTR, not a null one. Null only when memory ran out.
UniqueBstr ToBstr(std::string_view text) {
    if (text.size() > static_cast<std::size_t>(INT_MAX)) return UniqueBstr();
    const int source = static_cast<int>(text.size());
    const int length = source == 0 ? 0 : MultiByteToWideChar(CP_ACP, 0, text.data(), source, nullptr, 0);
    if (source > 0 && length <= 0) return UniqueBstr();
    UniqueBstr bstr(SysAllocStringLen(nullptr, static_cast<UINT>(length)));
    if (!bstr) return bstr;
    if (length > 0 && MultiByteToWideChar(CP_ACP, 0, text.data(), source, bstr.get(), length) != length)
        return UniqueBstr();
    return bstr;
}

}  // namespace

void Win32Browser::Navigate(std::string_view url) {
    if (!browser_) return;
    UniqueBstr address = ToBstr(url);
    if (!address) return;
    VARIANT empty;
    VariantInit(&empty);
    browser_->Navigate(address.get(), &empty, &empty, &empty, &empty);
}

void Win32Browser::SetStatusText(std::string_view text) {
    if (!browser_) return;
    UniqueBstr status = ToBstr(text);
    if (!status) return;
    browser_->put_StatusText(status.get());
}

}  // namespace qm
