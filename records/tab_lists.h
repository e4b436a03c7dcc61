// The three lists of the view as the browser's stores fill them: each
// kind's columns, one row per record with its texts, icon, date texts and
// sort keys, and the record-count line the browser's status bar shows.
//
// Everything here works on a ListModel and the ports; nothing paints and
// nothing talks to the browser. The main view clears a list, adds its
// columns, fills it and then puts the status text through its browser.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "platform/types.h"
#include "settings/date_formatter.h"
#include "widgets/list_model.h"

namespace qm {

// The row images of the strip shared by the three lists.
namespace row_image {
inline constexpr int kHistory = 0;
inline constexpr int kCookie = 1;
inline constexpr int kPage = 2;     // local file ".htm"
inline constexpr int kSecure = 3;   // address "https:"
inline constexpr int kPicture = 4;  // ".gif" ".bmp" ".jpg" ".jpeg" ".png"
inline constexpr int kScript = 5;   // ".js"
inline constexpr int kStyle = 6;    // ".css"
inline constexpr int kMedia = 7;    // ".avi" ".mp3" ".mid" ".au"
inline constexpr int kOther = 8;
}  // namespace row_image

// The "Size" column's format value; it has no alignment bit, so the
// column is drawn left-aligned.
inline constexpr int kSizeColumnFormat = 1;

// Column titles the item commands look cells up by.
inline constexpr std::string_view kUrlColumnTitle = "URL";
inline constexpr std::string_view kFileColumnTitle = "File";
inline constexpr std::string_view kTitleColumnTitle = "Title";

inline constexpr std::string_view kUntitled = "Untitled";

// Adds the kind's columns, in order, to a list without columns:
//   History          "Title" 250, "URL" 330, "Last Visited", "Last Updated", "Expires" 100
//   Cookies, Cache   "File" 300, "URL" 250, "Size" 50, "Hits" 50, then the same three dates
// Texts left-aligned, "Hits" and the dates centred.
void AddTabListColumns(ListModel& list, RecordKind kind);

// The image of a Cache row. The tests run in this order on lower-case
// copies, each a substring test anywhere in the text, and the first that
// matches wins: so x.json is a script and page.html on "https:" a page.
int CacheRowImage(std::string_view localFile, std::string_view url, TextCodec& codec);

// The cookie's address as the list shows it: what follows the first
// "Cookie:", or the whole name when it has none.
std::string_view CookieUrlText(std::string_view url);

// The record-count line of the kind, e.g. "Internet Explorer Cache
// contains: 12 items".
std::string StatusText(RecordKind kind, std::size_t count);

// Each appends its kind's rows to the list, which the caller has cleared or
// which is empty, in the order the store gives the records. A row the list
// refuses is skipped. Cookies and Cache rows keep the entry's full name as
// the platform gave it as their row text (ListRow::text). FillHistoryList
// returns false, adding nothing, when the history service cannot be opened;
// the status text then stays as it was.
bool FillHistoryList(ListModel& list, Platform& platform, const DateFormatter& formatter);
void FillCookieList(ListModel& list, Platform& platform, const DateFormatter& formatter);
// Cookie and history entries of the cache are never listed here.
void FillCacheList(ListModel& list, Platform& platform, const DateFormatter& formatter);

// The start-up fill of both cache lists, as FillCookieList and
// FillCacheList fill them. The lists are not cleared first.
void FillCacheAndCookieLists(ListModel& cookies, ListModel& cache, Platform& platform,
                             const DateFormatter& formatter);

}  // namespace qm
