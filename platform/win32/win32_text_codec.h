// TextCodec on the system's ANSI code page (CP_ACP). Characters the code
// page lacks come out as the platform substitutes them; no default
// character is imposed.
#pragma once

#include "platform/text_codec.h"

namespace qm {

class Win32TextCodec final : public TextCodec {
public:
    std::string ToAnsi(std::u16string_view text) override;
    std::u16string FromAnsi(std::string_view text) override;
    std::string LowerAnsi(std::string_view text) override;
    std::u16string LowerUtf16(std::u16string_view text) override;
};

}  // namespace qm
