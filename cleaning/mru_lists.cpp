#include "cleaning/mru_lists.h"

#include <string>
#include <vector>

#include "cleaning/confirmation.h"

namespace qm {
namespace {

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

bool IsTypedUrlName(std::string_view name) {
    if (name.size() < 4) return false;
    if (LowerAscii(name[0]) != 'u' || LowerAscii(name[1]) != 'r' || LowerAscii(name[2]) != 'l') return false;
    const std::string_view number = name.substr(3);
    if (number[0] == '0') return false;
    for (char c : number) {
        if (!IsDigit(c)) return false;
    }
    return true;
}

void ClearTypedUrls(Platform& platform, bool confirm) {
    if (!ConfirmDeletion(platform.prompts, confirm, question::kTypedUrls)) return;
    auto key = platform.registry.Open(RegistryRoot::CurrentUser, kTypedUrlsKey);
    if (!key) return;
    // Every numbered value goes, not only the unbroken run from "url1": an
    // address after a gap is as private as the others.
    for (const std::string& name : key->ValueNames()) {
        if (IsTypedUrlName(name)) key->DeleteValue(name);
    }
}

void ClearRecentDocuments(Platform& platform, bool confirm) {
    if (!ConfirmDeletion(platform.prompts, confirm, question::kRecentDocuments)) return;
    platform.shell.ClearRecentDocuments();
}

void ClearRunHistory(Platform& platform, bool confirm) {
    if (!ConfirmDeletion(platform.prompts, confirm, question::kRunHistory)) return;
    auto key = platform.registry.Open(RegistryRoot::CurrentUser, kRunMruKey);
    if (!key) return;
    for (char letter = 'a'; letter <= 'z'; ++letter) key->DeleteValue(std::string(1, letter));
    key->DeleteValue("MRUList");
}

}  // namespace qm
