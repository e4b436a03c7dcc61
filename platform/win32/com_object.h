// ComObject: IUnknown for a heap object that implements one interface.
// QueryInterface answers IUnknown and the ids listed (the interface's own
// and those of the interfaces it derives from), each with the same pointer;
// the object starts with one reference, held by its creator, and deletes
// itself when the last one goes. The count is interlocked, so references
// may be taken and dropped on any thread.
#pragma once

#include <unknwn.h>
#include <windows.h>

namespace qm {

template <typename Interface, const IID&... kInterfaceIds>
class ComObject : public Interface {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (iid == IID_IUnknown || ((iid == kInterfaceIds) || ...)) {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&references_));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;

private:
    LONG references_ = 1;
};

}  // namespace qm
