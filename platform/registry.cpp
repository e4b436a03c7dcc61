#include "platform/registry.h"

#include <cstring>

namespace qm {

std::optional<uint32_t> RegistryKey::ReadDword(std::string_view name) {
    auto value = Read(name, sizeof(uint32_t));
    if (!value) return std::nullopt;
    unsigned char bytes[4] = {};
    std::memcpy(bytes, value->data.data(), value->data.size());
    return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24;
}

std::optional<std::string> RegistryKey::ReadString(std::string_view name, std::size_t bufferSize) {
    auto value = Read(name, bufferSize);
    if (!value) return std::nullopt;
    std::string& text = value->data;
    text.resize(std::min(text.find('\0'), text.size()));
    return std::move(text);
}

bool RegistryKey::WriteDword(std::string_view name, uint32_t value) {
    std::string data(4, '\0');
    for (int i = 0; i < 4; ++i) data[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return Write(name, RegistryValue{RegistryType::Dword, std::move(data)});
}

bool RegistryKey::WriteString(std::string_view name, std::string_view text) {
    std::string data(text);
    data.push_back('\0');
    return Write(name, RegistryValue{RegistryType::String, std::move(data)});
}

}  // namespace qm
