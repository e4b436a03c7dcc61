#include "installer/installer_registry.h"

#include "reports/html_report.h"

namespace qm {
namespace {

// The installer's name of a registry root.
std::string_view RootName(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::ClassesRoot:
            return "HKCR";
        case RegistryRoot::CurrentUser:
            return "HKCU";
        case RegistryRoot::LocalMachine:
            return "HKLM";
    }
    return "HKLM";
}

// An identifier: a letter or underscore, then letters, digits, underscores
// and periods, as the installer's tables require.
bool IsIdentifier(std::string_view id) {
    const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    if (id.empty() || !letter(id.front())) return false;
    for (char c : id)
        if (!letter(c) && !(c >= '0' && c <= '9') && c != '.') return false;
    return true;
}

// Literal text inside an installer formatted string: a square bracket
// would start a property reference, so each is written as [\[] or [\]].
// A brace pair without brackets inside stays as it is (GUIDs).
std::string Formatted(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '[' || c == ']') {
            out += "[\\";
            out.push_back(c);
            out.push_back(']');
        } else {
            out.push_back(c);
        }
    }
    return out;
}

void AppendRow(std::string& out, std::string_view indent, RegistryRoot root, std::string_view key,
               std::string_view name, std::string_view value) {
    // An XML attribute escapes the same four characters as HTML text.
    out.append(indent).append("<RegistryValue Root=\"").append(RootName(root)).append("\" Key=\"");
    out.append(EscapeHtml(key)).append("\"");
    if (!name.empty()) out.append(" Name=\"").append(EscapeHtml(name)).append("\"");
    out.append(" Type=\"string\" Value=\"").append(EscapeHtml(value)).append("\"/>\n");
}

}  // namespace

std::string InstallerRegistryRows(std::span<const RegistrationEntry> table, std::string_view fileId,
                                  std::string_view indent) {
    if (!IsIdentifier(fileId)) return {};
    const std::string module = "[#" + std::string(fileId) + "]";
    std::string out;
    for (const RegistrationEntry& entry : table) {
        if (entry.rule == KeyRule::Keep) continue;
        if (entry.rule == KeyRule::Force) AppendRow(out, indent, entry.root, entry.key, "*", "");
        if (!entry.hasValue) continue;
        // The module's reference is put in after the data is made literal.
        std::string data;
        std::string_view rest = entry.data;
        for (std::size_t at; (at = rest.find("%MODULE%")) != std::string_view::npos;
             rest.remove_prefix(at + 8)) {
            data += Formatted(rest.substr(0, at));
            data += module;
        }
        data += Formatted(rest);
        // An empty name is the key's default value, which WiX writes when
        // the name is left out.
        AppendRow(out, indent, entry.root, entry.key, Formatted(entry.valueName), data);
    }
    AppendRow(out, indent, RegistryRoot::ClassesRoot, kBandCategoryKey, "*", "");
    return out;
}

}  // namespace qm
