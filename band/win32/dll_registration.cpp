// DllRegisterServer and DllUnregisterServer: the registry table, the type
// library, the cached band lists and the component category.
#include <comcat.h>
#include <oleauto.h>
#include <windows.h>
#include <wrl/client.h>

#include <string>

#include "band/registration.h"
#include "band/win32/activation_context.h"
#include "band/win32/explorer_bar.h"
#include "band/win32/module.h"
#include "platform/win32/win32_registry.h"

using Microsoft::WRL::ComPtr;

namespace qm {
namespace {

std::wstring Wide(const std::string& text) {
    if (text.empty()) return {};
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

// The type library from the DLL's own resources, or else from the .tlb
// beside it; the path it came from is returned with it.
HRESULT LoadOwnTypeLibrary(const std::string& modulePath, ComPtr<ITypeLib>& library, std::wstring& path) {
    path = Wide(modulePath);
    HRESULT result = LoadTypeLib(path.c_str(), &library);
    if (FAILED(result)) {
        path = Wide(TypeLibFallbackPath(modulePath));
        result = LoadTypeLib(path.c_str(), &library);
    }
    return result;
}

HRESULT RegisterTypeLibrary(const std::string& modulePath) {
    ComPtr<ITypeLib> library;
    std::wstring path;
    const HRESULT loaded = LoadOwnTypeLibrary(modulePath, library, path);
    if (FAILED(loaded)) return loaded;
    std::wstring helpDirectory = Wide(TypeLibHelpDirectory(modulePath));
    return RegisterTypeLib(library.Get(), path.data(), helpDirectory.empty() ? nullptr : helpDirectory.data());
}

HRESULT UnregisterTypeLibrary(const std::string& modulePath) {
    if (modulePath.empty()) return E_FAIL;
    ComPtr<ITypeLib> library;
    std::wstring path;
    const HRESULT loaded = LoadOwnTypeLibrary(modulePath, library, path);
    if (FAILED(loaded)) return loaded;
    TLIBATTR* attributes = nullptr;
    const HRESULT read = library->GetLibAttr(&attributes);
    if (FAILED(read)) return read;
    const TLIBATTR copy = *attributes;
    library->ReleaseTLibAttr(attributes);

    using UnregisterFunction = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);
    HMODULE oleaut = nullptr;
    {
        ActivationScope scope(ModuleActivation());
        oleaut = LoadLibraryA("oleaut32.dll");
    }
    if (!oleaut) return HRESULT_FROM_WIN32(GetLastError());
    const auto unregister = reinterpret_cast<UnregisterFunction>(
        reinterpret_cast<void*>(GetProcAddress(oleaut, "UnRegisterTypeLib")));
    const HRESULT result =
        unregister ? unregister(copy.guid, copy.wMajorVerNum, copy.wMinorVerNum, copy.lcid, copy.syskind)
                   : E_FAIL;
    FreeLibrary(oleaut);
    return result;
}

// Registers or removes the band's one component category.
HRESULT UpdateCategory(bool add) {
    HRESULT result = CoInitialize(nullptr);
    const bool initialized = SUCCEEDED(result);
    {
        ComPtr<ICatRegister> categories;
        result = CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(&categories));
        if (SUCCEEDED(result)) {
            CATID category = kCommBandCategory;
            result = add ? categories->RegisterClassImplCategories(kBandClassGuid, 1, &category)
                         : categories->UnRegisterClassImplCategories(kBandClassGuid, 1, &category);
        }
    }
    if (initialized) CoUninitialize();
    return result;
}

ServerSteps Steps(const std::string& modulePath) {
    return ServerSteps{[&modulePath] { return RegisterTypeLibrary(modulePath); },
                       [&modulePath] { return UnregisterTypeLibrary(modulePath); }, &UpdateCategory};
}

}  // namespace
}  // namespace qm

extern "C" HRESULT __stdcall DllRegisterServer() {
    const std::string modulePath = qm::ModulePath();
    if (modulePath.empty()) return E_FAIL;
    qm::Win32Registry registry;
    return qm::RegisterServer(registry, modulePath, qm::Steps(modulePath));
}

extern "C" HRESULT __stdcall DllUnregisterServer() {
    const std::string modulePath = qm::ModulePath();
    qm::Win32Registry registry;
    return qm::UnregisterServer(registry, qm::Steps(modulePath));
}
