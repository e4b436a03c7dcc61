// Port: the system's ANSI code page. The core keeps its text in ANSI bytes;
// UTF-16 appears only where a port speaks COM.
#pragma once

#include <string>
#include <string_view>

namespace qm {

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
