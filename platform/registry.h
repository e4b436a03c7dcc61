// Port: the registry. Keys are opened with full access under one of three
// roots; values are typed bytes. A read names the size of the caller's
// buffer and fails when the value's data does not fit, as the platform does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

enum class RegistryRoot { CurrentUser, LocalMachine, ClassesRoot };

// Value types, with the platform's numbers.
enum class RegistryType : uint32_t {
    None = 0,
    String = 1,
    ExpandString = 2,
    Binary = 3,
    Dword = 4,
    MultiString = 7
};

struct RegistryValue {
    RegistryType type = RegistryType::None;
    std::string data;  // raw bytes, as stored
};

inline constexpr std::size_t kUnlimitedBuffer = static_cast<std::size_t>(-1);

class RegistryKey {
public:
    virtual ~RegistryKey() = default;

    // The value's type and bytes, or nothing when it is missing or its data
    // is larger than bufferSize bytes.
    virtual std::optional<RegistryValue> Read(std::string_view name, std::size_t bufferSize) = 0;
    virtual bool Write(std::string_view name, const RegistryValue& value) = 0;
    virtual bool DeleteValue(std::string_view name) = 0;
    virtual std::vector<std::string> ValueNames() = 0;
    virtual std::vector<std::string> SubkeyNames() = 0;

    // Typed reads and writes on top of Read and Write. The stored type is not
    // checked when reading: a DWORD read takes whatever fits in 4 bytes, and
    // a string read stops at the first NUL.
    std::optional<uint32_t> ReadDword(std::string_view name);
    std::optional<std::string> ReadString(std::string_view name, std::size_t bufferSize);
    bool WriteDword(std::string_view name, uint32_t value);
    // Stores the text with its terminating NUL counted in the length.
    bool WriteString(std::string_view name, std::string_view text);

    // ---- Multi-strings in UTF-16 ----
    // A multi-string that Windows shares between programs
    // (PendingFileRenameOperations) holds paths in every script; read or
    // written through the ANSI code page it would lose every character the
    // code page lacks. These speak its UTF-16 code units as stored: each
    // string with its NUL, then the list's closing NUL.

    // Nothing when the value is missing, is no multi-string, or holds an odd
    // number of bytes (which no list of UTF-16 strings does).
    virtual std::optional<std::u16string> ReadMultiStringUtf16(std::string_view name) = 0;
    // Stores the units as a multi-string, exactly as given.
    virtual bool WriteMultiStringUtf16(std::string_view name, std::u16string_view units) = 0;
};

class Registry {
public:
    virtual ~Registry() = default;

    virtual std::unique_ptr<RegistryKey> Open(RegistryRoot root, std::string_view path) = 0;
    // Opens the key, creating it and any missing parents.
    virtual std::unique_ptr<RegistryKey> Create(RegistryRoot root, std::string_view path) = 0;
    // Deletes a key that has no subkeys.
    virtual bool DeleteKey(RegistryRoot root, std::string_view path) = 0;
    // Deletes a key with everything under it.
    virtual bool DeleteTree(RegistryRoot root, std::string_view path) = 0;

    // ---- Absent or refused ----
    // Open answers nothing both for a key that is not there and for one the
    // caller may not open; a caller that removes keys must tell the two
    // apart, since only the first is no failure.
    enum class KeyState { Present, Absent, Refused };
    // Whether the key is there to be opened with full access. Any failure
    // other than "no such key" (access denied, a path the registry cannot
    // hold) is a refusal.
    virtual KeyState Probe(RegistryRoot root, std::string_view path) = 0;
};

}  // namespace qm
