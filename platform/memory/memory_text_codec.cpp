// The memory platform's code page: Windows-1252 (platform/text_codec.h).
#include <cstdint>

#include "platform/memory/memory_platform.h"

namespace qm {
namespace {

constexpr char kSubstitute = '?';

char FromUnicode(char16_t unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
    for (std::size_t i = 0; i < kWindows1252High.size(); ++i)
        if (kWindows1252High[i] == unit) return static_cast<char>(0x80 + i);
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
    for (char c : text) out.push_back(Windows1252ToUnicode(static_cast<unsigned char>(c)));
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
