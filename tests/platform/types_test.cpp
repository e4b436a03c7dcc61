#include "platform/types.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

constexpr uint64_t kTicksPerDay = 864'000'000'000ull;

SystemTime Date(uint16_t year, uint16_t month, uint16_t day, uint16_t hour = 0, uint16_t minute = 0,
                uint16_t second = 0, uint16_t milliseconds = 0) {
    SystemTime time;
    time.year = year;
    time.month = month;
    time.day = day;
    time.hour = hour;
    time.minute = minute;
    time.second = second;
    time.milliseconds = milliseconds;
    return time;
}

// The expected tick counts were worked out apart from this code, from the
// number of days between the dates.
TEST(FileTimeTest, KnownDatesConvertBothWays) {
    struct Case {
        uint64_t ticks;
        SystemTime time;
        uint16_t dayOfWeek;
    };
    const Case cases[] = {
        {0, Date(1601, 1, 1), 1},                                             // the epoch, a Monday
        {134'171'424'000'000'000ull, Date(2026, 3, 5), 4},                    // a Thursday
        {116'444'736'000'000'000ull, Date(1970, 1, 1), 4},                    // the Unix epoch
        {125'963'423'999'990'000ull, Date(2000, 2, 29, 23, 59, 59, 999), 2},  // leap day of a 400th year
        {2'650'467'743'999'990'000ull, Date(9999, 12, 31, 23, 59, 59, 999), 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ticks);
        SystemTime wrongWeekday = c.time;
        wrongWeekday.dayOfWeek = 6;  // the weekday is computed, never read
        EXPECT_EQ(ToFileTime(wrongWeekday), FileTime{c.ticks});
        auto back = ToSystemTime(FileTime{c.ticks});
        ASSERT_TRUE(back);
        SystemTime expected = c.time;
        expected.dayOfWeek = c.dayOfWeek;
        EXPECT_EQ(*back, expected);
    }
    EXPECT_EQ(ToSystemTime(FileTime{19'999})->milliseconds, 1) << "1.9999 ms is dropped, not rounded";
}

TEST(FileTimeTest, RoundTripsAcrossMonthAndYearEnds) {
    // Every day boundary of 1899 to 1901 and 1999 to 2001 (no leap day in
    // 1900, one in 2000), one millisecond before midnight; the weekdays run
    // through in turn.
    for (uint64_t startDay : {108'842ull, 145'366ull}) {
        for (uint64_t day = startDay; day < startDay + 3 * 366; ++day) {
            const FileTime time{(day + 1) * kTicksPerDay - 10'000};
            auto system = ToSystemTime(time);
            ASSERT_TRUE(system) << day;
            EXPECT_EQ(system->hour, 23);
            EXPECT_EQ(system->milliseconds, 999);
            EXPECT_EQ(system->dayOfWeek, (day + 1) % 7) << day;
            EXPECT_EQ(ToFileTime(*system), time) << day;
        }
    }
}

TEST(FileTimeTest, OnlyDatesOfTheCalendarAndItsRangeConvert) {
    struct Case {
        SystemTime time;
        bool converts;
    };
    const Case cases[] = {
        {Date(2000, 2, 29), true},
        {Date(2024, 2, 29), true},
        {Date(1900, 2, 29), false},
        {Date(2023, 2, 29), false},
        {Date(2024, 2, 30), false},
        {Date(2024, 4, 31), false},
        {Date(2024, 12, 31), true},
        {Date(2024, 13, 1), false},
        {Date(2024, 0, 1), false},
        {Date(2024, 1, 0), false},
        {Date(2024, 1, 1, 24), false},
        {Date(2024, 1, 1, 0, 60), false},
        {Date(2024, 1, 1, 0, 0, 60), false},
        {Date(2024, 1, 1, 0, 0, 0, 1000), false},
        {Date(1600, 12, 31), false},
        {Date(30828, 1, 1), false},
        {Date(30827, 12, 31, 23, 59, 59, 999), true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToFileTime(c.time).has_value(), c.converts)
            << c.time.year << "-" << c.time.month << "-" << c.time.day << " " << c.time.hour << ":"
            << c.time.minute << ":" << c.time.second << "." << c.time.milliseconds;
    }

    EXPECT_FALSE(ToSystemTime(FileTime{0x8000'0000'0000'0000ull}));
    EXPECT_FALSE(ToSystemTime(FileTime{UINT64_MAX}));
    auto largest = ToSystemTime(FileTime{0x7FFF'FFFF'FFFF'FFFFull});
    ASSERT_TRUE(largest);
    EXPECT_EQ(largest->year, 30828);
    EXPECT_EQ(largest->month, 9);
    EXPECT_EQ(largest->day, 14);
}

TEST(FixedTextTest, CutsToCapacityAndAtEmbeddedNul) {
    FixedText<5> text("abcdefg");
    EXPECT_EQ(text.view(), "abcd");
    text = std::string_view("x\0yz", 4);
    EXPECT_EQ(text.view(), "x");
    text = "";
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(text.c_str()[4], '\0');
}

TEST(RecordKindTest, CleanupCodesAreOneBasedAndBounded) {
    EXPECT_EQ(RecordKindFromCleanupCode(1), RecordKind::History);
    EXPECT_EQ(RecordKindFromCleanupCode(3), RecordKind::Cache);
    EXPECT_FALSE(RecordKindFromCleanupCode(0));
    EXPECT_FALSE(RecordKindFromCleanupCode(4));
    for (RecordKind kind : {RecordKind::History, RecordKind::Cookies, RecordKind::Cache})
        EXPECT_EQ(RecordKindFromCleanupCode(CleanupKindCode(kind)), kind);
    EXPECT_EQ(TabCaption(RecordKind::Cookies), " Cookies ");
}

}  // namespace
}  // namespace qm
