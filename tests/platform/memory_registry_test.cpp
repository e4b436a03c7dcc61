#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"

namespace qm {
namespace {

using ::testing::ElementsAre;

constexpr RegistryRoot kUser = RegistryRoot::CurrentUser;

TEST(MemoryRegistryTest, KeyNamesCompareWithoutCaseAndKeepTheirSpelling) {
    MemoryRegistry registry;
    auto created = registry.Create(kUser, "Software\\QMPlugins\\Quillmere");
    ASSERT_TRUE(created);
    ASSERT_TRUE(created->WriteDword("Confirm", 1));

    auto opened = registry.Open(kUser, "SOFTWARE\\qmplugins\\QUILLMERE");
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->ReadDword("confirm"), 1u);

    // Creating again under another spelling opens the same key.
    auto again = registry.Create(kUser, "software\\QMPLUGINS\\quillmere");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->ReadDword("CONFIRM"), 1u);

    auto software = registry.Open(kUser, "software");
    ASSERT_TRUE(software);
    EXPECT_THAT(software->SubkeyNames(), ElementsAre("QMPlugins"));
}

TEST(MemoryRegistryTest, RootsAreSeparateTrees) {
    MemoryRegistry registry;
    ASSERT_TRUE(registry.Create(RegistryRoot::LocalMachine, "SYSTEM\\Setup"));
    EXPECT_FALSE(registry.Open(kUser, "SYSTEM\\Setup"));
    EXPECT_FALSE(registry.Open(RegistryRoot::ClassesRoot, "SYSTEM"));
    EXPECT_TRUE(registry.Open(RegistryRoot::LocalMachine, "system\\setup"));
    EXPECT_FALSE(registry.Open(static_cast<RegistryRoot>(7), ""));
}

TEST(MemoryRegistryTest, OpenFailsForMissingKeysAndCreateMakesParents) {
    MemoryRegistry registry;
    EXPECT_FALSE(registry.Open(kUser, "A"));
    ASSERT_TRUE(registry.Create(kUser, "A\\B\\C"));
    EXPECT_TRUE(registry.Open(kUser, "A"));
    EXPECT_TRUE(registry.Open(kUser, "A\\B"));
    EXPECT_TRUE(registry.Open(kUser, "A\\B\\C\\"));  // a trailing separator is allowed
    EXPECT_FALSE(registry.Open(kUser, "A\\B\\C\\D"));
    EXPECT_FALSE(registry.Open(kUser, "A\\\\B"));
    EXPECT_FALSE(registry.Create(kUser, "\\A"));
    EXPECT_FALSE(registry.Create(kUser, std::string(256, 'k')));
    EXPECT_TRUE(registry.Create(kUser, std::string(255, 'k')));
}

TEST(MemoryRegistryTest, CreateCanBeMadeToFail) {
    MemoryRegistry registry;
    ASSERT_TRUE(registry.Create(kUser, "Existing"));
    registry.SetCreateFails(true);
    EXPECT_FALSE(registry.Create(kUser, "New"));
    EXPECT_FALSE(registry.Create(kUser, "Existing"));
    EXPECT_TRUE(registry.Open(kUser, "Existing"));
    EXPECT_FALSE(registry.Open(kUser, "New"));
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

TEST(MemoryRegistryTest, ReadFailsWhenTheDataDoesNotFitTheBuffer) {
    MemoryRegistry registry;
    auto key = registry.Create(kUser, "K");
    ASSERT_TRUE(key);
    ASSERT_TRUE(key->WriteString("Fits", std::string(31, 'x')));
    ASSERT_TRUE(key->WriteString("TooLong", std::string(32, 'x')));
    EXPECT_EQ(key->ReadString("Fits", 32), std::string(31, 'x'));
    EXPECT_FALSE(key->ReadString("TooLong", 32));  // 32 characters and the NUL need 33 bytes
    EXPECT_EQ(key->ReadString("TooLong", 33), std::string(32, 'x'));

    auto raw = key->Read("Fits", kUnlimitedBuffer);
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->type, RegistryType::String);
    EXPECT_EQ(raw->data.size(), 32u);
    EXPECT_FALSE(key->Read("Missing", kUnlimitedBuffer));
}

TEST(MemoryRegistryTest, TypedReadsTakeWhateverTheValueHolds) {
    MemoryRegistry registry;
    auto key = registry.Create(kUser, "K");
    ASSERT_TRUE(key);
    ASSERT_TRUE(key->WriteDword("Number", 0x01020304));
    auto raw = key->Read("Number", 4);
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->type, RegistryType::Dword);
    EXPECT_EQ(raw->data, std::string("\x04\x03\x02\x01", 4));

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

TEST(MemoryRegistryTest, ValuesKeepCreationOrderAndFirstSpelling) {
    MemoryRegistry registry;
    auto key = registry.Create(kUser, "K");
    ASSERT_TRUE(key);
    key->WriteDword("Zeta", 1);
    key->WriteDword("alpha", 2);
    key->WriteString("", "default");
    key->WriteDword("ZETA", 3);  // replaces Zeta in place
    EXPECT_THAT(key->ValueNames(), ElementsAre("Zeta", "alpha", ""));
    EXPECT_EQ(key->ReadDword("zeta"), 3u);
    EXPECT_EQ(key->ReadString("", 260), "default");

    EXPECT_TRUE(key->DeleteValue("ALPHA"));
    EXPECT_FALSE(key->DeleteValue("alpha"));
    EXPECT_THAT(key->ValueNames(), ElementsAre("Zeta", ""));
}

TEST(MemoryRegistryTest, SubkeysListInCaseInsensitiveOrder) {
    MemoryRegistry registry;
    for (const char* name : {"b", "_x", "C", "a"})
        ASSERT_TRUE(registry.Create(kUser, std::string("P\\") + name));
    auto parent = registry.Open(kUser, "P");
    ASSERT_TRUE(parent);
    EXPECT_THAT(parent->SubkeyNames(), ElementsAre("a", "b", "C", "_x"));
}

TEST(MemoryRegistryTest, DeleteKeyRefusesKeysWithSubkeys) {
    MemoryRegistry registry;
    ASSERT_TRUE(registry.Create(kUser, "A\\B"));
    EXPECT_FALSE(registry.DeleteKey(kUser, "A"));
    EXPECT_TRUE(registry.Open(kUser, "A\\B"));
    EXPECT_TRUE(registry.DeleteKey(kUser, "a\\b"));
    EXPECT_FALSE(registry.DeleteKey(kUser, "A\\B"));
    EXPECT_TRUE(registry.DeleteKey(kUser, "A"));
    EXPECT_FALSE(registry.Open(kUser, "A"));
    EXPECT_FALSE(registry.DeleteKey(kUser, ""));  // a root stays
    EXPECT_FALSE(registry.DeleteTree(kUser, ""));
}

TEST(MemoryRegistryTest, DeleteTreeRemovesEverythingBelowAndNothingBeside) {
    MemoryRegistry registry;
    ASSERT_TRUE(registry.Create(kUser, "Root\\Gone\\Deep\\Deeper"));
    ASSERT_TRUE(registry.Create(kUser, "Root\\Kept"));
    auto gone = registry.Open(kUser, "Root\\Gone");
    ASSERT_TRUE(gone);
    gone->WriteDword("v", 1);

    EXPECT_TRUE(registry.DeleteTree(kUser, "ROOT\\gone"));
    EXPECT_FALSE(registry.Open(kUser, "Root\\Gone"));
    EXPECT_FALSE(registry.Open(kUser, "Root\\Gone\\Deep"));
    EXPECT_TRUE(registry.Open(kUser, "Root\\Kept"));
    EXPECT_FALSE(registry.DeleteTree(kUser, "Root\\Gone"));

    // A key made again under the old name starts empty.
    auto fresh = registry.Create(kUser, "Root\\Gone");
    ASSERT_TRUE(fresh);
    EXPECT_TRUE(fresh->ValueNames().empty());
    EXPECT_TRUE(fresh->SubkeyNames().empty());
}

TEST(MemoryRegistryTest, HandleToADeletedKeyStaysSafeAndFails) {
    MemoryRegistry registry;
    auto parent = registry.Create(kUser, "Parent");
    auto child = registry.Create(kUser, "Parent\\Child");
    ASSERT_TRUE(parent && child);
    child->WriteDword("v", 7);

    ASSERT_TRUE(registry.DeleteTree(kUser, "Parent"));
    for (RegistryKey* key : {parent.get(), child.get()}) {
        EXPECT_FALSE(key->Read("v", kUnlimitedBuffer));
        EXPECT_FALSE(key->WriteDword("v", 1));
        EXPECT_FALSE(key->DeleteValue("v"));
        EXPECT_TRUE(key->ValueNames().empty());
        EXPECT_TRUE(key->SubkeyNames().empty());
    }
    // Writing through the stale handle did not bring the key back.
    EXPECT_FALSE(registry.Open(kUser, "Parent"));
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
