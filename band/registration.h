// The registry entries of the band: ProgIDs, the class key, and the
// browser's toolbar-button extension key. One table says what registration
// writes; unregistration removes every key of it that is not kept.
//
// Keys are written in table order. A "force" key is deleted with its whole
// subtree before it is written, so registering twice leaves one set; a
// "keep" key (shared ones such as CLSID) is never deleted.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "platform/registry.h"
#include "platform/types.h"

namespace qm {

enum class KeyRule { Plain, Force, Keep };

struct RegistrationEntry {
    RegistryRoot root;
    std::string_view key;
    KeyRule rule;
    // A value to write in the key; none when valueName is absent and data
    // empty. An empty value name is the key's default value.
    bool hasValue;
    std::string_view valueName;
    std::string_view data;  // "%MODULE%" stands for the DLL's full path
};

inline constexpr std::string_view kBandClassId = "{5A1C0E42-7B3D-4F19-9C2E-61D4A8B7E305}";
inline constexpr std::string_view kTypeLibraryId = "{9E27B4C1-3A58-4D06-B1F7-2C8D5E9A0B16}";
inline constexpr std::string_view kButtonExtensionId = "{C4F81A03-6D2E-4B97-8E15-7A3B0C9D2F48}";
// The band's component category, as the category manager lists it under
// the class key at registration.
inline constexpr std::string_view kBandCategoryKey =
    "CLSID\\{5A1C0E42-7B3D-4F19-9C2E-61D4A8B7E305}\\Implemented "
    "Categories\\{00021494-0000-0000-C000-000000000046}";
// An earlier class of the product, removed on unregistration only.
inline constexpr std::string_view kOldClassKey = "CLSID\\{9296957D-7896-47CC-BD35-0DB5D9B31C3F}";

std::span<const RegistrationEntry> RegistrationTable();

// The entry's data with the module path put in. The path is written as it
// is: the value is data, not a script, so nothing in it is escaped.
std::string ExpandRegistrationData(std::string_view data, std::string_view modulePath);

// Both report whether every step succeeded. A key that is not there is no
// failure at removal; one the user may not remove is.
bool RegisterBandKeys(Registry& registry, std::string_view modulePath);
bool UnregisterBandKeys(Registry& registry);

// Removes the class key of the earlier product with everything under it.
// Missing is no failure.
bool RemoveOldClassKey(Registry& registry);

// Registry keys where the browser caches its enumeration of bands; removed
// at registration so that the browser enumerates them afresh. Missing is
// no failure.
struct CachedBandList {
    RegistryRoot root;
    std::string_view key;
};
std::span<const CachedBandList> CachedBandLists();
bool RemoveCachedBandLists(Registry& registry);

// What self-registration asks of COM beside the registry: the type library
// and the band's component category. Each answers an HRESULT.
struct ServerSteps {
    std::function<HResult()> registerTypeLibrary;
    std::function<HResult()> unregisterTypeLibrary;
    std::function<HResult(bool add)> updateCategory;
};

// Self-registration's own failure codes.
inline constexpr HResult kSELFREG_E_TYPELIB = static_cast<HResult>(0x80040200u);
inline constexpr HResult kSELFREG_E_CLASS = static_cast<HResult>(0x80040201u);

// DllRegisterServer: the keys of the table, the type library, the cached
// band lists, the component category. DllUnregisterServer: the keys, the
// type library and the category where they are registered, the earlier
// product's class key. Every step runs; the answer is S_OK only when all
// succeeded, else the first failure: SELFREG_E_CLASS for registry keys that
// could not be written or removed, SELFREG_E_TYPELIB for a type library
// registration the registry refuses to show, a step's own code otherwise.
// So regsvr32 tells a user without the rights that nothing was done.
HResult RegisterServer(Registry& registry, std::string_view modulePath, const ServerSteps& steps);
HResult UnregisterServer(Registry& registry, const ServerSteps& steps);

// Type library paths: the help folder is the module path cut after its last
// "\", "/" or ":" (empty when it has none); the fallback library sits beside
// the module with the extension ".tlb".
std::string TypeLibHelpDirectory(std::string_view modulePath);
std::string TypeLibFallbackPath(std::string_view modulePath);

}  // namespace qm
