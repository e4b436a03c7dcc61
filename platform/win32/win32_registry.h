// Registry on the Windows registry. Keys are opened and created with full
// access; a key object owns its HKEY and closes it when it goes.
#pragma once

#include <memory>
#include <string_view>

#include "platform/registry.h"

namespace qm {

class Win32Registry final : public Registry {
public:
    std::unique_ptr<RegistryKey> Open(RegistryRoot root, std::string_view path) override;
    std::unique_ptr<RegistryKey> Create(RegistryRoot root, std::string_view path) override;
    // Both deletions refuse an empty path: it names the root itself.
    bool DeleteKey(RegistryRoot root, std::string_view path) override;
    bool DeleteTree(RegistryRoot root, std::string_view path) override;

    // ---- Absent or refused ----
    // Absent only for "file not found"; access denied, among others, is a
    // refusal.
    KeyState Probe(RegistryRoot root, std::string_view path) override;
};

}  // namespace qm
