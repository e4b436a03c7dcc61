// The small adapters: code page, version, clock.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <string>

#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_os_version.h"
#include "platform/win32/win32_text_codec.h"

namespace qm {
namespace {

using namespace std::string_literals;

TEST(Win32TextCodecTest, TextsKeepEveryCharacterIncludingNul) {
    Win32TextCodec codec;
    EXPECT_EQ(codec.ToAnsi(u"http://a.test/?q=1\0tail"s), "http://a.test/?q=1\0tail"s);
    EXPECT_EQ(codec.FromAnsi("http://a.test/?q=1\0tail"s), u"http://a.test/?q=1\0tail"s);
    EXPECT_EQ(codec.ToAnsi(u""), "");
    EXPECT_EQ(codec.FromAnsi(""), u"");
    // Lower-casing does not stop at a NUL either.
    EXPECT_EQ(codec.LowerAnsi("Cookie:\0ABC"s), "cookie:\0abc"s);
    EXPECT_EQ(codec.LowerAnsi("mixed Case 123"), "mixed case 123");
}

TEST(Win32TextCodecTest, WesternCodePageConvertsAndLowersItsOwnCharacters) {
    if (GetACP() != 1252) GTEST_SKIP() << "the ANSI code page is " << GetACP() << ", not 1252";
    Win32TextCodec codec;
    EXPECT_EQ(codec.ToAnsi(u"Caf\u00e9 \u20ac5"),
              "Caf\xE9 \x80"
              "5");
    EXPECT_EQ(codec.FromAnsi("Caf\xE9 \x80"
                             "5"),
              u"Caf\u00e9 \u20ac5");
    // A character the code page lacks comes out as the platform's stand-in.
    EXPECT_EQ(codec.ToAnsi(u"\u4e2d"), "?");
    EXPECT_EQ(codec.LowerAnsi("\xC0\xC9\xD6 ABC"), "\xE0\xE9\xF6 abc");
}

TEST(Win32OsVersionTest, MajorVersionIsTheOneThePlatformReports) {
    Win32OsVersion version;
    const auto major = version.MajorVersion();
    ASSERT_TRUE(major.has_value());
    EXPECT_EQ(*major, static_cast<uint32_t>(LOBYTE(LOWORD(GetVersion()))));
    EXPECT_GE(*major, 5u);
}

TEST(Win32ClockTest, TheThreeClocksAgree) {
    Win32Clock clock;
    const FileTime before = clock.NowUtc();
    const SystemTime utc = clock.NowUtcSystemTime();
    const SystemTime local = clock.LocalNow();
    const uint32_t tick = clock.TickMs();
    const FileTime after = clock.NowUtc();
    const uint32_t platformTick = GetTickCount();

    const auto utcTicks = ToFileTime(utc);
    ASSERT_TRUE(utcTicks.has_value());
    // The broken-down time lies between the two readings, to the millisecond.
    EXPECT_GE(utcTicks->ticks + 10'000, before.ticks);
    EXPECT_LE(utcTicks->ticks, after.ticks);
    EXPECT_LT(platformTick - tick, 1000u);

    // Local time differs from UTC by the zone's bias (and daylight saving).
    TIME_ZONE_INFORMATION zone;
    const DWORD kind = GetTimeZoneInformation(&zone);
    LONG bias = zone.Bias;
    if (kind == TIME_ZONE_ID_DAYLIGHT) bias += zone.DaylightBias;
    if (kind == TIME_ZONE_ID_STANDARD) bias += zone.StandardBias;
    const auto localTicks = ToFileTime(local);
    ASSERT_TRUE(localTicks.has_value());
    const double differenceTicks =
        static_cast<double>(static_cast<int64_t>(localTicks->ticks) - static_cast<int64_t>(utcTicks->ticks));
    const long long offsetMinutes = std::llround(differenceTicks / (60 * 10'000'000.0));
    EXPECT_EQ(offsetMinutes, -bias);
}

}  // namespace
}  // namespace qm
