#include "band/win32/module.h"

#include <commctrl.h>
#include <ole2.h>

#include "band/win32/class_factory.h"
#include "band/win32/explorer_bar.h"
#include "resources/resource.h"

namespace qm {

ModuleState& Module() {
    static ModuleState state;
    return state;
}

void LockModule() {
    InterlockedIncrement(&Module().lockCount);
}
void UnlockModule() {
    InterlockedDecrement(&Module().lockCount);
}

void AttachModule(HMODULE instance) {
    ModuleState& module = Module();
    // OLE first: the browser's thread has it already, and this keeps it
    // alive for as long as the band is loaded in any other host.
    module.oleInitialized = SUCCEEDED(OleInitialize(nullptr));
    module.instance = instance;
    module.lockCount = 0;
    module.bandClass = ClassEntry{&kBandClassGuid, nullptr};
    InitializeCriticalSection(&module.lock);
    DisableThreadLibraryCalls(instance);
    module.activation.Create(instance, IDR_QM_MANIFEST);
    ActivationScope scope(module.activation);
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_BAR_CLASSES | ICC_COOL_CLASSES;
    InitCommonControlsEx(&controls);
}

void DetachModule(bool processExiting) {
    ModuleState& module = Module();
    if (module.bandClass.factory) {
        // The factory is our own object; releasing it touches no other DLL.
        ReleaseClassFactory(module.bandClass.factory);
        module.bandClass.factory = nullptr;
    }
    if (!processExiting) {
        if (module.explorerBarTypeInfo) module.explorerBarTypeInfo->Release();
        if (module.viewClass) UnregisterClassW(MAKEINTRESOURCEW(module.viewClass), module.instance);
        module.activation.Release();
        if (module.oleInitialized) OleUninitialize();
    }
    module.explorerBarTypeInfo = nullptr;
    module.viewClass = 0;
    module.oleInitialized = false;
    DeleteCriticalSection(&module.lock);
}

std::string ModulePath() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(Module().instance, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::string(path, length);
}

HRESULT ExplorerBarTypeInfo(LCID locale, ITypeInfo** typeInfo) {
    *typeInfo = nullptr;
    ModuleState& module = Module();
    EnterCriticalSection(&module.lock);
    HRESULT result = S_OK;
    if (!module.explorerBarTypeInfo) {
        ITypeLib* library = nullptr;
        result = LoadRegTypeLib(kTypeLibraryGuid, kTypeLibraryMajor, kTypeLibraryMinor, locale, &library);
        if (SUCCEEDED(result)) {
            result = library->GetTypeInfoOfGuid(kExplorerBarIid, &module.explorerBarTypeInfo);
            library->Release();
        }
    }
    if (module.explorerBarTypeInfo) {
        *typeInfo = module.explorerBarTypeInfo;
        (*typeInfo)->AddRef();
    }
    LeaveCriticalSection(&module.lock);
    return result;
}

}  // namespace qm
