#include "records/tab_lists.h"

#include <array>

#include "records/cache_entry.h"

namespace qm {
namespace {

constexpr std::string_view kCookiePrefix = "Cookie:";

struct ColumnSpec {
    std::string_view title;
    int width;
    int format;
};

constexpr std::array<ColumnSpec, 5> kHistoryColumns = {{
    {"Title", 250, 0},
    {"URL", 330, 0},
    {"Last Visited", 100, kListAlignCenter},
    {"Last Updated", 100, kListAlignCenter},
    {"Expires", 100, kListAlignCenter},
}};

constexpr std::array<ColumnSpec, 7> kCacheColumns = {{
    {"File", 300, 0},
    {"URL", 250, 0},
    {"Size", 50, kSizeColumnFormat},
    {"Hits", 50, kListAlignCenter},
    {"Last Visited", 100, kListAlignCenter},
    {"Last Updated", 100, kListAlignCenter},
    {"Expires", 100, kListAlignCenter},
}};

bool ContainsAny(std::string_view text, std::initializer_list<std::string_view> parts) {
    for (std::string_view part : parts)
        if (text.find(part) != std::string_view::npos) return true;
    return false;
}

void SetDateCell(ListModel& list, int row, int column, FileTime time, const DateFormatter& formatter) {
    list.SetCellText(row, column, DateCellText(time, formatter));
    // A time that shows "unknown" still sorts by its value.
    list.SetCellDate(row, column, time);
}

// The cells the Cookies and Cache rows share, after the first. The row
// keeps the entry's full name for its own deletion: the cells show the
// name cut to the record's 1023 characters.
void AddCacheRow(ListModel& list, const CacheEntry& entry, std::string_view name, std::string_view urlText,
                 int image, const DateFormatter& formatter) {
    const int row = list.AddRow(entry.localFile.view(), image);
    if (row < 0) return;
    list.SetRowText(row, name);
    list.SetCellText(row, 1, urlText);
    list.SetCellFormat(row, 1, kListCellHyperlink, 0);
    // Both are unsigned 32-bit counts: a file of 2 GiB or more is not negative.
    list.SetCellText(row, 2, std::to_string(entry.size));
    list.SetCellText(row, 3, std::to_string(entry.hitRate));
    SetDateCell(list, row, 4, entry.lastModifiedTime, formatter);
    SetDateCell(list, row, 5, entry.lastAccessTime, formatter);
    SetDateCell(list, row, 6, entry.expireTime, formatter);
}

void AddCookieRow(ListModel& list, const CacheEntry& entry, std::string_view name,
                  const DateFormatter& formatter) {
    AddCacheRow(list, entry, name, CookieUrlText(entry.url.view()), row_image::kCookie, formatter);
}

void AddContentRow(ListModel& list, const CacheEntry& entry, std::string_view name, TextCodec& codec,
                   const DateFormatter& formatter) {
    AddCacheRow(list, entry, name, entry.url.view(),
                CacheRowImage(entry.localFile.view(), entry.url.view(), codec), formatter);
}

}  // namespace

void AddTabListColumns(ListModel& list, RecordKind kind) {
    const auto add = [&list](const auto& columns) {
        for (const ColumnSpec& column : columns)
            list.AddColumn(column.title, column.width, /*image=*/-1, /*fixed=*/false, /*reserved=*/0,
                           column.format);
    };
    if (kind == RecordKind::History) {
        add(kHistoryColumns);
    } else {
        add(kCacheColumns);
    }
}

int CacheRowImage(std::string_view localFile, std::string_view url, TextCodec& codec) {
    const std::string file = codec.LowerAnsi(localFile);
    if (ContainsAny(file, {".htm"})) return row_image::kPage;
    if (ContainsAny(codec.LowerAnsi(url), {"https:"})) return row_image::kSecure;
    if (ContainsAny(file, {".gif", ".bmp", ".jpg", ".jpeg", ".png"})) return row_image::kPicture;
    if (ContainsAny(file, {".js"})) return row_image::kScript;
    if (ContainsAny(file, {".css"})) return row_image::kStyle;
    if (ContainsAny(file, {".avi", ".mp3", ".mid", ".au"})) return row_image::kMedia;
    return row_image::kOther;
}

std::string_view CookieUrlText(std::string_view url) {
    const std::size_t at = url.find(kCookiePrefix);
    return at == std::string_view::npos ? url : url.substr(at + kCookiePrefix.size());
}

std::string StatusText(RecordKind kind, std::size_t count) {
    const std::string number = std::to_string(count);
    switch (kind) {
        case RecordKind::History:
            return "Internet Explorer History contains: " + number + " items";
        case RecordKind::Cookies:
            return "Internet Explorer Cookies contain: " + number + " items";
        case RecordKind::Cache:
            return "Internet Explorer Cache contains: " + number + " items";
    }
    return {};
}

bool FillHistoryList(ListModel& list, Platform& platform, const DateFormatter& formatter) {
    return ForEachHistoryRecord(platform.urlHistory, platform.textCodec, [&](const HistoryRecord& record) {
        const int row =
            list.AddRow(record.title.empty() ? kUntitled : record.title.view(), row_image::kHistory);
        if (row < 0) return;
        list.SetCellText(row, 1, record.url.view());
        list.SetCellFormat(row, 1, kListCellHyperlink, 0);
        SetDateCell(list, row, 2, record.lastVisited, formatter);
        SetDateCell(list, row, 3, record.lastUpdated, formatter);
        SetDateCell(list, row, 4, record.expires, formatter);
    });
}

void FillCookieList(ListModel& list, Platform& platform, const DateFormatter& formatter) {
    ForEachCacheEntry(platform.urlCache, kCookiePattern, [&](const CacheEntry& entry, std::string_view name) {
        AddCookieRow(list, entry, name, formatter);
    });
}

void FillCacheList(ListModel& list, Platform& platform, const DateFormatter& formatter) {
    ForEachCacheEntry(platform.urlCache, kAllEntriesPattern,
                      [&](const CacheEntry& entry, std::string_view name) {
                          if (IsContentName(name))
                              AddContentRow(list, entry, name, platform.textCodec, formatter);
                      });
}

void FillCacheAndCookieLists(ListModel& cookies, ListModel& cache, Platform& platform,
                             const DateFormatter& formatter) {
    // Two enumerations, not one: Windows yields content entries only for
    // "*.*", so the cookies have to come from their own store.
    FillCookieList(cookies, platform, formatter);
    FillCacheList(cache, platform, formatter);
}

}  // namespace qm
