// The questions the cleaning commands put before they delete anything, and
// the rule for asking them: only while confirmation is on, which it is
// unless the user has switched it off in the settings.
#pragma once

#include <string_view>

#include "platform/prompts.h"
#include "platform/types.h"

namespace qm {

namespace question {
inline constexpr std::string_view kHistory = "Are you sure you want to delete Internet Explorer History?";
inline constexpr std::string_view kCookies = "Are you sure you want to delete Internet Explorer Cookies?";
inline constexpr std::string_view kCache = "Are you sure you want to delete Internet Explorer Cache?";
inline constexpr std::string_view kTypedUrls = "Are you sure you want to delete Typed URL List?";
inline constexpr std::string_view kRecentDocuments =
    "Are you sure you want to delete Desktop Recent Documents History?";
inline constexpr std::string_view kRunHistory = "Are you sure you want to delete Desktop Run History?";
}  // namespace question

// The question of a cleanup dialog.
std::string_view CleanupQuestion(RecordKind kind);

// True when the work may go ahead: at once while confirmation is off,
// otherwise only when the user answers Yes.
bool ConfirmDeletion(Prompts& prompts, bool confirm, std::string_view question);

}  // namespace qm
