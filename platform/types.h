// The plain values that the core and the ports speak: times, fixed-size
// text, status codes and the three record kinds. Nothing here reaches the
// operating system.
#pragma once

#include <algorithm>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace qm {

// A moment as the platform stores it: 100 ns ticks since 1601-01-01 UTC.
struct FileTime {
    uint64_t ticks = 0;

    friend constexpr auto operator<=>(const FileTime&, const FileTime&) = default;
};

// A broken-down calendar time, field for field as the platform's SYSTEMTIME.
struct SystemTime {
    uint16_t year = 0;
    uint16_t month = 0;
    uint16_t dayOfWeek = 0;
    uint16_t day = 0;
    uint16_t hour = 0;
    uint16_t minute = 0;
    uint16_t second = 0;
    uint16_t milliseconds = 0;

    friend constexpr bool operator==(const SystemTime&, const SystemTime&) = default;
};

// Conversions with the platform's own limits: a FILETIME with its top bit set
// does not convert, and a SYSTEMTIME converts only when every field is in
// range (years 1601 to 30827). The day of the week is computed, never read.
std::optional<SystemTime> ToSystemTime(FileTime time);
std::optional<FileTime> ToFileTime(const SystemTime& time);

// A NUL-terminated text buffer of N bytes, as the records keep their texts.
// Anything longer than N - 1 bytes is cut; the buffer always ends in NUL.
template <std::size_t N>
class FixedText {
    static_assert(N > 0);

public:
    FixedText() = default;
    FixedText(std::string_view text) { assign(text); }  // NOLINT: implicit by design

    FixedText& operator=(std::string_view text) {
        assign(text);
        return *this;
    }

    void assign(std::string_view text) {
        // Cut at an embedded NUL as the platform would, then at the buffer.
        text = text.substr(0, std::min(text.find('\0'), text.size()));
        const std::size_t length = std::min(text.size(), N - 1);
        // An empty view may carry a null pointer, which memcpy must not see.
        if (length > 0) std::memcpy(bytes_, text.data(), length);
        std::memset(bytes_ + length, 0, N - length);
    }

    std::string_view view() const { return std::string_view(bytes_, std::strlen(bytes_)); }
    std::string str() const { return std::string(view()); }
    const char* c_str() const { return bytes_; }
    bool empty() const { return bytes_[0] == '\0'; }
    static constexpr std::size_t capacity() { return N; }

    friend bool operator==(const FixedText& a, const FixedText& b) { return a.view() == b.view(); }
    friend bool operator==(const FixedText& a, std::string_view b) { return a.view() == b; }

private:
    char bytes_[N] = {};
};

// Status codes, with the platform's values. The names carry a k prefix since
// the Windows headers define the plain names as macros.
using HResult = int32_t;
inline constexpr HResult kS_OK = 0;
inline constexpr HResult kS_FALSE = 1;
inline constexpr HResult kE_NOTIMPL = static_cast<HResult>(0x80004001u);
inline constexpr HResult kE_POINTER = static_cast<HResult>(0x80004003u);
inline constexpr HResult kE_FAIL = static_cast<HResult>(0x80004005u);
inline constexpr HResult kE_INVALIDARG = static_cast<HResult>(0x80070057u);
inline constexpr HResult kCLASS_E_NOAGGREGATION = static_cast<HResult>(0x80040110u);
inline constexpr HResult kCLASS_E_CLASSNOTAVAILABLE = static_cast<HResult>(0x80040111u);

constexpr bool Failed(HResult result) { return result < 0; }
constexpr bool Succeeded(HResult result) { return result >= 0; }

// The three kinds of record. The value is the tab index of the view; the
// cleanup records number them from 1.
enum class RecordKind : uint32_t { History = 0, Cookies = 1, Cache = 2 };

constexpr uint32_t TabIndex(RecordKind kind) { return static_cast<uint32_t>(kind); }
constexpr uint32_t CleanupKindCode(RecordKind kind) { return static_cast<uint32_t>(kind) + 1; }
std::optional<RecordKind> RecordKindFromCleanupCode(uint32_t code);
std::string_view TabCaption(RecordKind kind);

}  // namespace qm
