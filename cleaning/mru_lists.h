// The lists the browser and the desktop keep outside the URL cache: the
// addresses typed into the address bar, the Recent Documents list and the
// Run dialog's history. Each command asks its question while confirmation
// is on (the main view's loaded setting) and then clears its list; nothing
// is reported and no list of the view changes.
#pragma once

#include <string_view>

#include "platform/platform.h"

namespace qm {

inline constexpr std::string_view kTypedUrlsKey = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
inline constexpr std::string_view kRunMruKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";

// True for the name of a typed address: "url" and a decimal number
// without leading zeros ("url1", "url25"), letters in any case as the
// registry compares names.
bool IsTypedUrlName(std::string_view name);

// Deletes every typed address, however the numbers run; other values of
// the key stay.
void ClearTypedUrls(Platform& platform, bool confirm);
void ClearRecentDocuments(Platform& platform, bool confirm);
// Deletes the values "a" to "z" and "MRUList" of the Run history; values
// with other names and the key itself stay.
void ClearRunHistory(Platform& platform, bool confirm);

}  // namespace qm
