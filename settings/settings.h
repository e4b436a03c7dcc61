// The band's preferences: named values of one per-user registry key. There
// is no cache shared between windows: the main view keeps a loaded copy
// (Settings), and each dialog opens the key itself when it opens.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/os_version.h"
#include "platform/registry.h"

namespace qm {

inline constexpr std::string_view kClassicSettingsPath = "Software\\QMPlugins\\Quillmere";
inline constexpr std::string_view kLowIntegritySettingsPath = "Software\\AppDataLow\\Software\\QMPlugins\\Quillmere";
// The classic key is created under this spelling; key names compare without
// case, so it is the same key.
inline constexpr std::string_view kClassicSettingsCreatePath = "SOFTWARE\\QMPlugins\\Quillmere";

// Value names and the sizes of the buffers they are read into. A value
// whose data does not fit its buffer counts as absent.
namespace setting {
inline constexpr std::string_view kDisableConfirmation = "DisableConfirmation";
inline constexpr std::string_view kDateTemplate = "DateTemplate";
inline constexpr std::string_view kSeparator = "Separator";
inline constexpr std::string_view kWhole = "Whole";
inline constexpr std::string_view kCase = "Case";
inline constexpr std::string_view kNames = "Names";
inline constexpr std::string_view kValues = "Values";
inline constexpr std::string_view kLastSearch = "LastSearch";

inline constexpr std::size_t kDateTemplateBuffer = 32;
inline constexpr std::size_t kSeparatorBuffer = 8;
inline constexpr std::size_t kLastSearchBuffer = 260;
}  // namespace setting

inline constexpr std::string_view kDefaultDateTemplate = "dd.MM.yyyy";

// Systems from major version 6 on keep the band's settings under the
// low-integrity key; an unknown version counts as older.
bool UsesLowIntegrityKey(OsVersion& osVersion);

// Opens the settings key with full access; null when it does not exist.
std::unique_ptr<RegistryKey> OpenSettingsKey(Registry& registry, bool lowIntegrity);
// Opens the key, creating it when it does not exist; null when neither works.
std::unique_ptr<RegistryKey> OpenOrCreateSettingsKey(Registry& registry, bool lowIntegrity);

// The confirmation switch as a dialog reads it when it opens: confirm unless
// the value can be read and is nonzero.
bool ReadConfirmation(RegistryKey* key);

// The main view's loaded copy.
class Settings {
public:
    explicit Settings(bool lowIntegrity) : lowIntegrity_(lowIntegrity) {}

    // Starts from the defaults and takes what the key holds.
    void Load(Registry& registry);

    bool lowIntegrity() const { return lowIntegrity_; }
    bool confirm() const { return confirm_; }
    // DateTemplate with the Separator already applied.
    const std::string& dateTemplate() const { return dateTemplate_; }

private:
    bool lowIntegrity_;
    bool confirm_ = true;
    std::string dateTemplate_{kDefaultDateTemplate};
};

// What the Options dialog shows and stores.
struct OptionsValues {
    bool disableConfirmation = false;
    std::optional<std::string> dateTemplate;  // as stored, with "."
    std::optional<std::string> separator;
};
OptionsValues ReadOptions(Registry& registry, bool lowIntegrity);
// Writes the three values; false when the key can be neither opened nor created.
bool WriteOptions(Registry& registry, bool lowIntegrity, bool disableConfirmation, std::string_view dateTemplate,
                  std::string_view separator);

// What the Find dialog shows and stores.
struct FindOptions {
    bool wholeWord = false;
    bool matchCase = false;
    bool searchNames = false;
    bool searchValues = false;
    std::string lastSearch;
};
FindOptions ReadFindOptions(Registry& registry, bool lowIntegrity);
bool WriteFindOptions(Registry& registry, bool lowIntegrity, const FindOptions& options);

// Replaces every "." of the template with the separator.
std::string ApplySeparator(std::string_view dateTemplate, std::string_view separator);

}  // namespace qm
