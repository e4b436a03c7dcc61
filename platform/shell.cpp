#include "platform/shell.h"

namespace qm {
namespace {

void AppendValue(std::string& text, std::string_view key, std::string_view value) {
    text.append(key).push_back('=');
    for (char c : value) text.push_back(c == '\r' || c == '\n' ? ' ' : c);
    text.push_back('\n');
}

}  // namespace

std::string InternetShortcutText(const InternetShortcut& shortcut) {
    std::string text = "[InternetShortcut]\n";
    AppendValue(text, "URL", shortcut.url);
    if (!shortcut.iconFile.empty()) {
        AppendValue(text, "IconFile", shortcut.iconFile);
        AppendValue(text, "IconIndex", "0");
    }
    AppendValue(text, "Description", shortcut.description);
    return text;
}

}  // namespace qm
