#include "band/win32/class_factory.h"

#include <new>

#include "band/win32/band_object.h"
#include "band/win32/module.h"

namespace qm {

ClassFactory::ClassFactory() {
    InitializeCriticalSection(&lock_);
}

ClassFactory::~ClassFactory() {
    DeleteCriticalSection(&lock_);
}

STDMETHODIMP ClassFactory::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
    *object = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) ClassFactory::AddRef() {
    EnterCriticalSection(&lock_);
    const ULONG count = ++references_;
    LeaveCriticalSection(&lock_);
    if (count == 2) LockModule();
    return count;
}

STDMETHODIMP_(ULONG) ClassFactory::Release() {
    EnterCriticalSection(&lock_);
    const ULONG count = --references_;
    LeaveCriticalSection(&lock_);
    if (count == 1) UnlockModule();
    if (count == 0) delete this;
    return count;
}

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer && iid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
    return BandObject::Create(outer, iid, object);
}

STDMETHODIMP ClassFactory::LockServer(BOOL lock) {
    if (lock) {
        LockModule();
    } else {
        UnlockModule();
    }
    return S_OK;
}

ClassFactory* BandClassFactory() {
    // The first class object is the band's first need of the system.
    ModuleActivation();
    ModuleState& module = Module();
    const std::lock_guard<std::mutex> guard(module.lock);
    if (!module.bandClass.factory) module.bandClass.factory = new (std::nothrow) ClassFactory();
    return module.bandClass.factory;
}

void ReleaseClassFactory(ClassFactory* factory) {
    factory->Release();
}

}  // namespace qm
