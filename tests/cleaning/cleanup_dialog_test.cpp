#include "cleaning/cleanup_dialog.h"

#include <gtest/gtest.h>

#include "cleaning/cleanup.h"
#include "cleaning/confirmation.h"
#include "settings/settings.h"
#include "tests/cleaning/cleaning_test_support.h"

namespace qm {
namespace {

using test::EntryAt;

SystemTime Day(uint16_t year, uint16_t month, uint16_t day, uint16_t hour = 0, uint16_t minute = 0) {
    SystemTime time;
    time.year = year;
    time.month = month;
    time.day = day;
    time.hour = hour;
    time.minute = minute;
    return time;
}

FileTime Utc(uint16_t year, uint16_t month, uint16_t day, uint16_t hour = 0, uint16_t minute = 0) {
    return *ToFileTime(Day(year, month, day, hour, minute));
}

uint32_t CriterionWithOnly(RecordKind kind, int checkedId) {
    return CheckedCriterion(kind, [&](int id) { return id == checkedId; });
}

TEST(CleanupCriteria, FreshRecordHasNoChoiceAZeroTextAndNowAsBothBounds) {
    MemoryPlatform memory;
    memory.clock.SetNow(FileTime{131'000'000'000'123'456ull});
    const CleanupCriteria criteria = NewCleanupCriteria(memory.clock);
    EXPECT_EQ(criteria.criterion, 0u);
    EXPECT_EQ(criteria.kind, 0u);
    const char* text = criteria.text.c_str();
    EXPECT_TRUE(std::all_of(text, text + 100, [](char c) { return c == '\0'; }));
    EXPECT_EQ(criteria.from.ticks, 131'000'000'000'123'456ull);
    EXPECT_EQ(criteria.to, criteria.from);
}

TEST(CleanupDialog, EachRadioButtonStandsForItsCriterionAndTheFirstCheckedWins) {
    using K = RecordKind;
    EXPECT_EQ(CriterionWithOnly(K::History, 205), criterion::kAll);
    EXPECT_EQ(CriterionWithOnly(K::History, 207), criterion::kLocalLinks);
    EXPECT_EQ(CriterionWithOnly(K::History, 211), criterion::kSelectedProtocol);
    EXPECT_EQ(CriterionWithOnly(K::History, 213), criterion::kContainingText);
    EXPECT_EQ(CriterionWithOnly(K::History, 218), criterion::kBetweenDates);

    EXPECT_EQ(CriterionWithOnly(K::Cookies, 207), criterion::kExpiredCookies);
    EXPECT_EQ(CriterionWithOnly(K::Cookies, 211), criterion::kContainingText);
    EXPECT_EQ(CriterionWithOnly(K::Cookies, 213), criterion::kBetweenDates);
    EXPECT_EQ(CriterionWithOnly(K::Cookies, 218), criterion::kNone);  // not one of its buttons

    const std::pair<int, uint32_t> cache[] = {{205, 1}, {207, 5}, {211, 6}, {213, 7},
                                              {218, 8}, {225, 9}, {228, 10}};
    for (const auto& [id, code] : cache) EXPECT_EQ(CriterionWithOnly(K::Cache, id), code) << id;

    // Two checked at once (possible only through messages): the order decides.
    EXPECT_EQ(CheckedCriterion(K::Cache, [](int id) { return id == 228 || id == 211; }),
              criterion::kArchives);
    EXPECT_EQ(CheckedCriterion(K::History, [](int) { return false; }), criterion::kNone);
}

TEST(CleanupDialog, HistoryTakesEachTextOnlyForItsCriterionAsTypedAndCut) {
    MemoryPlatform memory;
    const auto convert = LocalToUtcAtCurrentOffset(memory.clock);
    CleanupDialogInput input;
    input.protocolText = " HTTP:" + std::string(40, 'p');
    input.searchText = std::string(120, 's');

    input.criterion = criterion::kSelectedProtocol;
    CleanupCriteria criteria = BuildCleanupCriteria(RecordKind::History, input, memory.clock, convert);
    EXPECT_EQ(criteria.kind, 1u);
    EXPECT_EQ(criteria.text.str(), (" HTTP:" + std::string(25, 'p')));  // 31 characters, case and blank kept

    input.criterion = criterion::kContainingText;
    criteria = BuildCleanupCriteria(RecordKind::History, input, memory.clock, convert);
    EXPECT_EQ(criteria.text.str(), std::string(99, 's'));

    input.criterion = criterion::kAll;
    EXPECT_TRUE(BuildCleanupCriteria(RecordKind::History, input, memory.clock, convert).text.empty());
}

TEST(CleanupDialog, CookiesAndCacheCopyTheSearchTextWhateverTheCriterion) {
    MemoryPlatform memory;
    const auto convert = LocalToUtcAtCurrentOffset(memory.clock);
    CleanupDialogInput input;
    input.criterion = criterion::kExpiredCookies;
    input.searchText = std::string(150, 'c');
    const CleanupCriteria cookies = BuildCleanupCriteria(RecordKind::Cookies, input, memory.clock, convert);
    EXPECT_EQ(cookies.kind, 2u);
    EXPECT_EQ(cookies.criterion, criterion::kExpiredCookies);
    EXPECT_EQ(cookies.text.str(), std::string(98, 'c'));

    input.criterion = criterion::kPictures;
    const CleanupCriteria cache = BuildCleanupCriteria(RecordKind::Cache, input, memory.clock, convert);
    EXPECT_EQ(cache.kind, 3u);
    EXPECT_EQ(cache.text.str(), std::string(98, 'c'));
}

TEST(CleanupDialog, PickedDaysBecomeWholeLocalDaysInUtc) {
    MemoryPlatform memory;
    memory.clock.SetLocalOffsetMinutes(120);  // local time is two hours ahead
    const auto convert = LocalToUtcAtCurrentOffset(memory.clock);
    CleanupDialogInput input;
    input.criterion = criterion::kBetweenDates;
    input.fromDay = Day(2019, 4, 10, 15, 33);  // the pickers' time of day plays no part
    input.toDay = Day(2019, 4, 12, 9, 5);
    const CleanupCriteria criteria = BuildCleanupCriteria(RecordKind::Cache, input, memory.clock, convert);
    EXPECT_EQ(criteria.from, Utc(2019, 4, 9, 22));
    EXPECT_EQ(criteria.to.ticks, Utc(2019, 4, 12, 22).ticks - 1);

    // The same day twice is that whole day, not an empty moment.
    input.fromDay = input.toDay = Day(2019, 4, 17, 18, 40);
    const CleanupCriteria sameDay = BuildCleanupCriteria(RecordKind::Cookies, input, memory.clock, convert);
    memory.urlCache.Add(EntryAt("Cookie:me@before/", FileTime{Utc(2019, 4, 16, 22).ticks - 1}));
    memory.urlCache.Add(EntryAt("Cookie:me@first/", Utc(2019, 4, 16, 22)));
    memory.urlCache.Add(EntryAt("Cookie:me@last/", FileTime{Utc(2019, 4, 17, 22).ticks - 1}));
    memory.urlCache.Add(EntryAt("Cookie:me@after/", Utc(2019, 4, 17, 22)));
    RunCleanup(memory, sameDay);
    EXPECT_EQ(memory.urlCache.Names(), (std::vector<std::string>{"Cookie:me@before/", "Cookie:me@after/"}));
}

TEST(CleanupDialog, UnconvertibleDayKeepsTheBoundAtNow) {
    MemoryPlatform memory;
    CleanupDialogInput input;
    input.fromDay = Day(2019, 13, 1);
    input.toDay = SystemTime{};  // year 0: no date at all
    const CleanupCriteria criteria = BuildCleanupCriteria(RecordKind::History, input, memory.clock,
                                                          LocalToUtcAtCurrentOffset(memory.clock));
    EXPECT_EQ(criteria.from, memory.clock.NowUtc());
    EXPECT_EQ(criteria.to, memory.clock.NowUtc());

    // A converter that cannot place the day (a time before 1601 in UTC).
    input.fromDay = Day(2019, 1, 1);
    const CleanupCriteria refused =
        BuildCleanupCriteria(RecordKind::History, input, memory.clock,
                             [](const SystemTime&) { return std::optional<FileTime>(); });
    EXPECT_EQ(refused.from, memory.clock.NowUtc());
}

TEST(CleanupDialog, CleanUpAsksTheKindsQuestionOnlyWhileConfirming) {
    MemoryPlatform memory;
    const auto convert = LocalToUtcAtCurrentOffset(memory.clock);
    CleanupDialogInput input;
    input.criterion = criterion::kAll;

    EXPECT_FALSE(CleanUpPressed(RecordKind::Cookies, input, true, memory.prompts, memory.clock, convert));
    memory.prompts.QueueAnswer(true);
    auto sent = CleanUpPressed(RecordKind::Cache, input, true, memory.prompts, memory.clock, convert);
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->kind, 3u);
    EXPECT_EQ(sent->criterion, criterion::kAll);
    EXPECT_TRUE(CleanUpPressed(RecordKind::History, input, false, memory.prompts, memory.clock, convert));
    EXPECT_EQ(memory.prompts.questions(),
              (std::vector<std::string>{"Are you sure you want to delete Internet Explorer Cookies?",
                                        "Are you sure you want to delete Internet Explorer Cache?"}));
    EXPECT_EQ(CleanupQuestion(RecordKind::History),
              "Are you sure you want to delete Internet Explorer History?");
}

TEST(CleanupDialog, ConfirmationIsReadFromTheKeyOfTheSystemGeneration) {
    MemoryPlatform memory;
    EXPECT_TRUE(ReadDialogConfirmation(memory.registry, memory.osVersion));  // no key yet
    memory.registry.Create(RegistryRoot::CurrentUser, kLowIntegritySettingsPath)
        ->WriteDword(setting::kDisableConfirmation, 1);
    EXPECT_FALSE(ReadDialogConfirmation(memory.registry, memory.osVersion));
    memory.osVersion.SetMajorVersion(5);  // the classic key, which says nothing
    EXPECT_TRUE(ReadDialogConfirmation(memory.registry, memory.osVersion));
}

}  // namespace
}  // namespace qm
