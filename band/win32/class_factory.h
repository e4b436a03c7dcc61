// The class object of the band. The class table holds its first reference
// from its creation until process detach; every further reference counts
// as a lock on the module, so a host that keeps the factory keeps the DLL.
#pragma once

#include <unknwn.h>
#include <windows.h>

namespace qm {

class ClassFactory final : public IClassFactory {
public:
    ClassFactory();
    ~ClassFactory();
    ClassFactory(const ClassFactory&) = delete;
    ClassFactory& operator=(const ClassFactory&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    CRITICAL_SECTION lock_;
    ULONG references_ = 1;
};

// The factory of the class table, created under the module lock on first
// use; null when out of memory.
ClassFactory* BandClassFactory();
void ReleaseClassFactory(ClassFactory* factory);

}  // namespace qm
