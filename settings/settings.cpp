#include "settings/settings.h"

namespace qm {
namespace {

std::string_view SettingsPath(bool lowIntegrity) {
    return lowIntegrity ? kLowIntegritySettingsPath : kClassicSettingsPath;
}

bool ReadFlag(RegistryKey& key, std::string_view name) {
    auto value = key.ReadDword(name);
    return value && *value != 0;
}

}  // namespace

bool UsesLowIntegrityKey(OsVersion& osVersion) {
    auto major = osVersion.MajorVersion();
    return major && *major >= 6;
}

std::unique_ptr<RegistryKey> OpenSettingsKey(Registry& registry, bool lowIntegrity) {
    return registry.Open(RegistryRoot::CurrentUser, SettingsPath(lowIntegrity));
}

std::unique_ptr<RegistryKey> OpenOrCreateSettingsKey(Registry& registry, bool lowIntegrity) {
    if (auto key = OpenSettingsKey(registry, lowIntegrity)) return key;
    return registry.Create(RegistryRoot::CurrentUser,
                           lowIntegrity ? kLowIntegritySettingsPath : kClassicSettingsCreatePath);
}

bool ReadConfirmation(RegistryKey* key) { return !(key && ReadFlag(*key, setting::kDisableConfirmation)); }

std::string ApplySeparator(std::string_view dateTemplate, std::string_view separator) {
    std::string out;
    for (char c : dateTemplate) {
        if (c == '.')
            out.append(separator);
        else
            out.push_back(c);
    }
    return out;
}

void Settings::Load(Registry& registry) {
    confirm_ = true;
    dateTemplate_ = std::string(kDefaultDateTemplate);
    auto key = OpenSettingsKey(registry, lowIntegrity_);
    if (!key) return;
    if (auto stored = key->ReadString(setting::kDateTemplate, setting::kDateTemplateBuffer)) dateTemplate_ = *stored;
    if (auto separator = key->ReadString(setting::kSeparator, setting::kSeparatorBuffer))
        dateTemplate_ = ApplySeparator(dateTemplate_, *separator);
    if (auto disabled = key->ReadDword(setting::kDisableConfirmation)) confirm_ = *disabled == 0;
}

OptionsValues ReadOptions(Registry& registry, bool lowIntegrity) {
    OptionsValues values;
    auto key = OpenSettingsKey(registry, lowIntegrity);
    if (!key) return values;
    values.dateTemplate = key->ReadString(setting::kDateTemplate, setting::kDateTemplateBuffer);
    values.separator = key->ReadString(setting::kSeparator, setting::kSeparatorBuffer);
    values.disableConfirmation = ReadFlag(*key, setting::kDisableConfirmation);
    return values;
}

bool WriteOptions(Registry& registry, bool lowIntegrity, bool disableConfirmation, std::string_view dateTemplate,
                  std::string_view separator) {
    auto key = OpenOrCreateSettingsKey(registry, lowIntegrity);
    if (!key) return false;
    // The texts are cut to what their read buffers hold, so that what is
    // written can always be read back.
    key->WriteDword(setting::kDisableConfirmation, disableConfirmation ? 1 : 0);
    key->WriteString(setting::kDateTemplate, dateTemplate.substr(0, setting::kDateTemplateBuffer - 1));
    key->WriteString(setting::kSeparator, separator.substr(0, setting::kSeparatorBuffer - 1));
    return true;
}

FindOptions ReadFindOptions(Registry& registry, bool lowIntegrity) {
    FindOptions options;
    auto key = OpenSettingsKey(registry, lowIntegrity);
    if (!key) return options;
    options.wholeWord = ReadFlag(*key, setting::kWhole);
    options.matchCase = ReadFlag(*key, setting::kCase);
    options.searchNames = ReadFlag(*key, setting::kNames);
    options.searchValues = ReadFlag(*key, setting::kValues);
    if (auto text = key->ReadString(setting::kLastSearch, setting::kLastSearchBuffer)) options.lastSearch = *text;
    return options;
}

bool WriteFindOptions(Registry& registry, bool lowIntegrity, const FindOptions& options) {
    auto key = OpenOrCreateSettingsKey(registry, lowIntegrity);
    if (!key) return false;
    key->WriteDword(setting::kWhole, options.wholeWord ? 1 : 0);
    key->WriteDword(setting::kCase, options.matchCase ? 1 : 0);
    key->WriteDword(setting::kNames, options.searchNames ? 1 : 0);
    key->WriteDword(setting::kValues, options.searchValues ? 1 : 0);
    key->WriteString(setting::kLastSearch,
                     std::string_view(options.lastSearch).substr(0, setting::kLastSearchBuffer - 1));
    return true;
}

}  // namespace qm
