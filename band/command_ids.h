// The numbers of the band's menus and commands: the main menu's commands,
// which arrive as WM_COMMAND, and the items of the four context menus,
// which the view only ever receives as the result of tracking its own menu.
// The resource script carries the same numbers in resources/resource.h
// (a #define-only header, as the resource compiler needs); the window side
// checks the two against each other at compile time.
#pragma once

namespace qm {

namespace menu_id {
inline constexpr int kMain = 201;
inline constexpr int kHistoryItem = 204;  // History tab, at most one row selected
inline constexpr int kCookieItem = 206;   // Cookies tab, at most one row selected
inline constexpr int kCacheItem = 208;    // Cache tab, at most one row selected
inline constexpr int kSelection = 131;    // any tab, two or more rows selected
}  // namespace menu_id

// The tab control's id among the view's children.
inline constexpr int kTabControlId = 778;

namespace command {
// File
inline constexpr int kRefresh = 32768;
inline constexpr int kSaveHistory = 32779;
inline constexpr int kSaveCookieList = 32780;
inline constexpr int kSaveCacheList = 32804;
// File, Advanced
inline constexpr int kOpenIndexFile = 32777;
inline constexpr int kSearchIndexFiles = 32807;
inline constexpr int kOpenHistoryIndex = 32802;
inline constexpr int kOpenCookiesIndex = 32778;
inline constexpr int kOpenCacheIndex = 32803;
// Clean
inline constexpr int kCleanHistory = 32771;
inline constexpr int kCleanCookies = 32781;
inline constexpr int kCleanCache = 32783;
inline constexpr int kCleanIndexFiles = 32786;
inline constexpr int kClearTypedUrls = 32784;
inline constexpr int kClearRecentDocuments = 32785;
inline constexpr int kClearRunHistory = 32806;
// Edit
inline constexpr int kSelectAll = 32805;
inline constexpr int kFindOnTab = 32776;
// Settings
inline constexpr int kOptions = 32772;
// Help
inline constexpr int kWebPage = 40013;
inline constexpr int kAbout = 32769;
}  // namespace command

namespace item {
// History (menu 204)
inline constexpr int kOpenHistoryUrl = 32788;
inline constexpr int kCopyHistoryUrl = 32775;
inline constexpr int kDeleteHistoryUrl = 32773;
inline constexpr int kAddToFavorites = 32782;
// Cookies (menu 206)
inline constexpr int kOpenCookieUrl = 32792;
inline constexpr int kCopyCookieUrl = 32793;
inline constexpr int kDeleteCookie = 32794;
inline constexpr int kViewCookieDetails = 32795;
inline constexpr int kCookieProperties = 32796;
// Cache (menu 208)
inline constexpr int kOpenCacheUrl = 32797;
inline constexpr int kCopyCacheUrl = 32798;
inline constexpr int kDeleteCacheEntry = 32799;
inline constexpr int kOpenCacheFile = 32800;
inline constexpr int kCacheProperties = 32801;
// Any tab (menu 131)
inline constexpr int kDeleteSelectedItems = 32791;
}  // namespace item

}  // namespace qm
