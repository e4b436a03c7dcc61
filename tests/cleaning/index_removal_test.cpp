#include "cleaning/index_removal.h"

#include <gtest/gtest.h>

#include "tests/cleaning/cleaning_test_support.h"

namespace qm {
namespace {

using test::TempFolder;
using namespace std::string_literals;

// The list's units from ASCII text (the test folders' paths are ASCII).
std::u16string Units(std::string_view text) {
    return std::u16string(text.begin(), text.end());
}

std::optional<std::u16string> Pending(MemoryPlatform& memory) {
    auto key = memory.registry.Open(RegistryRoot::LocalMachine, kSessionManagerKey);
    if (!key) return std::nullopt;
    return key->ReadMultiStringUtf16(kPendingFileRenameOperations);
}

void SetPending(MemoryPlatform& memory, std::string_view data) {
    memory.registry.Create(RegistryRoot::LocalMachine, kSessionManagerKey)
        ->WriteMultiStringUtf16(kPendingFileRenameOperations, Units(data));
}

std::unique_ptr<RegistryKey> RunOnce(MemoryPlatform& memory) {
    return memory.registry.Open(RegistryRoot::CurrentUser, kRunOnceKey);
}

// The three stores in a temporary home, with the index files given.
struct Stores {
    TempFolder home;
    explicit Stores(MemoryPlatform& memory) {
        memory.shell.SetSpecialFolder(SpecialFolder::History, home / "History");
        memory.shell.SetSpecialFolder(SpecialFolder::Cookies, home / "Cookies");
        memory.shell.SetSpecialFolder(SpecialFolder::InternetCache, home / "Cache");
    }
};

TEST(IndexRemovalAtLogon, OnlyTheCheckedBoxesKeepARunOnceCommand) {
    MemoryPlatform memory;
    memory.osVersion.SetMajorVersion(5);
    TempFolder bin;
    const std::string dll = bin.MakeFile("Quillmere.dll");
    auto key = memory.registry.Create(RegistryRoot::CurrentUser, kRunOnceKey);
    key->WriteString("DeleteHistoryIndex", "earlier");
    key->WriteString("DeleteCacheIndex", "earlier");
    key->WriteString("OtherProgram", "setup.exe /finish");

    ScheduleIndexRemoval(memory, IndexBoxes{false, true, false}, dll);
    EXPECT_EQ(key->ValueNames(), (std::vector<std::string>{"OtherProgram", "DeleteCookieIndex"}));
    auto command = key->Read("DeleteCookieIndex", kUnlimitedBuffer);
    ASSERT_TRUE(command);
    EXPECT_EQ(command->type, RegistryType::String);
    EXPECT_EQ(command->data, "rundll32 " + bin.path() + "\\Purgelet.dll,DeleteCookieIndex" + "\0"s);
    EXPECT_FALSE(Pending(memory));  // this generation has no delayed deletions

    EXPECT_EQ(PresetIndexBoxes(memory), (IndexBoxes{false, true, false}));
}

TEST(IndexRemovalAtLogon, MakesTheKeyWhenMissingAndQuotesAFolderWithABlank) {
    MemoryPlatform memory;
    memory.osVersion.SetMajorVersion(std::nullopt);  // unknown counts as the older generation
    TempFolder bin;
    const std::string dll = bin.MakeFile("Program Files\\Quillmere.dll");
    EXPECT_EQ(PresetIndexBoxes(memory), IndexBoxes{});

    ScheduleIndexRemoval(memory, IndexBoxes{true, false, true}, dll);
    auto key = RunOnce(memory);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->ReadString("DeleteHistoryIndex", 1024),
              "rundll32 \"" + bin.path() + "\\Program Files\\Purgelet.dll\",DeleteHistoryIndex");
    EXPECT_TRUE(key->ReadString("DeleteCacheIndex", 1024));

    // A path that names no folder gives no command; an unchecked box still withdraws.
    EXPECT_FALSE(RunOnceCommand(memory.fileSystem, "Quillmere.dll", kDeleteCookieIndex));
    ScheduleIndexRemoval(memory, IndexBoxes{true, false, false}, "Quillmere.dll");
    EXPECT_EQ(key->ValueNames(), std::vector<std::string>{"DeleteHistoryIndex"});
}

TEST(IndexRemovalAtLogon, PresettingCountsAValueOfAnyTypeAndLength) {
    MemoryPlatform memory;
    memory.osVersion.SetMajorVersion(4);
    auto key = memory.registry.Create(RegistryRoot::CurrentUser, kRunOnceKey);
    key->WriteDword("DeleteHistoryIndex", 0);
    key->WriteString("DeleteCacheIndex", "rundll32 " + std::string(400, 'x'));
    EXPECT_EQ(PresetIndexBoxes(memory), (IndexBoxes{true, false, true}));

    // Neither key opens nor can be made: nothing happens.
    MemoryPlatform locked;
    locked.osVersion.SetMajorVersion(5);
    locked.registry.SetCreateFails(true);
    ScheduleIndexRemoval(locked, IndexBoxes{true, true, true}, "C:\\bin\\Quillmere.dll");
    EXPECT_FALSE(RunOnce(locked));
}

TEST(IndexRemovalAtRestart, SchedulesTheFirstIndexFileThatExistsAndCookiesRegardless) {
    MemoryPlatform memory;
    Stores stores(memory);
    const std::string ie5 = stores.home.MakeFile("History\\History.IE5\\index.dat");
    stores.home.MakeFolder("Cache\\Content.IE5\\index.dat");  // a folder is no index file

    ScheduleIndexRemoval(memory, IndexBoxes{true, true, true}, "unused");
    EXPECT_EQ(Pending(memory),
              Units("\\??\\" + ie5 + "\0\0"s + "\\??\\" + (stores.home / "Cookies\\index.dat") + "\0\0\0"s));

    // With a top-level index file beside it, only the top-level one goes.
    const std::string top = stores.home.MakeFile("History\\index.dat");
    ScheduleIndexRemoval(memory, IndexBoxes{true, false, false}, "unused");
    EXPECT_EQ(Pending(memory), Units("\\??\\" + top + "\0\0\0"s));
}

TEST(IndexRemovalAtRestart, WithdrawingKeepsEveryOtherPendingOperationByteForByte) {
    MemoryPlatform memory;
    Stores stores(memory);
    const std::string history = stores.home / "History\\History.IE5\\index.dat";
    const std::string cookies = stores.home / "Cookies\\index.dat";
    std::string upperCookies = cookies;
    std::transform(upperCookies.begin(), upperCookies.end(), upperCookies.begin(), ::toupper);
    const std::string others =
        "\\??\\C:\\Windows\\Temp\\setup.tmp\0\0"s
        "\\??\\C:\\app\\new.dll\0!\\??\\C:\\app\\old.dll\0"s;
    const std::string renameOfOurs = "\\??\\" + cookies + "\0\\??\\C:\\backup\\index.dat\0"s;
    SetPending(memory, "\\??\\" + history + "\0\0"s + others + "\\??\\" + upperCookies + "\0\0"s +
                           renameOfOurs + cookies + "\0\0\0"s);

    // Opened with nothing checked: presetting sees History and Cookies.
    EXPECT_EQ(PresetIndexBoxes(memory), (IndexBoxes{true, true, false}));
    ScheduleIndexRemoval(memory, IndexBoxes{}, "unused");
    EXPECT_EQ(Pending(memory), Units(others + renameOfOurs + "\0"s));

    // Checking Cookies again schedules it once, not twice.
    ScheduleIndexRemoval(memory, IndexBoxes{false, true, false}, "unused");
    ScheduleIndexRemoval(memory, IndexBoxes{false, true, false}, "unused");
    EXPECT_EQ(Pending(memory), Units(others + renameOfOurs + "\\??\\" + cookies + "\0\0\0"s));

    // When only ours were pending, the value goes as the system would remove it.
    ScheduleIndexRemoval(memory, IndexBoxes{false, true, false}, "unused");
    SetPending(memory, "\\??\\" + cookies + "\0\0\0"s);
    ScheduleIndexRemoval(memory, IndexBoxes{}, "unused");
    EXPECT_FALSE(Pending(memory));
}

TEST(IndexRemovalAtRestart, AValueThatIsNoWellFormedListIsLeftAlone) {
    MemoryPlatform memory;
    Stores stores(memory);
    const std::string ours = "\\??\\" + (stores.home / "Cookies\\index.dat") + "\0\0"s;
    for (const std::string& data :
         {ours + "\\??\\C:\\cut-off"s, ours + "\\??\\C:\\no-target\0"s, ours + "\0C:\\after-the-end\0\0"s}) {
        SetPending(memory, data);
        ScheduleIndexRemoval(memory, IndexBoxes{}, "unused");
        EXPECT_EQ(Pending(memory), Units(data));
    }
    auto key = memory.registry.Open(RegistryRoot::LocalMachine, kSessionManagerKey);
    key->Write(kPendingFileRenameOperations, RegistryValue{RegistryType::Binary, ours + "\0"});
    ScheduleIndexRemoval(memory, IndexBoxes{}, "unused");
    EXPECT_EQ(key->Read(kPendingFileRenameOperations, kUnlimitedBuffer)->type, RegistryType::Binary);
}

TEST(PendingOperations, ParseOnlyCompletePairsFollowedByNothingButNul) {
    const std::u16string data = u"a\0\0b\0c\0\0"s;  // the views point into it
    auto parsed = ParsePendingOperations(data);
    ASSERT_TRUE(parsed);
    ASSERT_EQ(parsed->size(), 2u);
    EXPECT_EQ((*parsed)[1].source, u"b");
    EXPECT_EQ((*parsed)[1].target, u"c");
    EXPECT_EQ((*parsed)[1].begin, 3u);
    EXPECT_EQ((*parsed)[1].end, 7u);
    EXPECT_EQ(ParsePendingOperations(u"")->size(), 0u);
    EXPECT_EQ(ParsePendingOperations(u"a\0\0"s)->size(), 1u);  // without the closing NUL
    EXPECT_EQ(ParsePendingOperations(u"a\0\0\0\0"s)->size(), 1u);
    EXPECT_FALSE(ParsePendingOperations(u"a"));
    EXPECT_FALSE(ParsePendingOperations(u"a\0"s));
    EXPECT_FALSE(ParsePendingOperations(u"a\0b"s));
}

TEST(IndexRemovalAtRestart, PresettingFindsAStorePathInAnyLetterCase) {
    MemoryPlatform memory;
    memory.shell.SetSpecialFolder(SpecialFolder::History, "C:\\Users\\Ann\\History");
    memory.shell.SetSpecialFolder(SpecialFolder::Cookies, "");  // an unknown folder matches nothing
    memory.shell.SetSpecialFolder(SpecialFolder::InternetCache, "C:\\Users\\Ann\\Temporary Internet Files");
    EXPECT_EQ(PresetIndexBoxes(memory), IndexBoxes{});  // no value at all
    SetPending(memory, "\\??\\c:\\users\\ann\\HISTORY\\History.IE5\\index.dat\0\0\0"s);
    EXPECT_EQ(PresetIndexBoxes(memory), (IndexBoxes{true, false, false}));
}

}  // namespace
}  // namespace qm
