// Port: the system's ANSI code page. The core keeps its text in ANSI bytes;
// UTF-16 appears only where a port speaks COM.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace qm {

// Windows-1252, the Western European code page, as a fixed table for texts
// that must come out the same on every system. The bytes 0x00-0x7F and
// 0xA0-0xFF are the code points of the same number; 0x80-0x9F hold
// typographic characters, and the five bytes the code page leaves undefined
// map to the C1 control of the same number, as the platform's own table
// does, so every byte survives a round trip.
inline constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

constexpr char16_t Windows1252ToUnicode(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? kWindows1252High[byte - 0x80] : char16_t{byte};
}

class TextCodec {
public:
    virtual ~TextCodec() = default;

    // Characters the code page lacks come out as the platform substitutes them.
    virtual std::string ToAnsi(std::u16string_view text) = 0;
    virtual std::u16string FromAnsi(std::string_view text) = 0;
    // Lower case as the code page defines it.
    virtual std::string LowerAnsi(std::string_view text) = 0;
    // Lower case of UTF-16 text as the system defines it, for comparing
    // paths kept in UTF-16 without case.
    virtual std::u16string LowerUtf16(std::u16string_view text) = 0;
};

}  // namespace qm
