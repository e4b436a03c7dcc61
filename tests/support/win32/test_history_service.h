// A URL history service that a test program (or the demo host) serves
// itself. Wine's own service answers E_NOTIMPL to EnumUrls, so the Windows
// tests register this one for CLSID_CUrlHistory in their apartment, where
// CoCreateInstance finds it before the platform's.
//
// The service keeps a list of entries that the owner fills. Its instances
// speak IUrlHistoryStg2 (and IUrlHistoryStg, IUnknown); EnumUrls hands out
// an IEnumSTATURL over a copy of the list taken when it starts (and again at
// Reset), so deleting while enumerating neither skips nor repeats entries
// of the copy. STATURL strings are allocated with CoTaskMemAlloc and belong
// to the receiver. DeleteUrl removes every entry with exactly that URL.
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

struct TestHistoryEntry {
    std::u16string url;
    std::optional<std::u16string> title;  // absent: the STATURL gets no title
    FileTime lastVisited;
    FileTime lastUpdated;
    FileTime expires;
};

struct TestHistoryState;

class TestHistoryService {
public:
    // Registers the class object (CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE)
    // in the calling thread's apartment, which must have COM initialized.
    TestHistoryService();
    // Revokes the registration.
    ~TestHistoryService();

    TestHistoryService(const TestHistoryService&) = delete;
    TestHistoryService& operator=(const TestHistoryService&) = delete;

    // The result of CoRegisterClassObject.
    HRESULT registration() const { return registration_; }

    void Add(TestHistoryEntry entry);
    std::vector<TestHistoryEntry> entries() const;
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
    std::shared_ptr<TestHistoryState> state_;
    DWORD cookie_ = 0;
    HRESULT registration_ = E_FAIL;
};

}  // namespace qm
