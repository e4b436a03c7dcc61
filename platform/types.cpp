#include "platform/types.h"

namespace qm {
namespace {

constexpr uint64_t kTicksPerMillisecond = 10'000;
constexpr uint64_t kTicksPerSecond = 1000 * kTicksPerMillisecond;
constexpr uint64_t kTicksPerDay = 86'400 * kTicksPerSecond;
constexpr uint64_t kLargestConvertible = 0x7FFF'FFFF'FFFF'FFFFull;

// Days from 1601-01-01 to the first day of the given civil date, by the
// proleptic Gregorian calendar that FILETIME uses.
int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day) {
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const int64_t daysSince0000 = era * 146097 + static_cast<int64_t>(dayOfEra);
    constexpr int64_t k1601 = 584'694;  // days from 0000-03-01 to 1601-01-01
    return daysSince0000 - k1601;
}

bool IsLeap(unsigned year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

unsigned DaysInMonth(unsigned year, unsigned month) {
    static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

}  // namespace

std::optional<SystemTime> ToSystemTime(FileTime time) {
    if (time.ticks > kLargestConvertible) return std::nullopt;
    const uint64_t days = time.ticks / kTicksPerDay;
    uint64_t rest = time.ticks % kTicksPerDay;

    SystemTime out;
    out.dayOfWeek = static_cast<uint16_t>((days + 1) % 7);  // 1601-01-01 was a Monday
    out.hour = static_cast<uint16_t>(rest / (3600 * kTicksPerSecond));
    rest %= 3600 * kTicksPerSecond;
    out.minute = static_cast<uint16_t>(rest / (60 * kTicksPerSecond));
    rest %= 60 * kTicksPerSecond;
    out.second = static_cast<uint16_t>(rest / kTicksPerSecond);
    out.milliseconds = static_cast<uint16_t>((rest % kTicksPerSecond) / kTicksPerMillisecond);

    // Civil date from a day count (Howard Hinnant's algorithm, shifted to 1601).
    const int64_t z = static_cast<int64_t>(days) + 584'694;
    const int64_t era = z / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(z - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned mp = (5 * dayOfYear + 2) / 153;
    const unsigned day = dayOfYear - (153 * mp + 2) / 5 + 1;
    const unsigned month = mp < 10 ? mp + 3 : mp - 9;
    const int64_t year = static_cast<int64_t>(yearOfEra) + era * 400 + (month <= 2);
    out.year = static_cast<uint16_t>(year);
    out.month = static_cast<uint16_t>(month);
    out.day = static_cast<uint16_t>(day);
    return out;
}

std::optional<FileTime> ToFileTime(const SystemTime& time) {
    if (time.year < 1601 || time.year > 30827) return std::nullopt;
    if (time.month < 1 || time.month > 12) return std::nullopt;
    if (time.day < 1 || time.day > DaysInMonth(time.year, time.month)) return std::nullopt;
    if (time.hour > 23 || time.minute > 59 || time.second > 59 || time.milliseconds > 999)
        return std::nullopt;
    const int64_t days = DaysFromCivil(time.year, time.month, time.day);
    const uint64_t ticks = static_cast<uint64_t>(days) * kTicksPerDay +
                           (time.hour * 3600ull + time.minute * 60ull + time.second) * kTicksPerSecond +
                           time.milliseconds * kTicksPerMillisecond;
    return FileTime{ticks};
}

std::optional<RecordKind> RecordKindFromCleanupCode(uint32_t code) {
    if (code < 1 || code > 3) return std::nullopt;
    return static_cast<RecordKind>(code - 1);
}

std::string_view TabCaption(RecordKind kind) {
    switch (kind) {
        case RecordKind::History: return " History ";
        case RecordKind::Cookies: return " Cookies ";
        case RecordKind::Cache: return " Cache ";
    }
    return {};
}

}  // namespace qm
