#include "desktop/win32/local_history_service.h"

#include <objbase.h>
#include <shlguid.h>
#include <urlhist.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <new>
#include <utility>

#include "platform/win32/com_object.h"

namespace qm {

struct LocalHistoryState {
    std::vector<LocalHistoryEntry> entries;
    std::vector<std::u16string> deleteCalls;
    std::optional<HRESULT> enumUrlsFailure;
    std::optional<std::pair<std::size_t, HRESULT>> nextFailure;
    long liveObjects = 0;
    int instancesCreated = 0;
};

namespace {

using Microsoft::WRL::ComPtr;

std::u16string FromOle(LPCOLESTR text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text), std::wcslen(text));
}

FILETIME ToFiletime(FileTime time) {
    return FILETIME{static_cast<DWORD>(time.ticks & 0xFFFFFFFFu), static_cast<DWORD>(time.ticks >> 32)};
}

FileTime Now() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return FileTime{uint64_t{now.dwHighDateTime} << 32 | now.dwLowDateTime};
}

// A copy of the text in task memory, which the receiver frees.
LPWSTR TaskCopy(const std::u16string& text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(char16_t);
    auto* copy = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (copy != nullptr) std::memcpy(copy, text.c_str(), bytes);
    return copy;
}

// Fills a STATURL as the platform's service does. The strings are left out
// when the flags say so; on failure nothing stays allocated.
HRESULT FillStatUrl(const LocalHistoryEntry& entry, DWORD flags, STATURL& stat) {
    stat.pwcsUrl = nullptr;
    stat.pwcsTitle = nullptr;
    if ((flags & STATURL_QUERYFLAG_NOURL) == 0) {
        stat.pwcsUrl = TaskCopy(entry.url);
        if (stat.pwcsUrl == nullptr) return E_OUTOFMEMORY;
    }
    if ((flags & STATURL_QUERYFLAG_NOTITLE) == 0 && entry.title) {
        stat.pwcsTitle = TaskCopy(*entry.title);
        if (stat.pwcsTitle == nullptr) {
            CoTaskMemFree(stat.pwcsUrl);
            stat.pwcsUrl = nullptr;
            return E_OUTOFMEMORY;
        }
    }
    stat.ftLastVisited = ToFiletime(entry.lastVisited);
    stat.ftLastUpdated = ToFiletime(entry.lastUpdated);
    stat.ftExpires = ToFiletime(entry.expires);
    stat.dwFlags = 0;
    return S_OK;
}

// Counts itself among the service's live objects from construction to
// destruction.
class LiveObject {
public:
    explicit LiveObject(std::shared_ptr<LocalHistoryState> state) : state_(std::move(state)) {
        ++state_->liveObjects;
    }
    ~LiveObject() { --state_->liveObjects; }
    LiveObject(const LiveObject&) = delete;
    LiveObject& operator=(const LiveObject&) = delete;

protected:
    std::shared_ptr<LocalHistoryState> state_;
};

class HistoryEnumerator final : public ComObject<IEnumSTATURL, IID_IEnumSTATURL>, private LiveObject {
public:
    explicit HistoryEnumerator(std::shared_ptr<LocalHistoryState> state)
        : LiveObject(std::move(state)), snapshot_(state_->entries) {}

    // IEnumSTATURL
    HRESULT STDMETHODCALLTYPE Next(ULONG count, LPSTATURL urls, ULONG* fetched) override {
        if (fetched != nullptr) *fetched = 0;
        if (urls == nullptr || (count > 1 && fetched == nullptr)) return E_POINTER;
        ULONG delivered = 0;
        while (delivered < count && SkipToMatch()) {
            const std::size_t position = position_++;
            const HRESULT filled = FillStatUrl(snapshot_[position], flags_, urls[delivered]);
            if (FAILED(filled)) return filled;
            ++delivered;
            if (fetched != nullptr) *fetched = delivered;
            if (state_->nextFailure && state_->nextFailure->first == position)
                return state_->nextFailure->second;
        }
        return delivered == count ? S_OK : S_FALSE;
    }

    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        for (ULONG skipped = 0; skipped < count; ++skipped, ++position_) {
            if (!SkipToMatch()) return S_FALSE;
        }
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Reset() override {
        snapshot_ = state_->entries;
        position_ = 0;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Clone(IEnumSTATURL** clone) override {
        if (clone == nullptr) return E_POINTER;
        auto* copy = new (std::nothrow) HistoryEnumerator(state_);
        if (copy == nullptr) return E_OUTOFMEMORY;
        copy->snapshot_ = snapshot_;
        copy->position_ = position_;
        copy->filter_ = filter_;
        copy->flags_ = flags_;
        *clone = copy;
        return S_OK;
    }

    // Only the URLs that start with the filter are enumerated; the flags
    // leave strings out.
    HRESULT STDMETHODCALLTYPE SetFilter(LPCOLESTR filter, DWORD flags) override {
        filter_ = filter != nullptr ? FromOle(filter) : std::u16string();
        flags_ = flags;
        return S_OK;
    }

private:
    ~HistoryEnumerator() override = default;

    // Moves to the next entry that passes the filter; false at the end.
    bool SkipToMatch() {
        while (position_ < snapshot_.size() &&
               snapshot_[position_].url.compare(0, filter_.size(), filter_) != 0)
            ++position_;
        return position_ < snapshot_.size();
    }

    std::vector<LocalHistoryEntry> snapshot_;
    std::size_t position_ = 0;
    std::u16string filter_;
    DWORD flags_ = 0;
};

class HistoryStorage final : public ComObject<IUrlHistoryStg2, IID_IUrlHistoryStg, IID_IUrlHistoryStg2>,
                             private LiveObject {
public:
    using LiveObject::LiveObject;

    // IUrlHistoryStg. A URL added again is updated in place.
    HRESULT STDMETHODCALLTYPE AddUrl(LPCOLESTR url, LPCOLESTR title, DWORD) override {
        if (url == nullptr) return E_INVALIDARG;
        const std::u16string text = FromOle(url);
        const FileTime now = Now();
        auto& entries = state_->entries;
        auto found =
            std::find_if(entries.begin(), entries.end(), [&](const auto& e) { return e.url == text; });
        if (found == entries.end()) {
            entries.push_back(LocalHistoryEntry{text, std::nullopt, now, now, FileTime{}});
            found = std::prev(entries.end());
        }
        if (title != nullptr) found->title = FromOle(title);
        found->lastVisited = now;
        found->lastUpdated = now;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE DeleteUrl(LPCOLESTR url, DWORD) override {
        if (url == nullptr) return E_INVALIDARG;
        const std::u16string text = FromOle(url);
        state_->deleteCalls.push_back(text);
        const auto removed =
            std::erase_if(state_->entries, [&](const auto& entry) { return entry.url == text; });
        return removed > 0 ? S_OK : HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    }

    HRESULT STDMETHODCALLTYPE QueryUrl(LPCOLESTR url, DWORD flags, LPSTATURL stat) override {
        if (url == nullptr) return E_INVALIDARG;
        const std::u16string text = FromOle(url);
        const auto& entries = state_->entries;
        const auto found =
            std::find_if(entries.begin(), entries.end(), [&](const auto& e) { return e.url == text; });
        if (found == entries.end()) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
        return stat != nullptr ? FillStatUrl(*found, flags, *stat) : S_OK;
    }

    // The platform's service does not offer this either.
    HRESULT STDMETHODCALLTYPE BindToObject(LPCOLESTR, REFIID, void** object) override {
        if (object != nullptr) *object = nullptr;
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE EnumUrls(IEnumSTATURL** urls) override {
        if (urls == nullptr) return E_POINTER;
        *urls = nullptr;
        if (state_->enumUrlsFailure) return *state_->enumUrlsFailure;
        auto* enumerator = new (std::nothrow) HistoryEnumerator(state_);
        if (enumerator == nullptr) return E_OUTOFMEMORY;
        *urls = enumerator;
        return S_OK;
    }

    // IUrlHistoryStg2
    HRESULT STDMETHODCALLTYPE AddUrlAndNotify(LPCOLESTR url, LPCOLESTR title, DWORD flags, WINBOOL,
                                              IOleCommandTarget*, IUnknown*) override {
        return AddUrl(url, title, flags);
    }

    HRESULT STDMETHODCALLTYPE ClearHistory() override {
        state_->entries.clear();
        return S_OK;
    }

private:
    ~HistoryStorage() override = default;
};

class HistoryClassFactory final : public ComObject<IClassFactory, IID_IClassFactory> {
public:
    explicit HistoryClassFactory(std::shared_ptr<LocalHistoryState> state) : state_(std::move(state)) {}

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        auto* storage = new (std::nothrow) HistoryStorage(state_);
        if (storage == nullptr) return E_OUTOFMEMORY;
        const HRESULT result = storage->QueryInterface(iid, object);
        storage->Release();
        if (SUCCEEDED(result)) ++state_->instancesCreated;
        return result;
    }

    // The registration keeps the class object alive; locks change nothing.
    HRESULT STDMETHODCALLTYPE LockServer(WINBOOL) override { return S_OK; }

private:
    ~HistoryClassFactory() override = default;

    std::shared_ptr<LocalHistoryState> state_;
};

}  // namespace

LocalHistoryService::LocalHistoryService() : state_(std::make_shared<LocalHistoryState>()) {
    ComPtr<IClassFactory> factory;
    factory.Attach(new HistoryClassFactory(state_));
    registration_ = CoRegisterClassObject(CLSID_CUrlHistory, factory.Get(), CLSCTX_INPROC_SERVER,
                                          REGCLS_MULTIPLEUSE, &cookie_);
}

LocalHistoryService::~LocalHistoryService() {
    if (SUCCEEDED(registration_)) CoRevokeClassObject(cookie_);
}

void LocalHistoryService::Add(LocalHistoryEntry entry) {
    state_->entries.push_back(std::move(entry));
}

std::vector<LocalHistoryEntry> LocalHistoryService::entries() const {
    return state_->entries;
}

std::vector<std::u16string> LocalHistoryService::deleteCalls() const {
    return state_->deleteCalls;
}

void LocalHistoryService::FailEnumUrls(HRESULT result) {
    state_->enumUrlsFailure = result;
}

void LocalHistoryService::FailNextAt(std::size_t position, HRESULT result) {
    state_->nextFailure = std::make_pair(position, result);
}

long LocalHistoryService::liveObjects() const {
    return state_->liveObjects;
}

int LocalHistoryService::instancesCreated() const {
    return state_->instancesCreated;
}

}  // namespace qm
