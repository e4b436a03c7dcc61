#include "band/registration.h"

#include <array>

namespace qm {
namespace {

constexpr RegistryRoot kClasses = RegistryRoot::ClassesRoot;
constexpr RegistryRoot kMachine = RegistryRoot::LocalMachine;
constexpr std::string_view kModule = "%MODULE%";

constexpr RegistrationEntry Key(RegistryRoot root, std::string_view key, KeyRule rule) {
    return {root, key, rule, false, {}, {}};
}
constexpr RegistrationEntry Value(RegistryRoot root, std::string_view key, KeyRule rule,
                                  std::string_view name, std::string_view data) {
    return {root, key, rule, true, name, data};
}

#define QM_CLASS_KEY "CLSID\\{5A1C0E42-7B3D-4F19-9C2E-61D4A8B7E305}"
#define QM_EXTENSION_KEY \
    "Software\\Microsoft\\Internet Explorer\\Extensions\\{C4F81A03-6D2E-4B97-8E15-7A3B0C9D2F48}"

constexpr std::array kTable = {
    Value(kClasses, "Quillmere.ExplorerBar.1", KeyRule::Plain, "", "Quillmere"),
    Value(kClasses, "Quillmere.ExplorerBar.1\\CLSID", KeyRule::Plain, "", kBandClassId),
    Value(kClasses, "Quillmere.ExplorerBar", KeyRule::Plain, "", "Quillmere"),
    Value(kClasses, "Quillmere.ExplorerBar\\CLSID", KeyRule::Plain, "", kBandClassId),
    Value(kClasses, "Quillmere.ExplorerBar\\CurVer", KeyRule::Plain, "", "Quillmere.ExplorerBar.1"),
    Key(kClasses, "CLSID", KeyRule::Keep),
    Value(kClasses, QM_CLASS_KEY, KeyRule::Force, "", "Quillmere"),
    Value(kClasses, QM_CLASS_KEY "\\ProgID", KeyRule::Plain, "", "Quillmere.ExplorerBar.1"),
    Value(kClasses, QM_CLASS_KEY "\\VersionIndependentProgID", KeyRule::Plain, "", "Quillmere.ExplorerBar"),
    Key(kClasses, QM_CLASS_KEY "\\Programmable", KeyRule::Force),
    Value(kClasses, QM_CLASS_KEY "\\InprocServer32", KeyRule::Plain, "", kModule),
    Value(kClasses, QM_CLASS_KEY "\\InprocServer32", KeyRule::Plain, "ThreadingModel", "Apartment"),
    Value(kClasses, QM_CLASS_KEY "\\TypeLib", KeyRule::Plain, "", kTypeLibraryId),
    Key(kMachine, "Software", KeyRule::Keep),
    Key(kMachine, "Software\\Microsoft", KeyRule::Keep),
    Key(kMachine, "Software\\Microsoft\\Internet Explorer", KeyRule::Keep),
    Key(kMachine, "Software\\Microsoft\\Internet Explorer\\Extensions", KeyRule::Keep),
    Value(kMachine, QM_EXTENSION_KEY, KeyRule::Force, "ButtonText", "Quillmere"),
    Value(kMachine, QM_EXTENSION_KEY, KeyRule::Plain, "Icon", "%MODULE%,801"),
    Value(kMachine, QM_EXTENSION_KEY, KeyRule::Plain, "HotIcon", "%MODULE%,802"),
    // The browser's own class for toolbar buttons that open an Explorer Bar.
    Value(kMachine, QM_EXTENSION_KEY, KeyRule::Plain, "CLSID", "{E0DD6CAB-2D10-11D2-8F1A-0000F87ABD16}"),
    Value(kMachine, QM_EXTENSION_KEY, KeyRule::Plain, "BandCLSID", kBandClassId),
};

#undef QM_CLASS_KEY
#undef QM_EXTENSION_KEY

constexpr std::array kCachedBandLists = {
    CachedBandList{
        RegistryRoot::CurrentUser,
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Discardable\\PostSetup\\Component "
        "Categories\\{00021493-0000-0000-C000-000000000046}\\Enum"},
    CachedBandList{
        RegistryRoot::CurrentUser,
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Discardable\\PostSetup\\Component "
        "Categories\\{00021494-0000-0000-C000-000000000046}\\Enum"},
    CachedBandList{RegistryRoot::ClassesRoot,
                   "Component Categories\\{00021492-0000-0000-C000-000000000046}\\Enum"},
};

// The registration of the type library, and the band's category list: what
// unregistration has to undo, when it is there.
constexpr std::string_view kTypeLibraryKey = "TypeLib\\{9E27B4C1-3A58-4D06-B1F7-2C8D5E9A0B16}";

// Runs a step only where the registry shows something for it to undo: a
// key that is not there is already undone, one the user may not open is a
// failure.
HResult UndoWhereRegistered(Registry& registry, RegistryRoot root, std::string_view key, HResult refused,
                            const std::function<HResult()>& step) {
    switch (registry.Probe(root, key)) {
        case Registry::KeyState::Absent:
            return kS_OK;
        case Registry::KeyState::Refused:
            return refused;
        case Registry::KeyState::Present:
            break;
    }
    return step();
}

// Deletes a key with its subtree; a key that is not there is already gone.
bool RemoveTree(Registry& registry, RegistryRoot root, std::string_view key) {
    return Succeeded(UndoWhereRegistered(registry, root, key, kSELFREG_E_CLASS, [&] {
        return registry.DeleteTree(root, key) ? kS_OK : kSELFREG_E_CLASS;
    }));
}

// Keeps the first failure.
void Note(HResult& result, HResult step) {
    if (Succeeded(result) && Failed(step)) result = step;
}

std::size_t LastSeparator(std::string_view path) {
    return path.find_last_of("\\/:");
}

}  // namespace

std::span<const RegistrationEntry> RegistrationTable() {
    return kTable;
}

std::span<const CachedBandList> CachedBandLists() {
    return kCachedBandLists;
}

std::string ExpandRegistrationData(std::string_view data, std::string_view modulePath) {
    std::string result;
    std::size_t start = 0;
    for (std::size_t at = data.find(kModule); at != std::string_view::npos; at = data.find(kModule, start)) {
        result.append(data.substr(start, at - start));
        result.append(modulePath);
        start = at + kModule.size();
    }
    result.append(data.substr(start));
    return result;
}

bool RegisterBandKeys(Registry& registry, std::string_view modulePath) {
    bool allWritten = true;
    for (const RegistrationEntry& entry : kTable) {
        if (entry.rule == KeyRule::Force && !RemoveTree(registry, entry.root, entry.key)) allWritten = false;
        const auto key = registry.Create(entry.root, entry.key);
        if (!key) {
            allWritten = false;
            continue;
        }
        if (entry.hasValue &&
            !key->WriteString(entry.valueName, ExpandRegistrationData(entry.data, modulePath))) {
            allWritten = false;
        }
    }
    return allWritten;
}

bool UnregisterBandKeys(Registry& registry) {
    bool allRemoved = true;
    for (const RegistrationEntry& entry : kTable) {
        if (entry.rule == KeyRule::Keep) continue;
        if (!RemoveTree(registry, entry.root, entry.key)) allRemoved = false;
    }
    return allRemoved;
}

bool RemoveOldClassKey(Registry& registry) {
    // The old class key holds subkeys of its own (its server, its ProgIDs);
    // a plain key deletion would refuse it and leave it behind.
    return RemoveTree(registry, RegistryRoot::ClassesRoot, kOldClassKey);
}

bool RemoveCachedBandLists(Registry& registry) {
    bool allRemoved = true;
    for (const CachedBandList& list : kCachedBandLists)
        if (!RemoveTree(registry, list.root, list.key)) allRemoved = false;
    return allRemoved;
}

HResult RegisterServer(Registry& registry, std::string_view modulePath, const ServerSteps& steps) {
    HResult result = kS_OK;
    Note(result, RegisterBandKeys(registry, modulePath) ? kS_OK : kSELFREG_E_CLASS);
    Note(result, steps.registerTypeLibrary());
    Note(result, RemoveCachedBandLists(registry) ? kS_OK : kSELFREG_E_CLASS);
    Note(result, steps.updateCategory(true));
    return result;
}

HResult UnregisterServer(Registry& registry, const ServerSteps& steps) {
    HResult result = kS_OK;
    Note(result, UnregisterBandKeys(registry) ? kS_OK : kSELFREG_E_CLASS);
    Note(result, UndoWhereRegistered(registry, RegistryRoot::ClassesRoot, kTypeLibraryKey, kSELFREG_E_TYPELIB,
                                     steps.unregisterTypeLibrary));
    // The class key went with the keys above, and the category list with
    // it; the category manager fails on a list that is no longer there.
    Note(result, UndoWhereRegistered(registry, RegistryRoot::ClassesRoot, kBandCategoryKey, kSELFREG_E_CLASS,
                                     [&steps] { return steps.updateCategory(false); }));
    Note(result, RemoveOldClassKey(registry) ? kS_OK : kSELFREG_E_CLASS);
    return result;
}

std::string TypeLibHelpDirectory(std::string_view modulePath) {
    const std::size_t separator = LastSeparator(modulePath);
    if (separator == std::string_view::npos) return {};
    return std::string(modulePath.substr(0, separator + 1));
}

std::string TypeLibFallbackPath(std::string_view modulePath) {
    const std::size_t separator = LastSeparator(modulePath);
    const std::size_t nameStart = separator == std::string_view::npos ? 0 : separator + 1;
    const std::size_t dot = modulePath.find_last_of('.');
    const std::size_t stemEnd = dot != std::string_view::npos && dot >= nameStart ? dot : modulePath.size();
    return std::string(modulePath.substr(0, stemEnd)) + ".tlb";
}

}  // namespace qm
