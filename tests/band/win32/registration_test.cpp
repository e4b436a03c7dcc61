#include <gtest/gtest.h>

#include <string>

#include "platform/win32/win32_registry.h"
#include "tests/band/registry_dump.h"
#include "tests/band/win32/band_dll.h"

namespace qm::test {
namespace {

constexpr char kClassKey[] = "CLSID\\{5A1C0E42-7B3D-4F19-9C2E-61D4A8B7E305}";
constexpr char kExtensionKey[] =
    "Software\\Microsoft\\Internet Explorer\\Extensions\\{C4F81A03-6D2E-4B97-8E15-7A3B0C9D2F48}";
constexpr char kTypeLibKey[] = "TypeLib\\{9E27B4C1-3A58-4D06-B1F7-2C8D5E9A0B16}";
constexpr char kOldClassKey[] = "CLSID\\{9296957D-7896-47CC-BD35-0DB5D9B31C3F}";
constexpr char kCachedBands[] = "Component Categories\\{00021492-0000-0000-C000-000000000046}\\Enum";

std::string NarrowDllPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(Dll().module, path, MAX_PATH);
    return path;
}

class DllRegistrationTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(Dll().module, nullptr); }
    void TearDown() override { Dll().unregisterServer(); }

    std::set<std::string> Classes(const std::string& key) {
        return DumpTree(registry_, RegistryRoot::ClassesRoot, key);
    }
    std::set<std::string> Machine(const std::string& key) {
        return DumpTree(registry_, RegistryRoot::LocalMachine, key);
    }

    Win32Registry registry_;
};

TEST_F(DllRegistrationTest, WritesExactlyTheTableIntoTheRegistry) {
    ASSERT_EQ(Dll().registerServer(), S_OK);
    const std::string module = NarrowDllPath();
    const std::string k = kClassKey;
    const std::string category = k + "\\Implemented Categories";
    EXPECT_EQ(Classes(kClassKey), (std::set<std::string>{
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
                                      category,
                                      category + "\\{00021494-0000-0000-C000-000000000046}",
                                  }));
    const std::string e = kExtensionKey;
    EXPECT_EQ(Machine(kExtensionKey), (std::set<std::string>{
                                          e,
                                          e + "|ButtonText=Quillmere",
                                          e + "|Icon=" + module + ",801",
                                          e + "|HotIcon=" + module + ",802",
                                          e + "|CLSID={E0DD6CAB-2D10-11D2-8F1A-0000F87ABD16}",
                                          e + "|BandCLSID={5A1C0E42-7B3D-4F19-9C2E-61D4A8B7E305}",
                                      }));
    EXPECT_EQ(Classes("Quillmere.ExplorerBar.1").size(), 4u);
    EXPECT_EQ(Classes("Quillmere.ExplorerBar").size(), 6u);
    EXPECT_TRUE(Classes(kTypeLibKey).count(std::string(kTypeLibKey) + "\\1.0|=Quillmere 1.0 Type Library"));
}

TEST_F(DllRegistrationTest, RegistrationDropsTheCachedBandLists) {
    registry_.Create(RegistryRoot::ClassesRoot, std::string(kCachedBands) + "\\Implementations");
    ASSERT_EQ(Dll().registerServer(), S_OK);
    EXPECT_EQ(registry_.Open(RegistryRoot::ClassesRoot, kCachedBands), nullptr);
}

TEST_F(DllRegistrationTest, UnregistrationRemovesTheKeysAndKeepsClsid) {
    registry_.Create(RegistryRoot::ClassesRoot, std::string(kOldClassKey) + "\\InprocServer32");
    ASSERT_EQ(Dll().registerServer(), S_OK);
    ASSERT_EQ(Dll().unregisterServer(), S_OK);
    EXPECT_TRUE(Classes(kClassKey).empty());
    EXPECT_TRUE(Classes("Quillmere.ExplorerBar").empty());
    EXPECT_TRUE(Classes("Quillmere.ExplorerBar.1").empty());
    EXPECT_TRUE(Machine(kExtensionKey).empty());
    EXPECT_TRUE(Classes(kTypeLibKey).empty());
    EXPECT_TRUE(Classes(kOldClassKey).empty());
    EXPECT_NE(registry_.Open(RegistryRoot::ClassesRoot, "CLSID"), nullptr);
    EXPECT_NE(
        registry_.Open(RegistryRoot::LocalMachine, "Software\\Microsoft\\Internet Explorer\\Extensions"),
        nullptr);

    // Unregistering what is not registered succeeds too.
    EXPECT_EQ(Dll().unregisterServer(), S_OK);
}

}  // namespace
}  // namespace qm::test
