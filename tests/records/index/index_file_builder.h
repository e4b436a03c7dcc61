// Builds index files byte by byte for the tests: a header, then URL records
// and other blocks at block boundaries, each laid out as the browser writes
// it. Every offset is written out here rather than taken from the reader,
// so that a test fails when the reader looks in the wrong place.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace qm::test {

using namespace std::string_view_literals;

inline constexpr std::size_t kBlock = 128;

// The two ways a title follows an address: inline (0x10 0x1F, the title at
// marker + 20) or after a part that is passed over (0x15 0x1E, the title's
// count at marker + skipped + 28 and its text at marker + skipped + 32).
enum class TitleForm { Inline, Trailing };

// Every member has a default, so that a test names only what it is about.
struct UrlRecordLayout {
    std::string url{};
    FileTime updated{};
    FileTime visited{};
    std::optional<std::u16string> title{};  // written with its NUL character
    TitleForm form = TitleForm::Inline;
    std::size_t markerGap = 1;             // bytes from the address's NUL to the marker
    uint16_t skipped = 12;                 // the passed-over part of a trailing title
    std::optional<uint16_t> titleCount{};  // the count written, instead of the title's size
    std::optional<uint16_t> blockCount{};  // the count written, instead of what the record takes
    char fourthByte = ' ';
};

inline void PutWord(std::string& bytes, std::size_t at, uint16_t value) {
    if (bytes.size() < at + 2) bytes.resize(at + 2, '\0');
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>(value >> 8);
}

inline void PutQuad(std::string& bytes, std::size_t at, uint64_t value) {
    if (bytes.size() < at + 8) bytes.resize(at + 8, '\0');
    for (std::size_t k = 0; k < 8; ++k) bytes[at + k] = static_cast<char>((value >> (8 * k)) & 0xFF);
}

inline void PutBytes(std::string& bytes, std::size_t at, std::string_view data) {
    if (bytes.size() < at + data.size()) bytes.resize(at + data.size(), '\0');
    bytes.replace(at, data.size(), data);
}

// UTF-16 little-endian bytes of the text.
inline std::string Utf16Bytes(std::u16string_view text) {
    std::string bytes;
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

// One URL record alone, padded to whole blocks.
inline std::string UrlRecordBytes(const UrlRecordLayout& layout) {
    std::string bytes(kBlock, '\0');
    PutBytes(bytes, 0, "URL");
    bytes[3] = layout.fourthByte;
    PutQuad(bytes, 8, layout.updated.ticks);
    PutQuad(bytes, 16, layout.visited.ticks);
    PutBytes(bytes, 104, layout.url);
    const std::size_t nul = 104 + layout.url.size();
    PutBytes(bytes, nul, "\0"sv);

    if (layout.title) {
        std::u16string text = *layout.title;
        text.push_back(u'\0');
        const std::string titleBytes = Utf16Bytes(text);
        const std::size_t marker = nul + layout.markerGap;
        PutBytes(bytes, marker, "\x10\x00\x02"sv);
        if (layout.form == TitleForm::Inline) {
            PutWord(bytes, marker + 16, layout.titleCount.value_or(static_cast<uint16_t>(titleBytes.size())));
            PutBytes(bytes, marker + 18, "\x10\x1F");
            PutBytes(bytes, marker + 20, titleBytes);
        } else {
            PutWord(bytes, marker + 16, layout.skipped);
            PutBytes(bytes, marker + 18, "\x15\x1E");
            // The passed-over part: anything, here bytes that would look like
            // a title if the reader took them for one.
            PutBytes(bytes, marker + 20, std::string(layout.skipped > 8 ? layout.skipped - 8 : 0, 'x'));
            PutWord(bytes, marker + layout.skipped + 28,
                    layout.titleCount.value_or(static_cast<uint16_t>(titleBytes.size())));
            PutBytes(bytes, marker + layout.skipped + 32, titleBytes);
        }
    }
    // A record takes at least two blocks: one block leaves no room for an
    // address.
    bytes.resize(std::max<std::size_t>(2, (bytes.size() + kBlock - 1) / kBlock) * kBlock, '\0');
    PutWord(bytes, 4, layout.blockCount.value_or(static_cast<uint16_t>(bytes.size() / kBlock)));
    return bytes;
}

class IndexFileBuilder {
public:
    // The header: the signature, one byte, the version text, then zeros up
    // to headerBlocks whole blocks.
    explicit IndexFileBuilder(std::string_view version = "5.2", std::size_t headerBlocks = 2)
        : bytes_(headerBlocks * kBlock, '\0') {
        PutBytes(bytes_, 0, "Client UrlCache MMF Ver ");
        PutBytes(bytes_, 24, version);
    }

    // Appends a URL record at the next block boundary; returns its offset.
    std::size_t Record(const UrlRecordLayout& layout) { return Append(UrlRecordBytes(layout)); }

    // Appends a block of other content that begins with the given bytes.
    std::size_t Block(std::string_view start, std::size_t blocks = 1) {
        std::string block(blocks * kBlock, '\0');
        PutBytes(block, 0, start);
        return Append(block);
    }

    // Writes bytes at an offset, growing the file as needed.
    IndexFileBuilder& Put(std::size_t at, std::string_view data) {
        PutBytes(bytes_, at, data);
        return *this;
    }

    IndexFileBuilder& Word(std::size_t at, uint16_t value) {
        PutWord(bytes_, at, value);
        return *this;
    }

    IndexFileBuilder& Resize(std::size_t size) {
        bytes_.resize(size, '\0');
        return *this;
    }

    const std::string& bytes() const { return bytes_; }
    std::span<const unsigned char> data() const {
        return {reinterpret_cast<const unsigned char*>(bytes_.data()), bytes_.size()};
    }

    void WriteTo(const std::filesystem::path& path) const {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes_.data(), static_cast<std::streamsize>(bytes_.size()));
    }

private:
    std::size_t Append(const std::string& data) {
        bytes_.resize((bytes_.size() + kBlock - 1) / kBlock * kBlock, '\0');
        const std::size_t at = bytes_.size();
        bytes_ += data;
        return at;
    }

    std::string bytes_;
};

}  // namespace qm::test
