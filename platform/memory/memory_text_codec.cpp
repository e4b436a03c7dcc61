// Windows-1252. The bytes 0x00-0x7F and 0xA0-0xFF are the code points of the
// same number; 0x80-0x9F hold typographic characters, and the five bytes the
// code page leaves undefined map to the C1 control of the same number, as the
// platform's own table does, so every byte survives a round trip.
#include <array>
#include <cstdint>

#include "platform/memory/memory_platform.h"

namespace qm {
namespace {

constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

constexpr char kSubstitute = '?';

char16_t ToUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
    return byte;
}

char FromUnicode(char16_t unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
    for (std::size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] == unit) return static_cast<char>(0x80 + i);
    return kSubstitute;
}

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Lower case of one byte as the code page's letters define it.
unsigned char Lower(unsigned char byte) {
    if (byte >= 'A' && byte <= 'Z') return byte + 0x20;
    if (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7) return byte + 0x20;  // 0xD7 is the multiplication sign
    switch (byte) {
        case 0x8A:
            return 0x9A;  // S caron
        case 0x8C:
            return 0x9C;  // OE
        case 0x8E:
            return 0x9E;  // Z caron
        case 0x9F:
            return 0xFF;  // Y diaeresis
        default:
            return byte;
    }
}

// Lower case of one UTF-16 unit: ASCII and Latin-1, Latin Extended-A
// (where capitals and small letters alternate, with the exceptions below),
// basic Greek and Cyrillic.
char16_t LowerUnit(char16_t unit) {
    if ((unit >= u'A' && unit <= u'Z') || (unit >= 0xC0 && unit <= 0xDE && unit != 0xD7))
        return static_cast<char16_t>(unit + 0x20);
    if (unit == 0x178) return 0xFF;  // Y diaeresis, whose small letter is in Latin-1
    const bool oddCapitals = (unit >= 0x139 && unit <= 0x148) || (unit >= 0x179 && unit <= 0x17E);
    const bool evenCapitals =
        (unit >= 0x100 && unit <= 0x137 && unit != 0x130) || (unit >= 0x14A && unit <= 0x177);
    if ((oddCapitals && unit % 2 == 1) || (evenCapitals && unit % 2 == 0))
        return static_cast<char16_t>(unit + 1);
    if ((unit >= 0x391 && unit <= 0x3A9 && unit != 0x3A2) || (unit >= 0x410 && unit <= 0x42F))
        return static_cast<char16_t>(unit + 0x20);
    if (unit >= 0x400 && unit <= 0x40F) return static_cast<char16_t>(unit + 0x50);
    return unit;
}

}  // namespace

std::string MemoryTextCodec::ToAnsi(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            // A character outside the basic plane has no byte here; the pair
            // becomes one substitute, not two.
            out.push_back(kSubstitute);
            ++i;
            continue;
        }
        out.push_back(FromUnicode(unit));
    }
    return out;
}

std::u16string MemoryTextCodec::FromAnsi(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (char c : text) out.push_back(ToUnicode(static_cast<unsigned char>(c)));
    return out;
}

std::string MemoryTextCodec::LowerAnsi(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(Lower(static_cast<unsigned char>(c)));
    return out;
}

std::u16string MemoryTextCodec::LowerUtf16(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& unit : out) unit = LowerUnit(unit);
    return out;
}

}  // namespace qm
