// DllRegisterServer and DllUnregisterServer: the registry table, the type
// library, the cached band lists and the component category.
#include <comcat.h>
#include <oleauto.h>
#include <shlwapi.h>
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

void RegisterTypeLibrary(const std::string& modulePath) {
    ComPtr<ITypeLib> library;
    std::wstring path;
    if (FAILED(LoadOwnTypeLibrary(modulePath, library, path))) return;
    std::wstring helpDirectory = Wide(TypeLibHelpDirectory(modulePath));
    RegisterTypeLib(library.Get(), path.data(), helpDirectory.empty() ? nullptr : helpDirectory.data());
}

void UnregisterTypeLibrary(const std::string& modulePath) {
    ComPtr<ITypeLib> library;
    std::wstring path;
    if (FAILED(LoadOwnTypeLibrary(modulePath, library, path))) return;
    TLIBATTR* attributes = nullptr;
    if (FAILED(library->GetLibAttr(&attributes))) return;
    const TLIBATTR copy = *attributes;
    library->ReleaseTLibAttr(attributes);

    using UnregisterFunction = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);
    HMODULE oleaut = nullptr;
    {
        ActivationScope scope(Module().activation);
        oleaut = LoadLibraryA("oleaut32.dll");
    }
    if (!oleaut) return;
    const auto unregister = reinterpret_cast<UnregisterFunction>(
        reinterpret_cast<void*>(GetProcAddress(oleaut, "UnRegisterTypeLib")));
    if (unregister) unregister(copy.guid, copy.wMajorVerNum, copy.wMinorVerNum, copy.lcid, copy.syskind);
    FreeLibrary(oleaut);
}

constexpr char kCategoryListKey[] =
    "CLSID\\{5A1C0E42-7B3D-4F19-9C2E-61D4A8B7E305}\\Implemented "
    "Categories\\{00021494-0000-0000-C000-000000000046}";

void RemoveCachedBandLists() {
    for (const CachedBandList& list : CachedBandLists()) {
        const HKEY root = list.root == RegistryRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_CLASSES_ROOT;
        const std::string key(list.key);
        SHDeleteKeyA(root, key.c_str());
    }
}

// Registers or removes the band's one component category.
HRESULT UpdateCategory(bool add) {
    // Unregistration removed the class key, and with it the category list,
    // before this step: a category no longer listed needs no removal (the
    // category manager would fail on the missing key).
    if (!add && !Win32Registry().Open(RegistryRoot::ClassesRoot, kCategoryListKey)) return S_OK;
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

}  // namespace
}  // namespace qm

extern "C" HRESULT __stdcall DllRegisterServer() {
    const std::string modulePath = qm::ModulePath();
    if (modulePath.empty()) return E_FAIL;
    qm::Win32Registry registry;
    qm::RegisterBandKeys(registry, modulePath);
    qm::RegisterTypeLibrary(modulePath);
    qm::RemoveCachedBandLists();
    return qm::UpdateCategory(true);
}

extern "C" HRESULT __stdcall DllUnregisterServer() {
    const std::string modulePath = qm::ModulePath();
    qm::Win32Registry registry;
    qm::UnregisterBandKeys(registry);
    if (!modulePath.empty()) qm::UnregisterTypeLibrary(modulePath);
    const HRESULT result = qm::UpdateCategory(false);
    qm::RemoveOldClassKey(registry);
    return result;
}
