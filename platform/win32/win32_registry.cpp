#include "platform/win32/win32_registry.h"

#include <shlwapi.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/c_string.h"
#include "platform/win32/unique_handle.h"

namespace qm {
namespace {

struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using UniqueHkey = UniqueHandle<HKEY, KeyCloser>;

// The platform's limits on name lengths, terminating NUL included.
constexpr DWORD kValueNameBuffer = 16384;
constexpr DWORD kKeyNameBuffer = 256;

// Reads larger than this are made by asking for the value's size first, so
// that a caller's generous limit never becomes an allocation of that size.
constexpr std::size_t kLargestPreparedBuffer = 1 << 20;

// A UTF-16 multi-string larger than this is not believed: no real list of
// pending operations comes near it.
constexpr DWORD kLargestMultiString = 16u << 20;

// A value name for the "W" functions, converted from the ANSI code page.
std::optional<std::wstring> WideName(std::string_view name) {
    const auto text = ToCString(name);
    if (!text) return std::nullopt;
    if (text->empty()) return std::wstring();
    const int length = MultiByteToWideChar(CP_ACP, 0, text->c_str(), -1, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (MultiByteToWideChar(CP_ACP, 0, text->c_str(), -1, wide.data(), length) != length) return std::nullopt;
    wide.resize(static_cast<std::size_t>(length - 1));
    return wide;
}

HKEY RootKey(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::CurrentUser:
            return HKEY_CURRENT_USER;
        case RegistryRoot::LocalMachine:
            return HKEY_LOCAL_MACHINE;
        case RegistryRoot::ClassesRoot:
            return HKEY_CLASSES_ROOT;
    }
    return nullptr;
}

class Win32RegistryKey final : public RegistryKey {
public:
    explicit Win32RegistryKey(UniqueHkey key) : key_(std::move(key)) {}

    std::optional<RegistryValue> Read(std::string_view name, std::size_t bufferSize) override {
        const auto text = ToCString(name);
        if (!text) return std::nullopt;
        if (bufferSize > kLargestPreparedBuffer) return ReadWhole(*text, bufferSize);
        return ReadInto(*text, static_cast<DWORD>(bufferSize));
    }

    bool Write(std::string_view name, const RegistryValue& value) override {
        const auto text = ToCString(name);
        if (!text || value.data.size() > MAXDWORD) return false;
        return RegSetValueExA(key_.get(), text->c_str(), 0, static_cast<DWORD>(value.type),
                              reinterpret_cast<const BYTE*>(value.data.data()),
                              static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
    }

    bool DeleteValue(std::string_view name) override {
        const auto text = ToCString(name);
        return text && RegDeleteValueA(key_.get(), text->c_str()) == ERROR_SUCCESS;
    }

    // The "W" functions hand the units over untouched. The size is asked
    // first; a value that grows in between is asked for again.
    std::optional<std::u16string> ReadMultiStringUtf16(std::string_view name) override {
        const auto wide = WideName(name);
        if (!wide) return std::nullopt;
        static_assert(sizeof(wchar_t) == sizeof(char16_t));
        for (int attempt = 0; attempt < 4; ++attempt) {
            DWORD type = REG_NONE;
            DWORD size = 0;
            if (RegQueryValueExW(key_.get(), wide->c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
                return std::nullopt;
            if (type != REG_MULTI_SZ || size % 2 != 0 || size > kLargestMultiString) return std::nullopt;
            std::u16string units(size / 2 + 1, u'\0');
            DWORD read = static_cast<DWORD>(units.size() * 2);
            const LSTATUS status = RegQueryValueExW(key_.get(), wide->c_str(), nullptr, &type,
                                                    reinterpret_cast<BYTE*>(units.data()), &read);
            if (status == ERROR_MORE_DATA) continue;
            if (status != ERROR_SUCCESS || type != REG_MULTI_SZ || read % 2 != 0 || read / 2 > units.size())
                return std::nullopt;
            units.resize(read / 2);
            return units;
        }
        return std::nullopt;
    }

    bool WriteMultiStringUtf16(std::string_view name, std::u16string_view units) override {
        const auto wide = WideName(name);
        if (!wide || units.size() > kLargestMultiString / 2) return false;
        return RegSetValueExW(key_.get(), wide->c_str(), 0, REG_MULTI_SZ,
                              reinterpret_cast<const BYTE*>(units.data()),
                              static_cast<DWORD>(units.size() * 2)) == ERROR_SUCCESS;
    }

    std::vector<std::string> ValueNames() override {
        return Names(kValueNameBuffer, [this](DWORD index, char* name, DWORD* length) {
            return RegEnumValueA(key_.get(), index, name, length, nullptr, nullptr, nullptr, nullptr);
        });
    }

    std::vector<std::string> SubkeyNames() override {
        return Names(kKeyNameBuffer, [this](DWORD index, char* name, DWORD* length) {
            return RegEnumKeyExA(key_.get(), index, name, length, nullptr, nullptr, nullptr, nullptr);
        });
    }

private:
    // A read into a buffer of the caller's size: data that does not fit
    // fails the read, as the platform fails it.
    std::optional<RegistryValue> ReadInto(const std::string& name, DWORD bufferSize) {
        std::string data(bufferSize, '\0');
        DWORD type = REG_NONE;
        DWORD size = bufferSize;
        if (RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                             &size) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        data.resize(std::min<std::size_t>(size, bufferSize));
        return RegistryValue{static_cast<RegistryType>(type), std::move(data)};
    }

    // A read of whatever size the value has (up to limit bytes): its size
    // first, then the data into a buffer one byte longer. A value that grows
    // in between is asked for again.
    std::optional<RegistryValue> ReadWhole(const std::string& name, std::size_t limit) {
        for (int attempt = 0; attempt < 4; ++attempt) {
            DWORD size = 0;
            if (RegQueryValueExA(key_.get(), name.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
                return std::nullopt;
            if (size > limit || size >= MAXDWORD) return std::nullopt;
            const DWORD bufferSize = size + 1;
            std::string data(bufferSize, '\0');
            DWORD type = REG_NONE;
            DWORD read = bufferSize;
            const LSTATUS status = RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type,
                                                    reinterpret_cast<BYTE*>(data.data()), &read);
            if (status == ERROR_MORE_DATA) continue;
            if (status != ERROR_SUCCESS || read > limit) return std::nullopt;
            data.resize(std::min<std::size_t>(read, bufferSize));
            return RegistryValue{static_cast<RegistryType>(type), std::move(data)};
        }
        return std::nullopt;
    }

    // Enumerates names by index until the platform has no more. A name that
    // does not fit even the platform's largest is passed over.
    template <typename EnumerateOne>
    static std::vector<std::string> Names(DWORD bufferSize, EnumerateOne enumerateOne) {
        std::vector<std::string> names;
        std::string buffer(bufferSize, '\0');
        for (DWORD index = 0;; ++index) {
            DWORD length = bufferSize;
            const LSTATUS status = enumerateOne(index, buffer.data(), &length);
            if (status == ERROR_MORE_DATA) continue;
            if (status != ERROR_SUCCESS) break;
            names.emplace_back(buffer.data(), std::min(length, bufferSize - 1));
        }
        return names;
    }

    UniqueHkey key_;
};

}  // namespace

std::unique_ptr<RegistryKey> Win32Registry::Open(RegistryRoot root, std::string_view path) {
    const auto text = ToCString(path);
    if (!text) return nullptr;
    UniqueHkey key;
    if (RegOpenKeyExA(RootKey(root), text->c_str(), 0, KEY_ALL_ACCESS, key.put()) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<Win32RegistryKey>(std::move(key));
}

std::unique_ptr<RegistryKey> Win32Registry::Create(RegistryRoot root, std::string_view path) {
    const auto text = ToCString(path);
    if (!text) return nullptr;
    UniqueHkey key;
    if (RegCreateKeyExA(RootKey(root), text->c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
        return nullptr;
    }
    return std::make_unique<Win32RegistryKey>(std::move(key));
}

bool Win32Registry::DeleteKey(RegistryRoot root, std::string_view path) {
    const auto text = ToCString(path);
    return text && !text->empty() && RegDeleteKeyA(RootKey(root), text->c_str()) == ERROR_SUCCESS;
}

bool Win32Registry::DeleteTree(RegistryRoot root, std::string_view path) {
    const auto text = ToCString(path);
    return text && !text->empty() && SHDeleteKeyA(RootKey(root), text->c_str()) == ERROR_SUCCESS;
}

// ---- Absent or refused ----

Registry::KeyState Win32Registry::Probe(RegistryRoot root, std::string_view path) {
    const auto text = ToCString(path);
    if (!text) return KeyState::Refused;
    UniqueHkey key;
    const LSTATUS status = RegOpenKeyExA(RootKey(root), text->c_str(), 0, KEY_ALL_ACCESS, key.put());
    if (status == ERROR_SUCCESS) return KeyState::Present;
    return status == ERROR_FILE_NOT_FOUND ? KeyState::Absent : KeyState::Refused;
}

}  // namespace qm
