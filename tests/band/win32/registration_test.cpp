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
constexpr char kOtherExtension[] =
    "Software\\Microsoft\\Internet Explorer\\Extensions\\{0F0E0D0C-0B0A-0908-0706-050403020100}";

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

// Which keys and values make the table is decided natively on the memory
// registry; here the real registry takes them, gives them back, and keeps
// the keys that are not the band's.
TEST_F(DllRegistrationTest, RegisterWritesTheKeysAndUnregisterRemovesOnlyThose) {
    ASSERT_NE(registry_.Create(RegistryRoot::LocalMachine, kOtherExtension), nullptr);
    ASSERT_EQ(Dll().registerServer(), S_OK);
    const std::string k = kClassKey;
    EXPECT_EQ(Classes(k + "\\InprocServer32"), (std::set<std::string>{
                                                   k + "\\InprocServer32",
                                                   k + "\\InprocServer32|=" + NarrowDllPath(),
                                                   k + "\\InprocServer32|ThreadingModel=Apartment",
                                               }));
    EXPECT_EQ(Classes("Quillmere.ExplorerBar.1").size(), 4u);
    EXPECT_EQ(Machine(kExtensionKey).size(), 6u);
    EXPECT_TRUE(Classes(kTypeLibKey).count(std::string(kTypeLibKey) + "\\1.0|=Quillmere 1.0 Type Library"));

    ASSERT_EQ(Dll().unregisterServer(), S_OK);
    for (const char* key : {kClassKey, "Quillmere.ExplorerBar", "Quillmere.ExplorerBar.1", kTypeLibKey})
        EXPECT_TRUE(Classes(key).empty()) << key;
    EXPECT_TRUE(Machine(kExtensionKey).empty());
    EXPECT_NE(registry_.Open(RegistryRoot::ClassesRoot, "CLSID"), nullptr);
    EXPECT_NE(registry_.Open(RegistryRoot::LocalMachine, kOtherExtension), nullptr) << "another's extension";
    registry_.DeleteKey(RegistryRoot::LocalMachine, kOtherExtension);
    EXPECT_EQ(Dll().unregisterServer(), S_OK) << "unregistering what is not registered succeeds too";
}

}  // namespace
}  // namespace qm::test
