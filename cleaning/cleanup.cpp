#include "cleaning/cleanup.h"

#include <memory>
#include <string>

#include "cleaning/folder_contents.h"
#include "records/deletion.h"

namespace qm {
namespace {

using Match = CategoryPass::Match;

constexpr CategoryPass kPictures[] = {
    {Match::EndsWith, ".jpg"}, {Match::EndsWith, ".jpeg"}, {Match::EndsWith, ".bmp"},
    {Match::EndsWith, ".gif"}, {Match::EndsWith, ".png"},  {Match::EndsWith, ".tiff"},
    {Match::EndsWith, ".tif"}, {Match::EndsWith, ".tmp"},
};
constexpr CategoryPass kArchives[] = {
    {Match::EndsWith, ".rar"},
    {Match::EndsWith, ".zip"},
    {Match::EndsWith, ".7z"},
    {Match::EndsWith, ".cab"},
};
constexpr CategoryPass kStylesAndScripts[] = {
    {Match::Contains, "javascript:"}, {Match::Contains, "cgi-bin"}, {Match::Contains, "php?"},
    {Match::Contains, "asp?"},        {Match::EndsWith, ".xml"},    {Match::EndsWith, ".css"},
    {Match::EndsWith, ".js"},         {Match::EndsWith, ".vbs"},    {Match::EndsWith, ".pl"},
    {Match::EndsWith, ".jsp"},
};
constexpr CategoryPass kPagesAndOtherFiles[] = {
    {Match::EndsWith, ".htm"}, {Match::EndsWith, ".html"}, {Match::EndsWith, ".pdf"},
    {Match::EndsWith, ".swf"}, {Match::EndsWith, ".txt"},
};

constexpr std::string_view kHistoryStores[] = {"History.IE6", "History.IE5", "History.IE4"};
constexpr std::string_view kCacheStores[] = {"Content.IE6", "Content.IE5", "Content.IE4"};

bool InRange(FileTime time, FileTime from, FileTime to) {
    return from <= time && time <= to;
}

// Empties each subfolder of the first store folder that exists under the
// special folder, and removes it when nothing is left in it.
void ClearStoreSubfolders(Platform& platform, SpecialFolder special,
                          std::span<const std::string_view> stores) {
    auto root = platform.shell.SpecialFolderPath(special);
    if (!root || root->empty()) return;
    std::string store;
    for (std::string_view name : stores) {
        std::string candidate = JoinPath(*root, name);
        if (platform.fileSystem.IsDirectory(candidate)) {
            store = std::move(candidate);
            break;
        }
    }
    if (store.empty()) return;

    auto entries = platform.fileSystem.Find(JoinPath(store, "*"));
    if (!entries) return;
    for (const FoundFile& entry : *entries) {
        // "." would name the store folder itself, whose files must stay; it
        // is told by its name, since not every listing starts with it.
        if (!IsPlainEntryName(entry.name) || entry.name.find("..") != std::string::npos) continue;
        if (!entry.isDirectory() || (entry.attributes & file_attribute::kReparsePoint) != 0) continue;
        DeleteFolderFiles(platform, JoinPath(store, entry.name), /*removeFolder=*/true);
    }
}

void RunHistoryCleanup(Platform& platform, const CleanupCriteria& criteria) {
    // The history service needs the thread prepared for as long as the
    // cleanup works with it.
    const auto threadScope = platform.urlHistory.Open(/*initializeThread=*/true);
    switch (criteria.criterion) {
        case criterion::kAll:
            DeleteHistoryUrlsContaining(platform, ".");
            ClearHistoryFolders(platform);
            break;
        case criterion::kLocalLinks:
            for (std::string_view text : kLocalLinkTexts) DeleteHistoryUrlsContaining(platform, text);
            break;
        case criterion::kSelectedProtocol:
        case criterion::kContainingText:
            DeleteHistoryUrlsContaining(platform, criteria.text.view());
            break;
        case criterion::kBetweenDates:
            DeleteHistoryUpdatedBetween(platform, criteria.from, criteria.to);
            break;
        default:
            break;
    }
}

void RunCookieCleanup(Platform& platform, const CleanupCriteria& criteria) {
    switch (criteria.criterion) {
        case criterion::kAll:
            DeleteCookiesContaining(platform, ".");
            ClearCookieFolder(platform);
            break;
        case criterion::kExpiredCookies:
            DeleteExpiredCookies(platform);
            break;
        case criterion::kContainingText:
            DeleteCookiesContaining(platform, criteria.text.view());
            break;
        case criterion::kBetweenDates:
            DeleteCookiesAccessedBetween(platform, criteria.from, criteria.to);
            break;
        default:
            break;
    }
}

void RunCacheCleanup(Platform& platform, const CleanupCriteria& criteria) {
    switch (criteria.criterion) {
        case criterion::kAll:
            DeleteCacheEntriesContaining(platform, ".");
            ClearCacheFolders(platform);
            break;
        case criterion::kPictures:
        case criterion::kArchives:
        case criterion::kStylesAndScripts:
        case criterion::kPagesAndOtherFiles:
            // Each pass enumerates afresh, after the deletions of the one
            // before it.
            for (const CategoryPass& pass : CategoryPasses(criteria.criterion)) {
                if (pass.match == Match::Contains)
                    DeleteCacheEntriesContaining(platform, pass.text);
                else
                    DeleteCacheEntriesEndingWith(platform, pass.text);
            }
            break;
        case criterion::kContainingText:
            DeleteCacheEntriesContaining(platform, criteria.text.view());
            break;
        case criterion::kBetweenDates:
            DeleteCacheEntriesAccessedBetween(platform, criteria.from, criteria.to);
            break;
        default:
            break;
    }
}

}  // namespace

void DeleteHistoryUpdatedBetween(Platform& platform, FileTime from, FileTime to) {
    DeleteHistoryUrlsWhere(
        platform, [&](std::string_view, const StatUrl& url) { return InRange(url.lastUpdated, from, to); });
}

void DeleteExpiredCookies(Platform& platform) {
    const FileTime now = platform.clock.NowUtc();
    DeleteCacheEntriesWhere(
        platform.urlCache, kCookiePattern,
        [&](const CacheEntry& entry, std::string_view) { return entry.expireTime <= now; });
}

void DeleteCookiesAccessedBetween(Platform& platform, FileTime from, FileTime to) {
    DeleteCacheEntriesWhere(
        platform.urlCache, kCookiePattern,
        [&](const CacheEntry& entry, std::string_view) { return InRange(entry.lastAccessTime, from, to); });
}

void DeleteCacheEntriesEndingWith(Platform& platform, std::string_view ending) {
    if (ending.empty()) return;
    DeleteCacheEntriesWhere(platform.urlCache, kAllEntriesPattern,
                            [&](const CacheEntry&, std::string_view name) {
                                return IsContentName(name) && name.ends_with(ending);
                            });
}

void DeleteCacheEntriesAccessedBetween(Platform& platform, FileTime from, FileTime to) {
    DeleteCacheEntriesWhere(platform.urlCache, kAllEntriesPattern,
                            [&](const CacheEntry& entry, std::string_view name) {
                                return IsContentName(name) && InRange(entry.lastAccessTime, from, to);
                            });
}

void ClearHistoryFolders(Platform& platform) {
    ClearStoreSubfolders(platform, SpecialFolder::History, kHistoryStores);
}

void ClearCookieFolder(Platform& platform) {
    auto folder = platform.shell.SpecialFolderPath(SpecialFolder::Cookies);
    if (folder && !folder->empty()) DeleteFolderFiles(platform, *folder, /*removeFolder=*/false);
}

void ClearCacheFolders(Platform& platform) {
    ClearStoreSubfolders(platform, SpecialFolder::InternetCache, kCacheStores);
}

std::span<const CategoryPass> CategoryPasses(uint32_t criterionCode) {
    switch (criterionCode) {
        case criterion::kPictures:
            return kPictures;
        case criterion::kArchives:
            return kArchives;
        case criterion::kStylesAndScripts:
            return kStylesAndScripts;
        case criterion::kPagesAndOtherFiles:
            return kPagesAndOtherFiles;
        default:
            return {};
    }
}

std::optional<RecordKind> RunCleanup(Platform& platform, const CleanupCriteria& criteria) {
    const auto kind = RecordKindFromCleanupCode(criteria.kind);
    if (!kind) return std::nullopt;
    switch (*kind) {
        case RecordKind::History:
            RunHistoryCleanup(platform, criteria);
            break;
        case RecordKind::Cookies:
            RunCookieCleanup(platform, criteria);
            break;
        case RecordKind::Cache:
            RunCacheCleanup(platform, criteria);
            break;
    }
    return kind;
}

}  // namespace qm
