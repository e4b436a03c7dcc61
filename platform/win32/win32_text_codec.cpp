#include "platform/win32/win32_text_codec.h"

#include <windows.h>

#include <algorithm>
#include <climits>

namespace qm {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

// The conversion functions count in int and take a negative count as "up to
// the NUL", which would read past a text of 2^31 units or more. Such a text
// converts to nothing.
template <typename Text>
bool Countable(const Text& text) {
    return text.size() <= static_cast<std::size_t>(INT_MAX);
}

}  // namespace

std::string Win32TextCodec::ToAnsi(std::u16string_view text) {
    if (text.empty() || !Countable(text)) return {};
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    const int needed = WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::string out(static_cast<std::size_t>(needed), '\0');
    const int written = WideCharToMultiByte(CP_ACP, 0, wide, length, out.data(), needed, nullptr, nullptr);
    out.resize(static_cast<std::size_t>(std::max(written, 0)));
    return out;
}

std::u16string Win32TextCodec::FromAnsi(std::string_view text) {
    if (text.empty() || !Countable(text)) return {};
    const int length = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    if (needed <= 0) return {};
    std::u16string out(static_cast<std::size_t>(needed), u'\0');
    const int written =
        MultiByteToWideChar(CP_ACP, 0, text.data(), length, reinterpret_cast<wchar_t*>(out.data()), needed);
    out.resize(static_cast<std::size_t>(std::max(written, 0)));
    return out;
}

std::string Win32TextCodec::LowerAnsi(std::string_view text) {
    std::string out(text);
    // CharLowerBuffA takes a length, so a NUL inside the text does not end it.
    for (std::size_t done = 0; done < out.size();) {
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(out.size() - done, MAXDWORD));
        CharLowerBuffA(out.data() + done, piece);
        done += piece;
    }
    return out;
}

std::u16string Win32TextCodec::LowerUtf16(std::u16string_view text) {
    std::u16string out(text);
    for (std::size_t done = 0; done < out.size();) {
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(out.size() - done, MAXDWORD));
        CharLowerBuffW(reinterpret_cast<wchar_t*>(out.data() + done), piece);
        done += piece;
    }
    return out;
}

}  // namespace qm
