// The deleting half of a cleanup: given the record a dialog sent, delete
// every record of its kind that the criterion matches, then, for "All",
// the files of the kind's store folders. The main view shows the kind's
// tab first and rebuilds its list afterwards; nothing here touches a list.
//
// Every operation reads its store afresh and goes on past a failed
// deletion; nothing is reported.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string_view>

#include "cleaning/cleanup_criteria.h"
#include "platform/platform.h"
#include "platform/types.h"

namespace qm {

// History: every URL whose last-updated time lies in from..to.
void DeleteHistoryUpdatedBetween(Platform& platform, FileTime from, FileTime to);

// Cookies: every entry whose expiry is not later than now, an expiry of 0
// included; every entry whose last access lies in from..to.
void DeleteExpiredCookies(Platform& platform);
void DeleteCookiesAccessedBetween(Platform& platform, FileTime from, FileTime to);

// Cache content: every entry whose URL ends with exactly the text (case
// counts); every entry whose last access lies in from..to. Cookie and
// history entries of the cache are never touched.
void DeleteCacheEntriesEndingWith(Platform& platform, std::string_view ending);
void DeleteCacheEntriesAccessedBetween(Platform& platform, FileTime from, FileTime to);

// The files of the stores, for "All": the subfolders of the history and
// cache store folders with their files, and the files of the Cookies
// folder (which stays). Files lying directly in a store folder, its index
// file among them, stay. Subfolders that are junctions or links are passed
// over: their files belong somewhere else.
void ClearHistoryFolders(Platform& platform);
void ClearCookieFolder(Platform& platform);
void ClearCacheFolders(Platform& platform);

// The texts "Local links only" looks for anywhere in a history URL.
inline constexpr std::array<std::string_view, 8> kLocalLinkTexts = {
    "file://", "res://", "ms-help://", "mk:@", "hcp://", "ms-its://", "ms-itss://", "wmk:"};

// One pass of a cache category.
struct CategoryPass {
    enum class Match { Contains, EndsWith };
    Match match;
    std::string_view text;
};

// The passes of a cache category (criteria 5 to 8) in their order; empty
// for any other criterion.
std::span<const CategoryPass> CategoryPasses(uint32_t criterionCode);

// The deletions of one cleanup, by the record's kind and criterion. Returns
// the kind whose tab and list the view then shows and rebuilds, or nothing
// for a kind the view ignores. A criterion the kind does not offer deletes
// nothing.
std::optional<RecordKind> RunCleanup(Platform& platform, const CleanupCriteria& criteria);

}  // namespace qm
