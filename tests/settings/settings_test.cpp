#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"
#include "settings/settings.h"

namespace qm {
namespace {

std::unique_ptr<RegistryKey> Key(MemoryRegistry& registry, bool lowIntegrity) {
    return registry.Create(RegistryRoot::CurrentUser,
                           lowIntegrity ? kLowIntegritySettingsPath : kClassicSettingsPath);
}

TEST(SettingsLoad, WithoutAKeyConfirmsAndUsesTheDefaultTemplate) {
    MemoryRegistry registry;
    Settings settings(true);
    settings.Load(registry);
    EXPECT_TRUE(settings.confirm());
    EXPECT_EQ(settings.dateTemplate(), "dd.MM.yyyy");
}

TEST(SettingsLoad, AppliesTheSeparatorToTheStoredOrDefaultTemplate) {
    MemoryRegistry registry;
    auto key = Key(registry, false);
    key->WriteString("Separator", "/");
    Settings settings(false);
    settings.Load(registry);
    EXPECT_EQ(settings.dateTemplate(), "dd/MM/yyyy");

    key->WriteString("DateTemplate", "yyyy.MM.dd");
    key->WriteString("Separator", "-");
    settings.Load(registry);
    EXPECT_EQ(settings.dateTemplate(), "yyyy-MM-dd");

    key->WriteString("Separator", " - ");
    settings.Load(registry);
    EXPECT_EQ(settings.dateTemplate(), "yyyy - MM - dd");
}

TEST(SettingsLoad, AnyNonzeroDisableConfirmationTurnsQuestionsOff) {
    MemoryRegistry registry;
    auto key = Key(registry, true);
    Settings settings(true);
    for (uint32_t value : {1u, 5u, 0xFFFFFFFFu}) {
        key->WriteDword("DisableConfirmation", value);
        settings.Load(registry);
        EXPECT_FALSE(settings.confirm()) << value;
    }
    key->WriteDword("DisableConfirmation", 0);
    settings.Load(registry);
    EXPECT_TRUE(settings.confirm());
}

TEST(SettingsLoad, ValuesThatDoNotFitTheirBuffersCountAsAbsent) {
    MemoryRegistry registry;
    auto key = Key(registry, true);
    key->WriteString("DateTemplate", std::string(32, 'd'));
    key->WriteString("Separator", "12345678");
    // A DWORD read takes at most 4 bytes; eight bytes do not fit.
    key->Write("DisableConfirmation", RegistryValue{RegistryType::Binary, std::string(8, '\1')});
    Settings settings(true);
    settings.Load(registry);
    EXPECT_EQ(settings.dateTemplate(), "dd.MM.yyyy");
    EXPECT_TRUE(settings.confirm());

    key->WriteString("DateTemplate", std::string(31, 'd'));
    key->WriteString("Separator", "1234567");
    settings.Load(registry);
    EXPECT_EQ(settings.dateTemplate(), std::string(31, 'd'));
}

TEST(SettingsLoad, TypeIsNotCheckedWhenReading) {
    MemoryRegistry registry;
    auto key = Key(registry, true);
    // A string "1" stored where a DWORD belongs still reads as nonzero.
    key->WriteString("DisableConfirmation", "1");
    Settings settings(true);
    settings.Load(registry);
    EXPECT_FALSE(settings.confirm());
}

TEST(SettingsLoad, EveryLoadStartsFromTheDefaults) {
    MemoryRegistry registry;
    auto key = Key(registry, true);
    key->WriteString("DateTemplate", "yy.MM.dd");
    key->WriteDword("DisableConfirmation", 1);
    Settings settings(true);
    settings.Load(registry);
    ASSERT_EQ(settings.dateTemplate(), "yy.MM.dd");
    key.reset();
    registry.DeleteTree(RegistryRoot::CurrentUser, kLowIntegritySettingsPath);
    settings.Load(registry);
    EXPECT_EQ(settings.dateTemplate(), "dd.MM.yyyy");
    EXPECT_TRUE(settings.confirm());
}

TEST(SettingsKey, VersionSixAndAboveUseTheLowIntegrityKeyAndTheTwoNeverMix) {
    MemoryOsVersion os;
    os.SetMajorVersion(5);
    EXPECT_FALSE(UsesLowIntegrityKey(os));
    os.SetMajorVersion(std::nullopt);
    EXPECT_FALSE(UsesLowIntegrityKey(os));
    os.SetMajorVersion(6);
    EXPECT_TRUE(UsesLowIntegrityKey(os));
    os.SetMajorVersion(10);
    EXPECT_TRUE(UsesLowIntegrityKey(os));

    MemoryRegistry registry;
    ASSERT_TRUE(WriteOptions(registry, /*lowIntegrity=*/false, true, "d.M.yy", "/"));
    EXPECT_TRUE(registry.Open(RegistryRoot::CurrentUser, "Software\\QMPlugins\\Quillmere"));
    EXPECT_FALSE(registry.Open(RegistryRoot::CurrentUser, kLowIntegritySettingsPath));

    Settings modern(true);
    modern.Load(registry);
    EXPECT_TRUE(modern.confirm());
    EXPECT_EQ(modern.dateTemplate(), "dd.MM.yyyy");
    Settings classic(false);
    classic.Load(registry);
    EXPECT_FALSE(classic.confirm());
    EXPECT_EQ(classic.dateTemplate(), "d/M/yy");
}

TEST(SettingsKey, OpenOrCreateReusesAnExistingKeyAndReportsWhenItCannotCreate) {
    MemoryRegistry registry;
    Key(registry, false)->WriteString("LastSearch", "kept");
    auto key = OpenOrCreateSettingsKey(registry, false);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->ReadString("LastSearch", 260), "kept");

    registry.SetCreateFails(true);
    EXPECT_FALSE(OpenOrCreateSettingsKey(registry, true));
    EXPECT_FALSE(WriteOptions(registry, true, false, "dd.MM.yyyy", "."));
    EXPECT_FALSE(WriteFindOptions(registry, true, FindOptions{}));
}

TEST(SettingsDialogs, OptionsAndFindValuesRoundTrip) {
    MemoryRegistry registry;
    ASSERT_TRUE(WriteOptions(registry, true, true, "yyyy.MM.dd", "-"));
    OptionsValues options = ReadOptions(registry, true);
    EXPECT_TRUE(options.disableConfirmation);
    EXPECT_EQ(options.dateTemplate, "yyyy.MM.dd");
    EXPECT_EQ(options.separator, "-");
    auto key = OpenSettingsKey(registry, true);
    ASSERT_TRUE(key);
    auto stored = key->Read("DateTemplate", kUnlimitedBuffer);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->type, RegistryType::String);
    EXPECT_EQ(stored->data, std::string("yyyy.MM.dd\0", 11));  // the terminator is stored

    FindOptions find;
    find.wholeWord = true;
    find.searchValues = true;
    find.lastSearch = std::string(300, 'x');  // longer than the box can hold back
    ASSERT_TRUE(WriteFindOptions(registry, true, find));
    FindOptions read = ReadFindOptions(registry, true);
    EXPECT_TRUE(read.wholeWord);
    EXPECT_FALSE(read.matchCase);
    EXPECT_FALSE(read.searchNames);
    EXPECT_TRUE(read.searchValues);
    EXPECT_EQ(read.lastSearch, std::string(259, 'x'));
}

TEST(SettingsDialogs, ConfirmationIsOnUnlessTheValueIsReadAndNonzero) {
    MemoryRegistry registry;
    EXPECT_TRUE(ReadConfirmation(nullptr));
    auto key = Key(registry, true);
    EXPECT_TRUE(ReadConfirmation(key.get()));
    key->WriteDword("DisableConfirmation", 0);
    EXPECT_TRUE(ReadConfirmation(key.get()));
    key->WriteDword("DisableConfirmation", 2);
    EXPECT_FALSE(ReadConfirmation(key.get()));
}

}  // namespace
}  // namespace qm
