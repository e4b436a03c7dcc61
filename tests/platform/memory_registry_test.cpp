#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"

namespace qm {
namespace {

using ::testing::ElementsAre;

constexpr RegistryRoot kUser = RegistryRoot::CurrentUser;

TEST(MemoryRegistryTest, KeyPathsCompareWithoutCaseKeepTheirSpellingAndMakeTheirParents) {
    MemoryRegistry registry;
    ASSERT_TRUE(registry.Create(kUser, "Software\\QMPlugins\\Quillmere")->WriteDword("Confirm", 1));
    EXPECT_EQ(registry.Open(kUser, "SOFTWARE\\qmplugins\\QUILLMERE")->ReadDword("confirm"), 1u);
    EXPECT_EQ(registry.Create(kUser, "software\\QMPLUGINS\\quillmere")->ReadDword("CONFIRM"), 1u);
    EXPECT_THAT(registry.Open(kUser, "software")->SubkeyNames(), ElementsAre("QMPlugins"));
    ASSERT_TRUE(registry.Create(RegistryRoot::LocalMachine, "A\\B\\C"));
    ASSERT_TRUE(registry.Create(kUser, std::string(255, 'k')));

    struct Case {
        RegistryRoot root;
        std::string path;
        bool opens;
    };
    const Case cases[] = {
        {RegistryRoot::LocalMachine, "a", true},
        {RegistryRoot::LocalMachine, "A\\b", true},
        {RegistryRoot::LocalMachine, "A\\B\\C\\", true},  // a trailing separator is allowed
        {RegistryRoot::LocalMachine, "A\\B\\C\\D", false},
        {RegistryRoot::LocalMachine, "A\\\\B", false},
        {kUser, "A", false},  // roots are separate trees
        {RegistryRoot::ClassesRoot, "A", false},
        {static_cast<RegistryRoot>(7), "", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(registry.Open(c.root, c.path) != nullptr, c.opens) << static_cast<int>(c.root) << c.path;
    EXPECT_FALSE(registry.Create(kUser, "\\A"));
    EXPECT_FALSE(registry.Create(kUser, std::string(256, 'k')));

    registry.SetCreateFails(true);
    EXPECT_FALSE(registry.Create(kUser, "New"));
    EXPECT_FALSE(registry.Create(kUser, "Software"));
    EXPECT_TRUE(registry.Open(kUser, "Software"));
}

TEST(MemoryRegistryTest, RefusedKeysAreToldFromAbsentOnes) {
    using State = Registry::KeyState;
    MemoryRegistry registry;
    ASSERT_TRUE(registry.Create(kUser, "Top\\Locked\\Inner"));
    ASSERT_TRUE(registry.Create(kUser, "Top\\Open"));
    registry.Refuse(kUser, "top\\LOCKED");
    EXPECT_EQ(registry.Probe(kUser, "Top\\Open"), State::Present);
    EXPECT_EQ(registry.Probe(kUser, "Top\\Missing"), State::Absent);
    EXPECT_EQ(registry.Probe(kUser, "Top\\Locked"), State::Refused);
    EXPECT_EQ(registry.Probe(kUser, "Top\\Locked\\Inner"), State::Refused);
    EXPECT_EQ(registry.Probe(RegistryRoot::LocalMachine, "Top\\Locked"), State::Absent) << "another root";
    EXPECT_FALSE(registry.Open(kUser, "Top\\Locked"));
    EXPECT_FALSE(registry.Create(kUser, "Top\\Locked\\New"));
    EXPECT_FALSE(registry.DeleteTree(kUser, "Top\\Locked"));
    EXPECT_FALSE(registry.DeleteTree(kUser, "Top")) << "a tree that holds a refused key";
    EXPECT_TRUE(registry.DeleteTree(kUser, "Top\\Open"));
    registry.Refuse(kUser, "Top\\Missing");
    EXPECT_EQ(registry.Probe(kUser, "Top\\Missing"), State::Refused) << "refused before it is looked for";
}

TEST(MemoryRegistryTest, ReadsTakeWhatFitsTheBufferWhateverTheStoredType) {
    MemoryRegistry registry;
    auto key = registry.Create(kUser, "K");
    ASSERT_TRUE(key);
    ASSERT_TRUE(key->WriteString("TooLong", std::string(32, 'x')));
    EXPECT_FALSE(key->ReadString("TooLong", 32));  // 32 characters and the NUL need 33 bytes
    EXPECT_EQ(key->ReadString("TooLong", 33), std::string(32, 'x'));
    auto raw = key->Read("TooLong", kUnlimitedBuffer);
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->type, RegistryType::String);
    EXPECT_EQ(raw->data.size(), 33u);
    EXPECT_FALSE(key->Read("Missing", kUnlimitedBuffer));

    ASSERT_TRUE(key->WriteDword("Number", 0x01020304));
    EXPECT_EQ(key->Read("Number", 4)->data, std::string("\x04\x03\x02\x01", 4));
    // A short binary value reads as a DWORD padded with zeros; a longer one
    // does not fit the four bytes.
    ASSERT_TRUE(key->Write("Short", RegistryValue{RegistryType::Binary, std::string("\x7f\x01", 2)}));
    EXPECT_EQ(key->ReadDword("Short"), 0x017Fu);
    ASSERT_TRUE(key->Write("Long", RegistryValue{RegistryType::Binary, std::string(5, '\x01')}));
    EXPECT_FALSE(key->ReadDword("Long"));
    // A string read stops at the first NUL, whatever the stored type.
    ASSERT_TRUE(
        key->Write("Multi", RegistryValue{RegistryType::MultiString, std::string("one\0two\0\0", 9)}));
    EXPECT_EQ(key->ReadString("Multi", 260), "one");
    ASSERT_TRUE(key->Write("Unterminated", RegistryValue{RegistryType::String, "abc"}));
    EXPECT_EQ(key->ReadString("Unterminated", 3), "abc");
}

TEST(MemoryRegistryTest, ValuesKeepCreationOrderAndSubkeysListWithoutCase) {
    MemoryRegistry registry;
    auto key = registry.Create(kUser, "K");
    ASSERT_TRUE(key);
    key->WriteDword("Zeta", 1);
    key->WriteDword("alpha", 2);
    key->WriteString("", "default");
    key->WriteDword("ZETA", 3);  // replaces Zeta in place
    EXPECT_THAT(key->ValueNames(), ElementsAre("Zeta", "alpha", ""));
    EXPECT_EQ(key->ReadDword("zeta"), 3u);
    EXPECT_TRUE(key->DeleteValue("ALPHA"));
    EXPECT_FALSE(key->DeleteValue("alpha"));
    EXPECT_THAT(key->ValueNames(), ElementsAre("Zeta", ""));

    for (const char* name : {"b", "_x", "C", "a"})
        ASSERT_TRUE(registry.Create(kUser, std::string("K\\") + name));
    EXPECT_THAT(key->SubkeyNames(), ElementsAre("a", "b", "C", "_x"));
}

TEST(MemoryRegistryTest, DeleteKeyRefusesKeysWithSubkeysAndDeleteTreeTakesAllBelow) {
    MemoryRegistry registry;
    ASSERT_TRUE(registry.Create(kUser, "A\\B"));
    EXPECT_FALSE(registry.DeleteKey(kUser, "A"));
    EXPECT_TRUE(registry.DeleteKey(kUser, "a\\b"));
    EXPECT_FALSE(registry.DeleteKey(kUser, "A\\B"));
    EXPECT_TRUE(registry.DeleteKey(kUser, "A"));
    EXPECT_FALSE(registry.Open(kUser, "A"));
    EXPECT_FALSE(registry.DeleteKey(kUser, ""));  // a root stays
    EXPECT_FALSE(registry.DeleteTree(kUser, ""));

    ASSERT_TRUE(registry.Create(kUser, "Root\\Gone\\Deep\\Deeper"));
    ASSERT_TRUE(registry.Create(kUser, "Root\\Kept"));
    auto gone = registry.Open(kUser, "Root\\Gone");
    auto deep = registry.Open(kUser, "Root\\Gone\\Deep");
    ASSERT_TRUE(gone && deep);
    deep->WriteDword("v", 7);
    EXPECT_TRUE(registry.DeleteTree(kUser, "ROOT\\gone"));
    EXPECT_FALSE(registry.Open(kUser, "Root\\Gone\\Deep"));
    EXPECT_TRUE(registry.Open(kUser, "Root\\Kept"));
    EXPECT_FALSE(registry.DeleteTree(kUser, "Root\\Gone"));

    // Handles to deleted keys stay safe and fail, and bring nothing back.
    for (RegistryKey* key : {gone.get(), deep.get()}) {
        EXPECT_FALSE(key->Read("v", kUnlimitedBuffer));
        EXPECT_FALSE(key->WriteDword("v", 1));
        EXPECT_FALSE(key->DeleteValue("v"));
        EXPECT_TRUE(key->ValueNames().empty());
        EXPECT_TRUE(key->SubkeyNames().empty());
    }
    EXPECT_FALSE(registry.Open(kUser, "Root\\Gone"));
    // A key made again under the old name starts empty.
    auto fresh = registry.Create(kUser, "Root\\Gone");
    ASSERT_TRUE(fresh);
    EXPECT_TRUE(fresh->SubkeyNames().empty());
}

TEST(MemoryRegistryTest, HandleMayOutliveTheRegistry) {
    std::unique_ptr<RegistryKey> key;
    {
        MemoryRegistry registry;
        key = registry.Create(kUser, "K");
        ASSERT_TRUE(key);
        key->WriteDword("v", 5);
    }
    EXPECT_EQ(key->ReadDword("v"), 5u);
}

}  // namespace
}  // namespace qm
