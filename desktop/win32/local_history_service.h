// A URL history service served from inside the process: Quillmere.exe
// serves it with sample visits for the demo (--sample-history), and the
// Windows tests serve it because Wine's own service answers E_NOTIMPL to
// EnumUrls. The owner registers it for CLSID_CUrlHistory in its apartment,
// where CoCreateInstance finds it before the platform's.
//
// The service keeps a list of entries that the owner fills. Its instances
// speak IUrlHistoryStg2 (and IUrlHistoryStg, IUnknown); EnumUrls hands out
// an IEnumSTATURL over a copy of the list taken when it starts (and again at
// Reset), so deleting while enumerating neither skips nor repeats entries
// of the copy. STATURL strings are allocated with CoTaskMemAlloc and belong
// to the receiver. DeleteUrl removes every entry with exactly that URL. The
// tests can make EnumUrls and Next fail and count the objects handed out.
//
// The registration object owns the class object's registration; the list
// is shared with every object the service handed out, so one that outlives
// the registration stays sound. Use it from the registering thread only.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/types.h"

namespace qm {

struct LocalHistoryEntry {
    std::u16string url;
    std::optional<std::u16string> title;  // absent: the STATURL gets no title
    FileTime lastVisited;
    FileTime lastUpdated;
    FileTime expires;
};

struct LocalHistoryState;

class LocalHistoryService {
public:
    // Registers the class object (CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE)
    // in the calling thread's apartment, which must have COM initialized.
    LocalHistoryService();
    // Revokes the registration.
    ~LocalHistoryService();

    LocalHistoryService(const LocalHistoryService&) = delete;
    LocalHistoryService& operator=(const LocalHistoryService&) = delete;

    // The result of CoRegisterClassObject.
    HRESULT registration() const { return registration_; }

    void Add(LocalHistoryEntry entry);
    std::vector<LocalHistoryEntry> entries() const;
    // Every URL handed to DeleteUrl, in order, whether it matched or not.
    std::vector<std::u16string> deleteCalls() const;

    // From now on EnumUrls answers this failure code and no enumerator.
    void FailEnumUrls(HRESULT result);
    // The Next call that delivers the entry at this position of the list
    // answers this code together with the entry.
    void FailNextAt(std::size_t position, HRESULT result);

    // Service instances and enumerators handed out and not yet released.
    long liveObjects() const;
    // Instances the class object has created.
    int instancesCreated() const;

private:
    std::shared_ptr<LocalHistoryState> state_;
    DWORD cookie_ = 0;
    HRESULT registration_ = E_FAIL;
};

}  // namespace qm
