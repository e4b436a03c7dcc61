#include "platform/win32/win32_url_history.h"

#include <objbase.h>
#include <shlguid.h>
#include <urlhist.h>
#include <windows.h>
#include <wrl/client.h>

#include <cwchar>
#include <optional>
#include <string>
#include <utility>

namespace qm {
namespace {

using Microsoft::WRL::ComPtr;

// The thread's COM initialization for as long as a session lives. Only a
// successful CoInitialize (S_OK or S_FALSE) is balanced by CoUninitialize: a
// thread already in another apartment model answers a failure and must not
// lose the initialization its owner made.
class ComInitialization {
public:
    explicit ComInitialization(bool initialize)
        : initialized_(initialize && SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComInitialization() {
        if (initialized_) CoUninitialize();
    }
    ComInitialization(const ComInitialization&) = delete;
    ComInitialization& operator=(const ComInitialization&) = delete;

private:
    bool initialized_;
};

// The strings of one STATURL belong to the receiver once Next returns.
class StatUrlStrings {
public:
    explicit StatUrlStrings(STATURL& stat) : stat_(stat) {}
    ~StatUrlStrings() {
        CoTaskMemFree(stat_.pwcsUrl);
        CoTaskMemFree(stat_.pwcsTitle);
    }
    StatUrlStrings(const StatUrlStrings&) = delete;
    StatUrlStrings& operator=(const StatUrlStrings&) = delete;

private:
    STATURL& stat_;
};

std::u16string ToU16(const wchar_t* text) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t));
    return std::u16string(reinterpret_cast<const char16_t*>(text), std::wcslen(text));
}

FileTime ToFileTime(const FILETIME& time) {
    return FileTime{uint64_t{time.dwHighDateTime} << 32 | time.dwLowDateTime};
}

StatUrl ToStatUrl(const STATURL& stat) {
    StatUrl url;
    if (stat.pwcsUrl != nullptr) url.url = ToU16(stat.pwcsUrl);
    if (stat.pwcsTitle != nullptr) url.title = ToU16(stat.pwcsTitle);
    url.lastUpdated = ToFileTime(stat.ftLastUpdated);
    url.lastVisited = ToFileTime(stat.ftLastVisited);
    url.expires = ToFileTime(stat.ftExpires);
    return url;
}

class Win32UrlHistorySession final : public UrlHistorySession {
public:
    Win32UrlHistorySession(std::unique_ptr<ComInitialization> com, ComPtr<IUrlHistoryStg2> service)
        : com_(std::move(com)), service_(std::move(service)) {}

    bool Enumerate(const std::function<bool(const StatUrl&)>& visit) override {
        ComPtr<IEnumSTATURL> urls;
        if (FAILED(service_->EnumUrls(&urls)) || !urls) return false;
        urls->Reset();
        for (;;) {
            STATURL stat = {};
            stat.cbSize = sizeof stat;
            ULONG fetched = 0;
            const HRESULT result = urls->Next(1, &stat, &fetched);
            const StatUrlStrings strings(stat);
            if (fetched == 0) break;
            // A URL delivered together with a failure code still counts,
            // and is the last.
            if (!visit(ToStatUrl(stat)) || FAILED(result)) break;
        }
        return true;
    }

    HResult DeleteUrl(const std::u16string& url) override {
        return service_->DeleteUrl(reinterpret_cast<LPCOLESTR>(url.c_str()), 0);
    }

private:
    // Declared first so that it ends last: the thread keeps COM until the
    // service has been released.
    std::unique_ptr<ComInitialization> com_;
    ComPtr<IUrlHistoryStg2> service_;
};

}  // namespace

std::unique_ptr<UrlHistorySession> Win32UrlHistory::Open(bool initializeThread) {
    auto com = std::make_unique<ComInitialization>(initializeThread);
    ComPtr<IUrlHistoryStg2> service;
    if (FAILED(CoCreateInstance(CLSID_CUrlHistory, nullptr, CLSCTX_INPROC_SERVER, IID_IUrlHistoryStg2,
                                reinterpret_cast<void**>(service.GetAddressOf()))) ||
        !service) {
        return nullptr;
    }
    return std::make_unique<Win32UrlHistorySession>(std::move(com), std::move(service));
}

}  // namespace qm
