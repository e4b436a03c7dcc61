#include "platform/win32/win32_registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace qm {
namespace {

constexpr std::string_view kTestRoot = "Software\\QuillmereTests";
constexpr std::string_view kTestKey = "Software\\QuillmereTests\\Registry";

class Win32RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }

    void Clean() {
        registry_.DeleteTree(RegistryRoot::CurrentUser, kTestRoot);
    }

    Win32Registry registry_;
};

TEST_F(Win32RegistryTest, ValuesComeBackWithTheirTypeAndBytes) {
    auto key = registry_.Create(RegistryRoot::CurrentUser, kTestKey);
    ASSERT_NE(key, nullptr);
    ASSERT_TRUE(key->WriteDword("Number", 0x01020304));
    ASSERT_TRUE(key->WriteString("Text", "hello"));
    ASSERT_TRUE(key->Write("Bytes", RegistryValue{RegistryType::Binary, std::string("a\0b", 3)}));
    ASSERT_TRUE(key->Write("Multi", RegistryValue{RegistryType::MultiString, std::string("x\0yz\0\0", 6)}));

    // Another handle sees what the first wrote.
    auto reopened = registry_.Open(RegistryRoot::CurrentUser, kTestKey);
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(reopened->ReadDword("Number"), 0x01020304u);
    const struct {
        const char* name;
        RegistryType type;
        std::string data;
    } cases[] = {
        {"Text", RegistryType::String, std::string("hello\0", 6)},
        {"Bytes", RegistryType::Binary, std::string("a\0b", 3)},
        {"Multi", RegistryType::MultiString, std::string("x\0yz\0\0", 6)},
    };
    for (const auto& row : cases) {
        const auto value = reopened->Read(row.name, kUnlimitedBuffer);
        ASSERT_TRUE(value.has_value()) << row.name;
        EXPECT_EQ(value->type, row.type) << row.name;
        EXPECT_EQ(value->data, row.data) << row.name;
    }
    EXPECT_FALSE(reopened->Read("Missing", kUnlimitedBuffer).has_value());
}

TEST_F(Win32RegistryTest, ValueLargerThanTheBufferIsNotRead) {
    auto key = registry_.Create(RegistryRoot::CurrentUser, kTestKey);
    ASSERT_NE(key, nullptr);
    ASSERT_TRUE(key->WriteString("Text", "1234567"));  // 8 bytes with its NUL

    EXPECT_EQ(key->ReadString("Text", 8), "1234567");
    EXPECT_FALSE(key->ReadString("Text", 7).has_value());
    EXPECT_FALSE(key->Read("Text", 0).has_value());
    // A DWORD read takes any value of at most 4 bytes, whatever its type.
    ASSERT_TRUE(key->WriteString("Short", "7"));
    EXPECT_EQ(key->ReadDword("Short"), 0x37u);
    EXPECT_FALSE(key->ReadDword("Text").has_value());

    // Any size for an unlimited read. A large limit is still a limit, also
    // past the size up to which reads go straight into a buffer.
    const std::string big((3u << 20) / 2, 'b');
    ASSERT_TRUE(key->Write("Big", RegistryValue{RegistryType::Binary, big}));
    const auto whole = key->Read("Big", kUnlimitedBuffer);
    ASSERT_TRUE(whole.has_value());
    EXPECT_EQ(whole->data, big);
    EXPECT_FALSE(key->Read("Big", big.size() - 1).has_value());
    EXPECT_TRUE(key->Read("Big", big.size()).has_value());
    EXPECT_FALSE(key->Read("Big", 1000).has_value());
}

TEST_F(Win32RegistryTest, NamesDeletionsAndTrees) {
    auto key = registry_.Create(RegistryRoot::CurrentUser, kTestKey);
    ASSERT_NE(key, nullptr);
    key->WriteDword("One", 1);
    key->WriteDword("Two", 2);
    ASSERT_NE(registry_.Create(RegistryRoot::CurrentUser, std::string(kTestKey) + "\\Child\\Grandchild"),
              nullptr);
    ASSERT_NE(registry_.Create(RegistryRoot::CurrentUser, std::string(kTestKey) + "\\Other"), nullptr);

    auto values = key->ValueNames();
    std::sort(values.begin(), values.end());
    EXPECT_EQ(values, (std::vector<std::string>{"One", "Two"}));
    auto subkeys = key->SubkeyNames();
    std::sort(subkeys.begin(), subkeys.end());
    EXPECT_EQ(subkeys, (std::vector<std::string>{"Child", "Other"}));

    EXPECT_TRUE(key->DeleteValue("One"));
    EXPECT_FALSE(key->DeleteValue("One"));
    EXPECT_EQ(key->ValueNames(), (std::vector<std::string>{"Two"}));

    // Key names compare without case, as the settings' create spelling needs.
    EXPECT_NE(registry_.Open(RegistryRoot::CurrentUser, "SOFTWARE\\quillmeretests\\REGISTRY\\other"),
              nullptr);
    EXPECT_TRUE(registry_.DeleteKey(RegistryRoot::CurrentUser, std::string(kTestKey) + "\\Other"));
    EXPECT_FALSE(registry_.DeleteKey(RegistryRoot::CurrentUser, std::string(kTestKey) + "\\Child"))
        << "a key with subkeys is only deleted as a tree";
    EXPECT_TRUE(registry_.DeleteTree(RegistryRoot::CurrentUser, kTestKey));
    EXPECT_EQ(registry_.Open(RegistryRoot::CurrentUser, kTestKey), nullptr);
    EXPECT_NE(registry_.Open(RegistryRoot::CurrentUser, kTestRoot), nullptr);
}

TEST_F(Win32RegistryTest, NamesThatWouldReachFurtherAreRefused) {
    auto key = registry_.Create(RegistryRoot::CurrentUser, kTestKey);
    ASSERT_NE(key, nullptr);
    key->WriteDword("Value", 1);

    // An empty path is the root itself.
    EXPECT_FALSE(registry_.DeleteTree(RegistryRoot::CurrentUser, ""));
    EXPECT_FALSE(registry_.DeleteKey(RegistryRoot::CurrentUser, ""));
    // A NUL would cut the path to its parent, or the value name to another.
    const std::string withNul = std::string(kTestRoot) + std::string("\0\\Registry", 10);
    EXPECT_FALSE(registry_.DeleteTree(RegistryRoot::CurrentUser, withNul));
    EXPECT_EQ(registry_.Open(RegistryRoot::CurrentUser, withNul), nullptr);
    EXPECT_EQ(registry_.Create(RegistryRoot::CurrentUser, withNul), nullptr);
    EXPECT_FALSE(key->DeleteValue(std::string_view("Value\0x", 7)));
    EXPECT_FALSE(key->WriteDword(std::string_view("Value\0x", 7), 2));
    EXPECT_FALSE(key->Read(std::string_view("Value\0x", 7), kUnlimitedBuffer).has_value());

    EXPECT_EQ(key->ReadDword("Value"), 1u);
    EXPECT_NE(registry_.Open(RegistryRoot::CurrentUser, kTestKey), nullptr);
}

}  // namespace
}  // namespace qm
