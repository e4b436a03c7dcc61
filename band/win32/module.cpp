#include "band/win32/module.h"

#include <commctrl.h>

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
    module.instance = instance;
    module.bandClass = ClassEntry{&kBandClassGuid, nullptr};
    DisableThreadLibraryCalls(instance);
}

void DetachModule(bool processExiting) {
    if (processExiting) return;
    ModuleState& module = Module();
    // The factory and the cached type information are our own objects or
    // oleaut32's, which outlives this DLL; releasing them loads nothing.
    if (module.bandClass.factory) ReleaseClassFactory(module.bandClass.factory);
    module.bandClass.factory = nullptr;
    if (module.explorerBarTypeInfo) module.explorerBarTypeInfo->Release();
    module.explorerBarTypeInfo = nullptr;
    if (module.viewClass) UnregisterClassW(MAKEINTRESOURCEW(module.viewClass), module.instance);
    module.viewClass = 0;
    module.activation.Release();
    module.systemReady = false;
}

const ActivationContext& ModuleActivation() {
    ModuleState& module = Module();
    const std::lock_guard<std::mutex> guard(module.lock);
    if (!module.systemReady) {
        module.systemReady = true;
        module.activation.Create(module.instance, IDR_QM_MANIFEST);
        ActivationScope scope(module.activation);
        INITCOMMONCONTROLSEX controls = {};
        controls.dwSize = sizeof(controls);
        controls.dwICC = ICC_BAR_CLASSES | ICC_COOL_CLASSES;
        InitCommonControlsEx(&controls);
    }
    return module.activation;
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
    const std::lock_guard<std::mutex> guard(module.lock);
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
    return result;
}

}  // namespace qm
