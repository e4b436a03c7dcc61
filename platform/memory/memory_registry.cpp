// The memory registry: one tree of keys per root. Names of keys and values
// compare without case and keep the spelling they were created with. A key
// handle shares ownership of its key, so deleting a key while a handle is
// open leaves the handle pointing at a key marked deleted, on which every
// operation fails, as the platform answers a handle to a deleted key.
//
// Multi-strings are kept as Windows keeps them, in UTF-16 (little-endian
// code units in the value's bytes). The ANSI calls convert on the way, as
// the platform's do, through the code page of the first 256 code points
// (ISO 8859-1): every byte survives an ANSI round trip, and a character
// outside that page reads back as "?".
#include <algorithm>
#include <cctype>
#include <memory>
#include <utility>

#include "platform/memory/memory_platform.h"

namespace qm {

// The slot of one root. The keys themselves are shared with open handles.
struct MemoryRegistry::Node {
    struct Key {
        std::string name;
        bool deleted = false;
        std::vector<std::pair<std::string, RegistryValue>> values;  // in the order of creation
        std::vector<std::shared_ptr<Key>> subkeys;
    };

    std::shared_ptr<Key> key = std::make_shared<Key>();
};

namespace {

using Key = MemoryRegistry::Node::Key;

// The platform limits a key name to 255 characters.
constexpr std::size_t kMaxKeyNameLength = 255;

char FoldCase(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return FoldCase(x) == FoldCase(y); });
}

bool NameLess(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(FoldCase(x)) < static_cast<unsigned char>(FoldCase(y));
    });
}

// Splits "A\B\C" into its parts. A single trailing "\" is allowed; an empty
// part elsewhere ("\A", "A\\B") or an over-long name makes the path invalid.
// The empty path names the root itself.
std::optional<std::vector<std::string_view>> SplitPath(std::string_view path) {
    std::vector<std::string_view> parts;
    if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    if (path.empty()) return parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        std::string_view part = path.substr(start, end - start);
        if (part.empty() || part.size() > kMaxKeyNameLength) return std::nullopt;
        parts.push_back(part);
        if (end == path.size()) break;
        start = end + 1;
    }
    return parts;
}

std::shared_ptr<Key> FindSubkey(const Key& parent, std::string_view name) {
    for (const auto& subkey : parent.subkeys)
        if (SameName(subkey->name, name)) return subkey;
    return nullptr;
}

std::string Utf16Bytes(std::u16string_view units) {
    std::string bytes;
    bytes.reserve(units.size() * 2);
    for (char16_t unit : units) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

std::u16string Utf16Units(std::string_view bytes) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2)
        units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[at]) |
                                              static_cast<unsigned char>(bytes[at + 1]) << 8));
    return units;
}

// A value as stored, from a value as the ANSI calls give it.
RegistryValue Stored(const RegistryValue& value) {
    if (value.type != RegistryType::MultiString) return value;
    std::u16string units;
    units.reserve(value.data.size());
    for (char c : value.data) units.push_back(static_cast<unsigned char>(c));
    return RegistryValue{value.type, Utf16Bytes(units)};
}

// A stored value as the ANSI calls read it.
RegistryValue Narrowed(const RegistryValue& stored) {
    if (stored.type != RegistryType::MultiString) return stored;
    std::string text;
    for (char16_t unit : Utf16Units(stored.data))
        text.push_back(unit <= 0xFF ? static_cast<char>(unit) : '?');
    return RegistryValue{stored.type, std::move(text)};
}

void MarkDeleted(Key& key) {
    key.deleted = true;
    for (auto& subkey : key.subkeys) MarkDeleted(*subkey);
    key.subkeys.clear();
    key.values.clear();
}

class MemoryRegistryKey final : public RegistryKey {
public:
    explicit MemoryRegistryKey(std::shared_ptr<Key> key) : key_(std::move(key)) {}

    std::optional<RegistryValue> Read(std::string_view name, std::size_t bufferSize) override {
        const auto* entry = FindValue(name);
        if (!entry) return std::nullopt;
        RegistryValue value = Narrowed(entry->second);
        if (value.data.size() > bufferSize) return std::nullopt;
        return value;
    }

    bool Write(std::string_view name, const RegistryValue& value) override {
        return Store(name, Stored(value));
    }

    std::optional<std::u16string> ReadMultiStringUtf16(std::string_view name) override {
        const auto* entry = FindValue(name);
        if (!entry || entry->second.type != RegistryType::MultiString) return std::nullopt;
        return Utf16Units(entry->second.data);
    }

    bool WriteMultiStringUtf16(std::string_view name, std::u16string_view units) override {
        return Store(name, RegistryValue{RegistryType::MultiString, Utf16Bytes(units)});
    }

    bool DeleteValue(std::string_view name) override {
        if (key_->deleted) return false;
        auto& values = key_->values;
        auto it = std::find_if(values.begin(), values.end(),
                               [&](const auto& entry) { return SameName(entry.first, name); });
        if (it == values.end()) return false;
        values.erase(it);
        return true;
    }

    std::vector<std::string> ValueNames() override {
        std::vector<std::string> names;
        if (key_->deleted) return names;
        for (const auto& entry : key_->values) names.push_back(entry.first);
        return names;
    }

    // Subkeys come back in the platform's order: sorted without case.
    std::vector<std::string> SubkeyNames() override {
        std::vector<std::string> names;
        if (key_->deleted) return names;
        for (const auto& subkey : key_->subkeys) names.push_back(subkey->name);
        std::sort(names.begin(), names.end(), NameLess);
        return names;
    }

private:
    bool Store(std::string_view name, RegistryValue stored) {
        if (key_->deleted) return false;
        if (auto* entry = FindValue(name)) {
            entry->second = std::move(stored);  // the name keeps its first spelling
        } else {
            key_->values.emplace_back(std::string(name), std::move(stored));
        }
        return true;
    }

    std::pair<std::string, RegistryValue>* FindValue(std::string_view name) {
        if (key_->deleted) return nullptr;
        for (auto& entry : key_->values)
            if (SameName(entry.first, name)) return &entry;
        return nullptr;
    }

    std::shared_ptr<Key> key_;
};

// The top key of a root; nothing for a value outside the enumeration.
template <std::size_t N>
std::shared_ptr<Key> RootKey(const std::unique_ptr<MemoryRegistry::Node> (&roots)[N], RegistryRoot root) {
    const auto index = static_cast<std::size_t>(root);
    return index < N ? roots[index]->key : nullptr;
}

std::shared_ptr<Key> Walk(const std::shared_ptr<Key>& root, const std::vector<std::string_view>& parts) {
    std::shared_ptr<Key> key = root;
    if (!key) return nullptr;
    for (std::string_view part : parts) {
        key = FindSubkey(*key, part);
        if (!key) return nullptr;
    }
    return key;
}

// Removes the key at the end of the path from its parent; with keepIfParent
// a key that still has subkeys is left alone. The roots cannot be deleted.
bool Remove(const std::shared_ptr<Key>& root, std::string_view path, bool keepIfParent) {
    auto parts = SplitPath(path);
    if (!parts || parts->empty()) return false;
    const std::string_view last = parts->back();
    parts->pop_back();
    auto parent = Walk(root, *parts);
    if (!parent) return false;
    auto& siblings = parent->subkeys;
    auto it = std::find_if(siblings.begin(), siblings.end(),
                           [&](const auto& subkey) { return SameName(subkey->name, last); });
    if (it == siblings.end()) return false;
    if (keepIfParent && !(*it)->subkeys.empty()) return false;
    std::shared_ptr<Key> removed = *it;
    siblings.erase(it);
    MarkDeleted(*removed);
    return true;
}

}  // namespace

MemoryRegistry::MemoryRegistry() {
    for (auto& root : roots_) root = std::make_unique<Node>();
}

MemoryRegistry::~MemoryRegistry() = default;

std::unique_ptr<RegistryKey> MemoryRegistry::Open(RegistryRoot root, std::string_view path) {
    auto parts = SplitPath(path);
    if (!parts || Refuses(root, path, false)) return nullptr;
    auto key = Walk(RootKey(roots_, root), *parts);
    if (!key) return nullptr;
    return std::make_unique<MemoryRegistryKey>(std::move(key));
}

std::unique_ptr<RegistryKey> MemoryRegistry::Create(RegistryRoot root, std::string_view path) {
    if (createFails_) return nullptr;
    auto parts = SplitPath(path);
    if (!parts || Refuses(root, path, false)) return nullptr;
    std::shared_ptr<Key> key = RootKey(roots_, root);
    if (!key) return nullptr;
    for (std::string_view part : *parts) {
        auto subkey = FindSubkey(*key, part);
        if (!subkey) {
            subkey = std::make_shared<Key>();
            subkey->name = std::string(part);
            key->subkeys.push_back(subkey);
        }
        key = std::move(subkey);
    }
    return std::make_unique<MemoryRegistryKey>(std::move(key));
}

bool MemoryRegistry::DeleteKey(RegistryRoot root, std::string_view path) {
    if (Refuses(root, path, true)) return false;
    return Remove(RootKey(roots_, root), path, true);
}

bool MemoryRegistry::DeleteTree(RegistryRoot root, std::string_view path) {
    if (Refuses(root, path, true)) return false;
    return Remove(RootKey(roots_, root), path, false);
}

// ---- Absent or refused ----

MemoryRegistry::KeyState MemoryRegistry::Probe(RegistryRoot root, std::string_view path) {
    const auto parts = SplitPath(path);
    if (!parts || Refuses(root, path, false)) return KeyState::Refused;
    return Walk(RootKey(roots_, root), *parts) ? KeyState::Present : KeyState::Absent;
}

void MemoryRegistry::Refuse(RegistryRoot root, std::string_view path) {
    refused_.emplace_back(root, std::string(path));
}

bool MemoryRegistry::Refuses(RegistryRoot root, std::string_view path, bool orBelow) const {
    const auto parts = SplitPath(path);
    if (!parts) return false;
    // True when `prefix` names the same keys as the start of `whole`.
    const auto leads = [](const std::vector<std::string_view>& prefix,
                          const std::vector<std::string_view>& whole) {
        return prefix.size() <= whole.size() &&
               std::equal(prefix.begin(), prefix.end(), whole.begin(), SameName);
    };
    for (const auto& [refusedRoot, refusedPath] : refused_) {
        const auto refused = SplitPath(refusedPath);
        if (refusedRoot != root || !refused) continue;
        if (leads(*refused, *parts) || (orBelow && leads(*parts, *refused))) return true;
    }
    return false;
}

}  // namespace qm
