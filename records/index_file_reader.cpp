#include "records/index_file_reader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <optional>
#include <string>

namespace qm {
namespace {

constexpr std::size_t kBlockSize = 128;

constexpr std::string_view kSignature = "Client UrlCache MMF Ver";
constexpr std::size_t kVersionOffset = 24;
constexpr std::string_view kKnownVersion = "5.2";

// A URL record: "URL" at the start of a block (the fourth byte is not
// looked at), its length in blocks, two times and the address.
constexpr std::string_view kUrlTag = "URL";
constexpr std::size_t kBlockCountOffset = 4;
constexpr std::size_t kUpdatedTimeOffset = 8;
constexpr std::size_t kVisitedTimeOffset = 16;
constexpr std::size_t kUrlOffset = 104;
// The address goes through a buffer of 4096 bytes that keeps its NUL.
constexpr std::size_t kUrlTextLimit = 4095;

// The title follows the address: a marker of three bytes in one of the six
// positions from the address's NUL on, then the title's byte count at
// marker + 16 and its form in the two bytes after that. Inline titles
// start at marker + 20; in the other form the count at marker + 16 is the
// length of a part that is passed over, and the title's own count follows
// it.
constexpr unsigned char kTitleMarker[] = {0x10, 0x00, 0x02};
constexpr std::size_t kTitleMarkerPositions = 6;
constexpr std::size_t kTitleCountOffset = 16;
constexpr std::size_t kTitleFormOffset = 18;
constexpr unsigned char kInlineTitleForm[] = {0x10, 0x1F};
constexpr std::size_t kInlineTitleOffset = 20;
constexpr unsigned char kTrailingTitleForm[] = {0x15, 0x1E};
constexpr std::size_t kTrailingCountOffset = 28;  // after the passed-over part
constexpr std::size_t kTrailingTitleOffset = 32;
constexpr uint16_t kTrailingTitleLimit = 128;  // byte counts from 128 on mean no title
// The title goes through a buffer of 8192 bytes that keeps a NUL character.
constexpr std::size_t kTitleByteLimit = 8190;
// A record keeps 255 bytes of the converted title. Every UTF-16 unit, and
// every surrogate pair, gives at least one byte, so 512 units are always
// enough to fill them; converting more would only be cut away.
constexpr std::size_t kTitleUnitsToConvert = 512;

// An empty text that points somewhere: FixedText copies with memcpy,
// which must not be handed a null pointer even for no bytes.
constexpr std::string_view kNoText = "";

// The file's bytes, read only through checks that keep every access inside.
class FileData {
public:
    explicit FileData(std::span<const unsigned char> data) : data_(data) {}

    std::size_t size() const { return data_.size(); }

    // True when the length bytes from offset all lie inside the data.
    bool Holds(std::size_t offset, std::size_t length) const {
        return offset <= data_.size() && length <= data_.size() - offset;
    }

    // The bytes from offset to the end; empty when offset lies beyond it,
    // but even then pointing into the data, never null: texts made of it
    // are copied with memcpy.
    std::span<const unsigned char> From(std::size_t offset) const {
        return data_.subspan(std::min(offset, data_.size()));
    }

    bool Matches(std::size_t offset, std::span<const unsigned char> bytes) const {
        return Holds(offset, bytes.size()) &&
               std::memcmp(data_.data() + offset, bytes.data(), bytes.size()) == 0;
    }
    bool Matches(std::size_t offset, std::string_view text) const {
        return Holds(offset, text.size()) &&
               std::memcmp(data_.data() + offset, text.data(), text.size()) == 0;
    }

    std::optional<uint16_t> Word(std::size_t offset) const {
        if (!Holds(offset, 2)) return std::nullopt;
        return static_cast<uint16_t>(data_[offset] | (data_[offset + 1] << 8));
    }

    // A field that does not lie wholly inside the data reads as 0.
    uint64_t QuadOrZero(std::size_t offset) const {
        if (!Holds(offset, 8)) return 0;
        uint64_t value = 0;
        for (std::size_t k = 8; k-- > 0;) value = (value << 8) | data_[offset + k];
        return value;
    }

private:
    std::span<const unsigned char> data_;
};

bool IsUrlBlock(const FileData& file, std::size_t offset) {
    return file.Matches(offset, kUrlTag);
}

// The record's length in blocks; a count of 0, or one that cannot be read
// at the end of the data, counts as 1.
std::size_t BlockCount(const FileData& file, std::size_t record) {
    const uint16_t count = file.Word(record + kBlockCountOffset).value_or(0);
    return count == 0 ? 1 : count;
}

std::optional<std::size_t> FirstUrlBlock(const FileData& file) {
    for (std::size_t offset = 0; offset < file.size(); offset += kBlockSize)
        if (IsUrlBlock(file, offset)) return offset;
    return std::nullopt;
}

// Walks the records from the first one as the reader does, calling visit
// with each record's offset.
template <typename Visit>
void ForEachUrlRecord(const FileData& file, std::size_t first, Visit&& visit) {
    std::size_t offset = first;
    while (offset < file.size()) {
        if (!IsUrlBlock(file, offset)) {
            offset += kBlockSize;
            continue;
        }
        visit(offset);
        // At most 65535 blocks of 128 bytes: no overflow. A count that runs
        // past the end ends the walk after this record.
        offset += kBlockSize * BlockCount(file, offset);
    }
}

// The address: NUL-ended text from offset 104, within the record's blocks
// after its first, the URL buffer and the data; without its NUL.
std::string_view UrlText(const FileData& file, std::size_t record) {
    const std::size_t limit = std::min((BlockCount(file, record) - 1) * kBlockSize, kUrlTextLimit);
    const std::span<const unsigned char> rest = file.From(record + kUrlOffset);
    const std::size_t available = std::min(limit, rest.size());
    const auto* text = reinterpret_cast<const char*>(rest.data());
    const void* nul = available > 0 ? std::memchr(text, 0, available) : nullptr;
    const std::size_t length =
        nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - text) : available;
    return std::string_view(text, length);
}

// Where the title's UTF-16 bytes start and how many the record claims.
struct TitleBytes {
    std::size_t start;
    std::size_t count;
};

// Every number and every byte the title search reads must lie inside the
// data; where one does not, the record has no title.
std::optional<TitleBytes> FindTitle(const FileData& file, std::size_t afterUrl) {
    std::optional<std::size_t> marker;
    for (std::size_t k = 0; k < kTitleMarkerPositions && !marker; ++k)
        if (file.Matches(afterUrl + k, kTitleMarker)) marker = afterUrl + k;
    if (!marker) return std::nullopt;

    const std::optional<uint16_t> count = file.Word(*marker + kTitleCountOffset);
    if (!count || *count == 0) return std::nullopt;

    if (file.Matches(*marker + kTitleFormOffset, kInlineTitleForm)) {
        const std::size_t start = *marker + kInlineTitleOffset;
        if (!file.Holds(start, 0)) return std::nullopt;
        return TitleBytes{start, *count};
    }
    if (file.Matches(*marker + kTitleFormOffset, kTrailingTitleForm)) {
        const std::optional<uint16_t> trailingCount = file.Word(*marker + *count + kTrailingCountOffset);
        if (!trailingCount || *trailingCount >= kTrailingTitleLimit) return std::nullopt;
        const std::size_t start = *marker + *count + kTrailingTitleOffset;
        if (!file.Holds(start, 0)) return std::nullopt;
        return TitleBytes{start, *trailingCount};
    }
    return std::nullopt;
}

// The title's bytes as UTF-16 text up to its first NUL character. An odd
// last byte is the low half of a unit whose high half is zero, as in the
// zeroed buffer the bytes are copied to.
void AssignTitle(const FileData& file, TitleBytes bytes, TextCodec& codec, FixedText<256>& title) {
    const std::span<const unsigned char> rest = file.From(bytes.start);
    const std::size_t count = std::min({bytes.count, kTitleByteLimit, rest.size()});

    char16_t units[kTitleUnitsToConvert];
    std::size_t length = 0;
    for (std::size_t at = 0; at < count && length < kTitleUnitsToConvert; at += 2) {
        const unsigned high = at + 1 < count ? rest[at + 1] : 0;
        const auto unit = static_cast<char16_t>(rest[at] | (high << 8));
        if (unit == 0) break;
        units[length++] = unit;
    }
    if (length > 0) {
        title = codec.ToAnsi(std::u16string_view(units, length));
    } else if (!title.empty()) {
        title = kNoText;
    }
}

// Fills every field that the file gives; out may hold an earlier record.
void ReadUrlRecord(const FileData& file, std::size_t record, TextCodec& codec, HistoryRecord& out) {
    const std::string_view url = UrlText(file, record);
    out.url = url;
    out.lastUpdated = FileTime{file.QuadOrZero(record + kUpdatedTimeOffset)};
    out.lastVisited = FileTime{file.QuadOrZero(record + kVisitedTimeOffset)};
    if (auto title = FindTitle(file, record + kUrlOffset + url.size())) {
        AssignTitle(file, *title, codec, out.title);
    } else if (!out.title.empty()) {
        out.title = kNoText;
    }
}

// The header's verdict and where the first record lies; a code without an
// offset when there is nothing to read.
struct Header {
    int result;
    std::optional<std::size_t> firstRecord;
};

Header ReadHeader(const FileData& file) {
    if (file.size() < kIndexFileMinimumSize) return {kIndexFileUnreadable, std::nullopt};
    if (!file.Matches(0, kSignature)) return {kIndexFileNotIndexFile, std::nullopt};
    const std::optional<std::size_t> first = FirstUrlBlock(file);
    if (!first) return {kIndexFileNoUrlRecords, std::nullopt};
    return {file.Matches(kVersionOffset, kKnownVersion) ? kIndexFileRead : kIndexFileOtherVersion, first};
}

}  // namespace

int ReadIndexFileData(std::span<const unsigned char> data, TextCodec& codec,
                      std::vector<HistoryRecord>& records) {
    const FileData file(data);
    const Header header = ReadHeader(file);
    if (!header.firstRecord) return header.result;

    // One cheap walk to count the records, so that the array grows once.
    std::size_t count = 0;
    ForEachUrlRecord(file, *header.firstRecord, [&](std::size_t) { ++count; });
    records.reserve(records.size() + count);
    ForEachUrlRecord(file, *header.firstRecord,
                     [&](std::size_t record) { ReadUrlRecord(file, record, codec, records.emplace_back()); });
    return header.result;
}

int ForEachIndexFileRecord(std::span<const unsigned char> data, TextCodec& codec,
                           const std::function<void(const HistoryRecord&)>& visit) {
    const FileData file(data);
    const Header header = ReadHeader(file);
    if (!header.firstRecord) return header.result;

    HistoryRecord current;
    ForEachUrlRecord(file, *header.firstRecord, [&](std::size_t record) {
        ReadUrlRecord(file, record, codec, current);
        visit(current);
    });
    return header.result;
}

int ReadIndexFile(FileSystem& fileSystem, TextCodec& codec, std::string_view path,
                  std::vector<HistoryRecord>& records) {
    const std::size_t before = records.size();
    try {
        // The file is read whole: records may lie anywhere in it.
        const std::optional<std::string> bytes =
            fileSystem.ReadFile(path, std::numeric_limits<uint64_t>::max());
        if (!bytes) return kIndexFileUnreadable;
        const std::span<const unsigned char> data(reinterpret_cast<const unsigned char*>(bytes->data()),
                                                  bytes->size());
        return ReadIndexFileData(data, codec, records);
    } catch (const std::bad_alloc&) {
        // A file too large for memory, or records that do not fit, is a file
        // that cannot be read; the caller's array stays as it was.
        records.resize(before);
        return kIndexFileUnreadable;
    }
}

}  // namespace qm
