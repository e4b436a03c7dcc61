// A registry subtree as a sorted set of lines, for comparing what the band
// wrote with what it should have: "Key\Sub" for each key and
// "Key\Sub|Name=data" for each value (strings without their NUL; the
// default value has an empty name).
#pragma once

#include <set>
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace qm {

inline void DumpKey(Registry& registry, RegistryRoot root, const std::string& path,
                    std::set<std::string>& lines) {
    const auto key = registry.Open(root, path);
    if (!key) return;
    lines.insert(path);
    for (const std::string& name : key->ValueNames()) {
        const auto value = key->Read(name, kUnlimitedBuffer);
        std::string data = value ? value->data : "<unreadable>";
        if (!data.empty() && data.back() == '\0') data.pop_back();
        lines.insert(path + "|" + name + "=" + data);
    }
    for (const std::string& sub : key->SubkeyNames()) DumpKey(registry, root, path + "\\" + sub, lines);
}

inline std::set<std::string> DumpTree(Registry& registry, RegistryRoot root, const std::string& path) {
    std::set<std::string> lines;
    DumpKey(registry, root, path, lines);
    return lines;
}

}  // namespace qm
