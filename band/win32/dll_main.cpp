// The DLL's entry point and its four exports.
#include <unknwn.h>
#include <windows.h>

#include "band/win32/class_factory.h"
#include "band/win32/module.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        qm::AttachModule(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
        // A non-null reserved pointer means the process is ending.
        qm::DetachModule(reserved != nullptr);
    }
    return TRUE;
}

extern "C" HRESULT __stdcall DllGetClassObject(REFCLSID classId, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (classId != *qm::Module().bandClass.classId) return CLASS_E_CLASSNOTAVAILABLE;
    qm::ClassFactory* factory = qm::BandClassFactory();
    if (!factory) return E_OUTOFMEMORY;
    return factory->QueryInterface(iid, object);
}

extern "C" HRESULT __stdcall DllCanUnloadNow() {
    return qm::Module().lockCount == 0 ? S_OK : S_FALSE;
}
