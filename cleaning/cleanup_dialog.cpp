#include "cleaning/cleanup_dialog.h"

#include "cleaning/confirmation.h"
#include "settings/settings.h"

namespace qm {
namespace {

constexpr CriterionButton kHistoryButtons[] = {
    {205, criterion::kAll},
    {207, criterion::kLocalLinks},
    {211, criterion::kSelectedProtocol},
    {213, criterion::kContainingText},
    {218, criterion::kBetweenDates},
};
constexpr CriterionButton kCookieButtons[] = {
    {205, criterion::kAll},
    {207, criterion::kExpiredCookies},
    {211, criterion::kContainingText},
    {213, criterion::kBetweenDates},
};
constexpr CriterionButton kCacheButtons[] = {
    {205, criterion::kAll},
    {207, criterion::kPictures},
    {211, criterion::kArchives},
    {213, criterion::kStylesAndScripts},
    {218, criterion::kPagesAndOtherFiles},
    {225, criterion::kContainingText},
    {228, criterion::kBetweenDates},
};

constexpr uint64_t kTicksPerMinute = 60ull * 10'000'000ull;
constexpr uint64_t kTicksPerDay = 24ull * 60ull * kTicksPerMinute;

std::string_view Cut(std::string_view text, std::size_t length) {
    return text.substr(0, length);
}

// The picked date at midnight; the picker's time of day plays no part.
std::optional<SystemTime> Midnight(const SystemTime& day) {
    SystemTime midnight;
    midnight.year = day.year;
    midnight.month = day.month;
    midnight.day = day.day;
    // A round trip validates the date and fills in the day of the week.
    auto ticks = ToFileTime(midnight);
    if (!ticks) return std::nullopt;
    return ToSystemTime(*ticks);
}

}  // namespace

std::span<const CriterionButton> CriterionButtons(RecordKind kind) {
    switch (kind) {
        case RecordKind::History:
            return kHistoryButtons;
        case RecordKind::Cookies:
            return kCookieButtons;
        case RecordKind::Cache:
            return kCacheButtons;
    }
    return {};
}

uint32_t CheckedCriterion(RecordKind kind, const std::function<bool(int controlId)>& isChecked) {
    for (const CriterionButton& button : CriterionButtons(kind)) {
        if (isChecked(button.controlId)) return button.criterion;
    }
    return criterion::kNone;
}

LocalToUtc LocalToUtcAtCurrentOffset(Clock& clock) {
    return [&clock](const SystemTime& local) -> std::optional<FileTime> {
        const auto localNow = ToFileTime(clock.LocalNow());
        const auto localTime = ToFileTime(local);
        if (!localNow || !localTime) return std::nullopt;
        // Local time is kept to the millisecond, UTC to the tick: the offset
        // is rounded to whole minutes, as time zones are.
        const auto utcNow = static_cast<int64_t>(clock.NowUtc().ticks);
        const int64_t difference = static_cast<int64_t>(localNow->ticks) - utcNow;
        const auto perMinute = static_cast<int64_t>(kTicksPerMinute);
        const int64_t half = difference < 0 ? -perMinute / 2 : perMinute / 2;
        const int64_t offset = (difference + half) / perMinute * perMinute;
        const int64_t utc = static_cast<int64_t>(localTime->ticks) - offset;
        if (utc < 0) return std::nullopt;
        return FileTime{static_cast<uint64_t>(utc)};
    };
}

std::optional<FileTime> StartOfLocalDay(const SystemTime& day, const LocalToUtc& localToUtc) {
    auto midnight = Midnight(day);
    if (!midnight) return std::nullopt;
    return localToUtc(*midnight);
}

// The last tick of a local day is the tick before the next local midnight,
// which also holds on the days the clocks are put forward or back.
std::optional<FileTime> EndOfLocalDay(const SystemTime& day, const LocalToUtc& localToUtc) {
    auto midnight = Midnight(day);
    if (!midnight) return std::nullopt;
    auto nextMidnight = ToSystemTime(FileTime{ToFileTime(*midnight)->ticks + kTicksPerDay});
    if (!nextMidnight) return std::nullopt;
    auto end = localToUtc(*nextMidnight);
    if (!end || end->ticks == 0) return std::nullopt;
    return FileTime{end->ticks - 1};
}

CleanupCriteria BuildCleanupCriteria(RecordKind kind, const CleanupDialogInput& input, Clock& clock,
                                     const LocalToUtc& localToUtc) {
    CleanupCriteria criteria = NewCleanupCriteria(clock);
    criteria.kind = CleanupKindCode(kind);
    criteria.criterion = input.criterion;
    if (kind == RecordKind::History) {
        if (input.criterion == criterion::kSelectedProtocol)
            criteria.text = Cut(input.protocolText, kProtocolTextLength);
        else if (input.criterion == criterion::kContainingText)
            criteria.text = Cut(input.searchText, kHistorySearchTextLength);
    } else {
        criteria.text = Cut(input.searchText, kSearchTextLength);
    }
    if (auto from = StartOfLocalDay(input.fromDay, localToUtc)) criteria.from = *from;
    if (auto to = EndOfLocalDay(input.toDay, localToUtc)) criteria.to = *to;
    return criteria;
}

std::optional<CleanupCriteria> CleanUpPressed(RecordKind kind, const CleanupDialogInput& input, bool confirm,
                                              Prompts& prompts, Clock& clock, const LocalToUtc& localToUtc) {
    if (!ConfirmDeletion(prompts, confirm, CleanupQuestion(kind))) return std::nullopt;
    return BuildCleanupCriteria(kind, input, clock, localToUtc);
}

bool ReadDialogConfirmation(Registry& registry, OsVersion& osVersion) {
    auto key = OpenSettingsKey(registry, UsesLowIntegrityKey(osVersion));
    return ReadConfirmation(key.get());
}

}  // namespace qm
