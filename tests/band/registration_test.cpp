#include "band/registration.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"
#include "tests/band/registry_dump.h"

namespace qm {
namespace {

constexpr char kModule[] = "C:\\Program Files\\Quillmere\\Quillmere.dll";
constexpr char kClassKey[] = "CLSID\\{5A1C0E42-7B3D-4F19-9C2E-61D4A8B7E305}";
constexpr char kExtensionKey[] =
    "Software\\Microsoft\\Internet Explorer\\Extensions\\{C4F81A03-6D2E-4B97-8E15-7A3B0C9D2F48}";

std::set<std::string> ExpectedClassKey(const std::string& module) {
    const std::string k = kClassKey;
    return {
        k,
        k + "|=Quillmere",
        k + "\\ProgID",
        k + "\\ProgID|=Quillmere.ExplorerBar.1",
        k + "\\VersionIndependentProgID",
        k + "\\VersionIndependentProgID|=Quillmere.ExplorerBar",
        k + "\\Programmable",
        k + "\\InprocServer32",
        k + "\\InprocServer32|=" + module,
        k + "\\InprocServer32|ThreadingModel=Apartment",
        k + "\\TypeLib",
        k + "\\TypeLib|={9E27B4C1-3A58-4D06-B1F7-2C8D5E9A0B16}",
    };
}

std::set<std::string> ExpectedExtensionKey(const std::string& module) {
    const std::string k = kExtensionKey;
    return {
        k,
        k + "|ButtonText=Quillmere",
        k + "|Icon=" + module + ",801",
        k + "|HotIcon=" + module + ",802",
        k + "|CLSID={E0DD6CAB-2D10-11D2-8F1A-0000F87ABD16}",
        k + "|BandCLSID={5A1C0E42-7B3D-4F19-9C2E-61D4A8B7E305}",
    };
}

std::set<std::string> ExpectedProgIds() {
    return {
        "Quillmere.ExplorerBar.1",
        "Quillmere.ExplorerBar.1|=Quillmere",
        "Quillmere.ExplorerBar.1\\CLSID",
        "Quillmere.ExplorerBar.1\\CLSID|={5A1C0E42-7B3D-4F19-9C2E-61D4A8B7E305}",
    };
}

class RegistrationTest : public ::testing::Test {
protected:
    std::set<std::string> ClassesTree(const std::string& key) {
        return DumpTree(registry_, RegistryRoot::ClassesRoot, key);
    }
    std::set<std::string> MachineTree(const std::string& key) {
        return DumpTree(registry_, RegistryRoot::LocalMachine, key);
    }

    MemoryRegistry registry_;
};

TEST_F(RegistrationTest, WritesExactlyTheTable) {
    ASSERT_TRUE(RegisterBandKeys(registry_, kModule));
    EXPECT_EQ(ClassesTree(kClassKey), ExpectedClassKey(kModule));
    EXPECT_EQ(MachineTree(kExtensionKey), ExpectedExtensionKey(kModule));
    EXPECT_EQ(ClassesTree("Quillmere.ExplorerBar.1"), ExpectedProgIds());
    EXPECT_EQ(
        ClassesTree("Quillmere.ExplorerBar"),
        (std::set<std::string>{
            "Quillmere.ExplorerBar", "Quillmere.ExplorerBar|=Quillmere", "Quillmere.ExplorerBar\\CLSID",
            "Quillmere.ExplorerBar\\CLSID|={5A1C0E42-7B3D-4F19-9C2E-61D4A8B7E305}",
            "Quillmere.ExplorerBar\\CurVer", "Quillmere.ExplorerBar\\CurVer|=Quillmere.ExplorerBar.1"}));
}

TEST_F(RegistrationTest, RegisteringTwiceLeavesOneSetAndDropsStaleEntries) {
    ASSERT_TRUE(RegisterBandKeys(registry_, "C:\\old\\Quillmere.dll"));
    // Leftovers of an older version inside the rewritten keys.
    registry_.Create(RegistryRoot::ClassesRoot, std::string(kClassKey) + "\\Stale");
    registry_.Create(RegistryRoot::LocalMachine, kExtensionKey)->WriteString("MenuText", "old");
    registry_.Create(RegistryRoot::ClassesRoot, std::string(kClassKey) + "\\Programmable\\Old");

    ASSERT_TRUE(RegisterBandKeys(registry_, kModule));
    EXPECT_EQ(ClassesTree(kClassKey), ExpectedClassKey(kModule));
    EXPECT_EQ(MachineTree(kExtensionKey), ExpectedExtensionKey(kModule));
}

TEST_F(RegistrationTest, WritesAModulePathWithApostrophesAsItIs) {
    const std::string module = "C:\\Bob's Tools\\Quillmere.dll";
    ASSERT_TRUE(RegisterBandKeys(registry_, module));
    EXPECT_EQ(ClassesTree(kClassKey), ExpectedClassKey(module));
    EXPECT_EQ(MachineTree(kExtensionKey), ExpectedExtensionKey(module));
}

TEST_F(RegistrationTest, UnregistrationRemovesItsKeysAndKeepsSharedOnes) {
    registry_.Create(RegistryRoot::ClassesRoot, "CLSID\\{00000000-1111-2222-3333-444444444444}");
    registry_.Create(RegistryRoot::LocalMachine,
                     "Software\\Microsoft\\Internet Explorer\\Extensions\\{Other}");
    ASSERT_TRUE(RegisterBandKeys(registry_, kModule));

    ASSERT_TRUE(UnregisterBandKeys(registry_));
    EXPECT_TRUE(ClassesTree(kClassKey).empty());
    EXPECT_TRUE(ClassesTree("Quillmere.ExplorerBar").empty());
    EXPECT_TRUE(ClassesTree("Quillmere.ExplorerBar.1").empty());
    EXPECT_TRUE(MachineTree(kExtensionKey).empty());
    EXPECT_NE(registry_.Open(RegistryRoot::ClassesRoot, "CLSID\\{00000000-1111-2222-3333-444444444444}"),
              nullptr);
    EXPECT_NE(registry_.Open(RegistryRoot::LocalMachine,
                             "Software\\Microsoft\\Internet Explorer\\Extensions\\{Other}"),
              nullptr);

    // Nothing left to remove is no failure.
    EXPECT_TRUE(UnregisterBandKeys(registry_));
}

TEST_F(RegistrationTest, RemovesTheOldClassKeyWithItsSubkeys) {
    registry_.Create(RegistryRoot::ClassesRoot, std::string(kOldClassKey) + "\\InprocServer32")
        ->WriteString("", "C:\\old.dll");
    EXPECT_TRUE(RemoveOldClassKey(registry_));
    EXPECT_EQ(registry_.Open(RegistryRoot::ClassesRoot, kOldClassKey), nullptr);
    EXPECT_NE(registry_.Open(RegistryRoot::ClassesRoot, "CLSID"), nullptr);
    EXPECT_TRUE(RemoveOldClassKey(registry_));  // missing: nothing happens
}

// The whole of DllRegisterServer and DllUnregisterServer on a registry that
// holds the band's keys or not, and refuses some of them to the user.
TEST(ServerRegistrationTest, AnswersSuccessOnlyWhenEveryStepDidItsPart) {
    constexpr HResult kTypeLibraryFailed = static_cast<HResult>(0x8002801Cu);  // TYPE_E_REGISTRYACCESS
    constexpr char kTypeLibraryKey[] = "TypeLib\\{9E27B4C1-3A58-4D06-B1F7-2C8D5E9A0B16}";
    const std::string categoryList = std::string(kClassKey) +
                                     "\\Implemented Categories\\{00021494-0000-0000-C000-000000000046}";
    const std::string cachedList = std::string(CachedBandLists()[0].key);
    struct Case {
        const char* name;
        bool registeredBefore;
        RegistryRoot refusedRoot;
        std::string refused;   // empty: nothing is refused
        HResult registered;    // what registration answers
        HResult unregistered;  // then unregistration
        bool keysLeft;         // the class key after both
    };
    const Case cases[] = {
        {"nothing there before", false, RegistryRoot::ClassesRoot, "", kS_OK, kS_OK, false},
        {"registered before", true, RegistryRoot::ClassesRoot, "", kS_OK, kS_OK, false},
        {"class key refused", true, RegistryRoot::ClassesRoot, kClassKey, kSELFREG_E_CLASS,
         kSELFREG_E_CLASS, true},
        {"extension key refused", false, RegistryRoot::LocalMachine, kExtensionKey, kSELFREG_E_CLASS,
         kSELFREG_E_CLASS, false},
        {"cached band list refused", false, RegistryRoot::CurrentUser, cachedList, kSELFREG_E_CLASS,
         kS_OK, false},
        {"type library refused", true, RegistryRoot::ClassesRoot, kTypeLibraryKey, kTypeLibraryFailed,
         kSELFREG_E_TYPELIB, false},
        {"category list refused", true, RegistryRoot::ClassesRoot, categoryList, kSELFREG_E_CLASS,
         kSELFREG_E_CLASS, true},
        {"old class key refused", false, RegistryRoot::ClassesRoot, std::string(kOldClassKey), kS_OK,
         kSELFREG_E_CLASS, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryRegistry registry;
        std::vector<std::string> steps;
        // The COM steps write or remove their keys as the system's do.
        const ServerSteps com{
            [&] {
                steps.push_back("register type library");
                return registry.Create(RegistryRoot::ClassesRoot, kTypeLibraryKey) ? kS_OK : kTypeLibraryFailed;
            },
            [&] {
                steps.push_back("unregister type library");
                return registry.DeleteTree(RegistryRoot::ClassesRoot, kTypeLibraryKey) ? kS_OK : kE_FAIL;
            },
            [&](bool add) {
                steps.push_back(add ? "add category" : "remove category");
                if (!add) return registry.DeleteTree(RegistryRoot::ClassesRoot, categoryList) ? kS_OK : kE_FAIL;
                return registry.Create(RegistryRoot::ClassesRoot, categoryList) ? kS_OK : kE_FAIL;
            }};
        registry.Create(RegistryRoot::ClassesRoot, std::string(kOldClassKey) + "\\InprocServer32");
        if (c.registeredBefore) {
            ASSERT_EQ(RegisterServer(registry, kModule, com), kS_OK);
            steps.clear();
        }
        if (!c.refused.empty()) registry.Refuse(c.refusedRoot, c.refused);

        EXPECT_EQ(RegisterServer(registry, kModule, com), c.registered);
        EXPECT_EQ(steps, (std::vector<std::string>{"register type library", "add category"}))
            << "every step runs";
        EXPECT_EQ(UnregisterServer(registry, com), c.unregistered);
        EXPECT_EQ(registry.Probe(RegistryRoot::ClassesRoot, kClassKey) != Registry::KeyState::Absent,
                  c.keysLeft);
        // Absent keys are no failure: once all is gone, all is well.
        if (c.refused.empty()) {
            EXPECT_EQ(UnregisterServer(registry, com), kS_OK);
        }
    }
}

TEST(RegistrationDataTest, PutsTheModuleInEveryPlaceholder) {
    EXPECT_EQ(ExpandRegistrationData("%MODULE%,801", "C:\\q.dll"), "C:\\q.dll,801");
    EXPECT_EQ(ExpandRegistrationData("%MODULE%|%MODULE%", "a"), "a|a");
    EXPECT_EQ(ExpandRegistrationData("Apartment", "C:\\q.dll"), "Apartment");
    // A path that itself looks like a placeholder is not expanded again.
    EXPECT_EQ(ExpandRegistrationData("%MODULE%", "%MODULE%x"), "%MODULE%x");
}

TEST(TypeLibPathTest, HelpDirectoryEndsAtTheLastSeparator) {
    EXPECT_EQ(TypeLibHelpDirectory("C:\\Band\\Quillmere.dll"), "C:\\Band\\");
    EXPECT_EQ(TypeLibHelpDirectory("C:/Band/sub\\Quillmere.dll"), "C:/Band/sub\\");
    EXPECT_EQ(TypeLibHelpDirectory("C:Quillmere.dll"), "C:");
    EXPECT_EQ(TypeLibHelpDirectory("Quillmere.dll"), "");
}

TEST(TypeLibPathTest, FallbackReplacesOnlyTheFileExtension) {
    EXPECT_EQ(TypeLibFallbackPath("C:\\Band\\Quillmere.dll"), "C:\\Band\\Quillmere.tlb");
    EXPECT_EQ(TypeLibFallbackPath("C:\\v1.2\\Quillmere"), "C:\\v1.2\\Quillmere.tlb");
    EXPECT_EQ(TypeLibFallbackPath("Quillmere"), "Quillmere.tlb");
}

}  // namespace
}  // namespace qm
