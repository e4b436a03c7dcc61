#include "cleaning/mru_lists.h"

#include <gtest/gtest.h>

#include "tests/cleaning/cleaning_test_support.h"

namespace qm {
namespace {

using Names = std::vector<std::string>;

std::unique_ptr<RegistryKey> Key(MemoryPlatform& memory, std::string_view path) {
    return memory.registry.Create(RegistryRoot::CurrentUser, path);
}

TEST(TypedUrls, EveryNumberedAddressGoesWhateverTheGaps) {
    MemoryPlatform memory;
    auto key = Key(memory, kTypedUrlsKey);
    for (int number = 1; number <= 25; ++number)
        key->WriteString("url" + std::to_string(number), "http://a/");
    key->WriteString("url40", "http://after-a-gap/");
    key->WriteString("URL41", "http://capitals/");
    for (const char* other : {"url", "url0", "url07", "url1x", "urls", "TypedUrlsTime", "x"})
        key->WriteString(other, "kept");

    ClearTypedUrls(memory, /*confirm=*/false);
    EXPECT_EQ(key->ValueNames(), (Names{"url", "url0", "url07", "url1x", "urls", "TypedUrlsTime", "x"}));
    EXPECT_TRUE(memory.prompts.questions().empty());

    // An empty key and a missing key are no failures.
    ClearTypedUrls(memory, false);
    memory.registry.DeleteTree(RegistryRoot::CurrentUser, kTypedUrlsKey);
    ClearTypedUrls(memory, false);
}

TEST(RunHistory, LettersAndTheOrderGoOtherNamesAndTheKeyStay) {
    MemoryPlatform memory;
    auto key = Key(memory, kRunMruKey);
    for (const char* name : {"a", "q", "z", "MRUList", "A1", "aa", "0", "Other"})
        key->WriteString(name, "cmd\\1");
    ClearRunHistory(memory, false);
    EXPECT_EQ(key->ValueNames(), (Names{"A1", "aa", "0", "Other"}));
    EXPECT_TRUE(memory.registry.Open(RegistryRoot::CurrentUser, kRunMruKey));
}

TEST(MruCommands, AskTheirQuestionWhileConfirmingAndChangeNothingOnNo) {
    MemoryPlatform memory;
    auto typed = Key(memory, kTypedUrlsKey);
    typed->WriteString("url1", "http://a/");
    auto run = Key(memory, kRunMruKey);
    run->WriteString("a", "notepad\\1");

    ClearTypedUrls(memory, true);
    ClearRunHistory(memory, true);
    ClearRecentDocuments(memory, true);
    EXPECT_EQ(typed->ValueNames(), Names{"url1"});
    EXPECT_EQ(run->ValueNames(), Names{"a"});
    EXPECT_EQ(memory.shell.recentDocumentsCleared(), 0);
    EXPECT_EQ(memory.prompts.questions(),
              (Names{"Are you sure you want to delete Typed URL List?",
                     "Are you sure you want to delete Desktop Run History?",
                     "Are you sure you want to delete Desktop Recent Documents History?"}));

    for (int i = 0; i < 3; ++i) memory.prompts.QueueAnswer(true);
    ClearTypedUrls(memory, true);
    ClearRunHistory(memory, true);
    ClearRecentDocuments(memory, true);
    EXPECT_TRUE(typed->ValueNames().empty());
    EXPECT_TRUE(run->ValueNames().empty());
    EXPECT_EQ(memory.shell.recentDocumentsCleared(), 1);

    ClearRecentDocuments(memory, false);
    EXPECT_EQ(memory.shell.recentDocumentsCleared(), 2);
    EXPECT_EQ(memory.prompts.questions().size(), 6u);
}

}  // namespace
}  // namespace qm
