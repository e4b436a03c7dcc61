#include "records/index_file_reader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
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

// How far past a record's start its reading may look: the last place the
// title marker may stand (after an address of 4095 bytes), then the
// farthest byte of either title form. A trailing title's count lies past a
// part of up to 65535 bytes.
constexpr std::size_t kLastMarker = kUrlOffset + kUrlTextLimit + kTitleMarkerPositions - 1;
constexpr std::size_t kRecordReach =
    kLastMarker + std::max({kTitleFormOffset + 2, kInlineTitleOffset + kTitleByteLimit,
                            std::size_t{0xFFFF} + kTrailingCountOffset + 2,
                            std::size_t{0xFFFF} + kTrailingTitleOffset + kTrailingTitleLimit - 1});

// The bytes of the file from one offset on, read only through checks that
// keep every access inside. Offsets count from that first byte. The bytes
// run to the end of the file or at least kRecordReach far, so that, for
// everything one record's reading looks at, lying outside them is lying
// outside the file.
class Bytes {
public:
    explicit Bytes(std::span<const unsigned char> data) : data_(data) {}

    // True when the length bytes from offset all lie inside the data.
    bool Holds(std::size_t offset, std::size_t length) const {
        return offset <= data_.size() && length <= data_.size() - offset;
    }

    // The bytes from offset to the end; empty when offset lies beyond it.
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
        const unsigned char* b = data_.data() + offset;
        return uint64_t{b[0]} | uint64_t{b[1]} << 8 | uint64_t{b[2]} << 16 | uint64_t{b[3]} << 24 |
               uint64_t{b[4]} << 32 | uint64_t{b[5]} << 40 | uint64_t{b[6]} << 48 | uint64_t{b[7]} << 56;
    }

    // True when the three bytes at offset lie inside the data and are these.
    bool Matches3(std::size_t offset, unsigned char a, unsigned char b, unsigned char c) const {
        if (!Holds(offset, 3)) return false;
        const unsigned char* at = data_.data() + offset;
        return at[0] == a && at[1] == b && at[2] == c;
    }

private:
    std::span<const unsigned char> data_;
};

// A file already in memory.
class MemorySource {
public:
    explicit MemorySource(std::span<const unsigned char> data) : data_(data) {}

    uint64_t size() const { return data_.size(); }
    bool failed() const { return false; }
    // Offset lies below size().
    Bytes At(uint64_t offset) { return Bytes(data_.subspan(static_cast<std::size_t>(offset))); }

private:
    std::span<const unsigned char> data_;
};

}  // namespace

// An open file read into one buffer of readAhead bytes and one record's
// reach, or of the file's size when that is less. The walks only go
// forward, so a refill keeps what it still needs and reads the rest.
class IndexFileWindow {
public:
    IndexFileWindow(FileReader& file, std::size_t readAhead)
        : file_(file),
          size_(file.Size()),
          capacity_(static_cast<std::size_t>(
              std::min<uint64_t>(std::max<std::size_t>(readAhead, kBlockSize) + kRecordReach, size_))),
          buffer_(static_cast<unsigned char*>(::operator new[](capacity_, kBufferAlignment))) {}

    uint64_t size() const { return size_; }
    bool failed() const { return failed_; }

    // Offset lies below size().
    Bytes At(uint64_t offset) {
        const uint64_t end = base_ + length_;
        if (offset < base_ || (end < size_ && (offset > end || end - offset < kRecordReach))) Refill(offset);
        const auto skip = static_cast<std::size_t>(std::min<uint64_t>(offset - base_, length_));
        return Bytes(std::span<const unsigned char>(buffer_.get() + skip, length_ - skip));
    }

private:
    void Refill(uint64_t offset) {
        const uint64_t end = base_ + length_;
        std::size_t kept = 0;
        if (offset >= base_ && offset < end) {
            kept = static_cast<std::size_t>(end - offset);
            std::memmove(buffer_.get(), buffer_.get() + (offset - base_), kept);
        }
        base_ = offset;
        length_ = kept;
        while (length_ < capacity_ && base_ + length_ < size_) {
            const auto want =
                static_cast<std::size_t>(std::min<uint64_t>(capacity_ - length_, size_ - (base_ + length_)));
            const std::optional<std::size_t> got = file_.ReadAt(
                base_ + length_, std::span<char>(reinterpret_cast<char*>(buffer_.get() + length_), want));
            if (!got || *got == 0) {
                failed_ = !got;
                size_ = base_ + length_;
                break;
            }
            length_ += std::min(*got, want);
        }
    }

    // The buffer starts a page, so that every read lands at the same place
    // within a page as it lies in the file (the walk's offsets are whole
    // blocks): the system copies fastest, several times faster on some
    // processors, when both sides share their alignment.
    static constexpr std::align_val_t kBufferAlignment{4096};
    struct AlignedDelete {
        void operator()(unsigned char* bytes) const { ::operator delete[](bytes, kBufferAlignment); }
    };

    FileReader& file_;
    uint64_t size_;
    std::size_t capacity_;
    std::unique_ptr<unsigned char[], AlignedDelete> buffer_;
    uint64_t base_ = 0;
    std::size_t length_ = 0;
    bool failed_ = false;
};

namespace {

bool IsUrlBlock(const Bytes& record) {
    return record.Matches3(0, kUrlTag[0], kUrlTag[1], kUrlTag[2]);
}

// The record's length in blocks; a count of 0, or one that cannot be read
// at the end of the data, counts as 1.
std::size_t BlockCount(const Bytes& record) {
    const uint16_t count = record.Word(kBlockCountOffset).value_or(0);
    return count == 0 ? 1 : count;
}

// The address: NUL-ended text from offset 104, within the record's blocks
// after its first, the URL buffer and the data; without its NUL.
std::string_view UrlText(const Bytes& record) {
    const std::size_t limit = std::min((BlockCount(record) - 1) * kBlockSize, kUrlTextLimit);
    const std::span<const unsigned char> rest = record.From(kUrlOffset);
    const std::size_t available = std::min(limit, rest.size());
    const auto* text = reinterpret_cast<const char*>(rest.data());
    const void* nul = available > 0 ? std::memchr(text, 0, available) : nullptr;
    const std::size_t length =
        nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - text) : available;
    return length > 0 ? std::string_view(text, length) : std::string_view();
}

// Where the title's UTF-16 bytes start and how many the record claims.
struct TitleBytes {
    std::size_t start;
    std::size_t count;
};

// Every number and every byte the title search reads must lie inside the
// data; where one does not, the record has no title.
std::optional<TitleBytes> FindTitle(const Bytes& record, std::size_t afterUrl) {
    std::optional<std::size_t> marker;
    for (std::size_t k = 0; k < kTitleMarkerPositions && !marker; ++k)
        if (record.Matches3(afterUrl + k, kTitleMarker[0], kTitleMarker[1], kTitleMarker[2]))
            marker = afterUrl + k;
    if (!marker) return std::nullopt;

    const std::optional<uint16_t> count = record.Word(*marker + kTitleCountOffset);
    if (!count || *count == 0) return std::nullopt;

    if (record.Matches(*marker + kTitleFormOffset, kInlineTitleForm)) {
        const std::size_t start = *marker + kInlineTitleOffset;
        if (!record.Holds(start, 0)) return std::nullopt;
        return TitleBytes{start, *count};
    }
    if (record.Matches(*marker + kTitleFormOffset, kTrailingTitleForm)) {
        const std::optional<uint16_t> trailingCount = record.Word(*marker + *count + kTrailingCountOffset);
        if (!trailingCount || *trailingCount >= kTrailingTitleLimit) return std::nullopt;
        const std::size_t start = *marker + *count + kTrailingTitleOffset;
        if (!record.Holds(start, 0)) return std::nullopt;
        return TitleBytes{start, *trailingCount};
    }
    return std::nullopt;
}

// What a record keeps of its texts: its buffers less their NUL.
constexpr std::size_t kUrlKept = decltype(HistoryRecord::url)::capacity() - 1;
constexpr std::size_t kTitleKept = decltype(HistoryRecord::title)::capacity() - 1;

std::string_view KeptUrl(std::string_view url) {
    return url.substr(0, std::min(url.size(), kUrlKept));
}

// Turns the bytes of URL records into IndexFileRecords; the converted title
// lives here until the next record.
class RecordReader {
public:
    explicit RecordReader(TextCodec& codec) : codec_(codec) {}

    IndexFileRecord Read(const Bytes& record) {
        const std::string_view url = UrlText(record);
        IndexFileRecord out;
        out.url = KeptUrl(url);
        out.lastUpdated = FileTime{record.QuadOrZero(kUpdatedTimeOffset)};
        out.lastVisited = FileTime{record.QuadOrZero(kVisitedTimeOffset)};
        // The title is looked for after the whole address, not after what
        // the record keeps of it.
        if (auto title = FindTitle(record, kUrlOffset + url.size())) out.title = Title(record, *title);
        return out;
    }

private:
    // The title's bytes as UTF-16 text up to its first NUL character,
    // converted and cut as the record keeps it. An odd last byte is the low
    // half of a unit whose high half is zero, as in the zeroed buffer the
    // bytes are copied to.
    std::string_view Title(const Bytes& record, TitleBytes bytes) {
        const std::span<const unsigned char> rest = record.From(bytes.start);
        const std::size_t count = std::min({bytes.count, kTitleByteLimit, rest.size()});

        // Whole units first, then an odd last byte.
        const std::size_t whole = std::min(count / 2, kTitleUnitsToConvert);
        const std::size_t plain = AsciiUnits(rest.data(), whole);
        std::size_t length = plain;
        char16_t bits = 0;  // the other units' bits together: below 0x80 is ASCII
        for (; length < whole; ++length) {
            const auto unit = static_cast<char16_t>(rest[2 * length] | (rest[2 * length + 1] << 8));
            if (unit == 0) break;
            bits |= unit;
            units_[length] = unit;
            ascii_[length] = static_cast<char>(unit);
        }
        if (length == count / 2 && count % 2 == 1 && length < kTitleUnitsToConvert && rest[count - 1] != 0) {
            units_[length] = rest[count - 1];
            ascii_[length] = static_cast<char>(rest[count - 1]);
            bits |= units_[length++];
        }
        if (length == 0) return {};
        // Plain ASCII, as most titles are, is the same bytes in every ANSI
        // code page: no conversion needed.
        if (bits < 0x80) return std::string_view(ascii_, std::min(length, kTitleKept));
        for (std::size_t k = 0; k < plain; ++k) units_[k] = static_cast<unsigned char>(ascii_[k]);
        title_ = codec_.ToAnsi(std::u16string_view(units_, length));
        const std::string_view title(title_);
        // As a record keeps it: up to a NUL the conversion may give, and at
        // most 255 bytes.
        return title.substr(0, std::min({title.find('\0'), title.size(), kTitleKept}));
    }

    // How many of the first units are ASCII and not NUL, copied as bytes
    // to ascii_: four units at a time, as one 64-bit word, as most titles
    // are plain ASCII. The rest are looked at one by one.
    std::size_t AsciiUnits(const unsigned char* bytes, std::size_t units) {
        constexpr uint64_t kNotAscii = 0xFF80FF80FF80FF80ull;  // a high byte, or a low byte from 0x80 on
        constexpr uint64_t kLowBits = 0x0001000100010001ull;
        constexpr uint64_t kHighBits = 0x8000800080008000ull;
        std::size_t length = 0;
        for (; length + 4 <= units; length += 4) {
            const unsigned char* b = bytes + 2 * length;
            const uint64_t four = uint64_t{b[0]} | uint64_t{b[1]} << 8 | uint64_t{b[2]} << 16 |
                                  uint64_t{b[3]} << 24 | uint64_t{b[4]} << 32 | uint64_t{b[5]} << 40 |
                                  uint64_t{b[6]} << 48 | uint64_t{b[7]} << 56;
            if ((four & kNotAscii) != 0 || ((four - kLowBits) & ~four & kHighBits) != 0) break;  // or a NUL
            ascii_[length] = static_cast<char>(b[0]);
            ascii_[length + 1] = static_cast<char>(b[2]);
            ascii_[length + 2] = static_cast<char>(b[4]);
            ascii_[length + 3] = static_cast<char>(b[6]);
        }
        return length;
    }

    TextCodec& codec_;
    char16_t units_[kTitleUnitsToConvert];
    char ascii_[kTitleUnitsToConvert];  // the units as bytes, for ASCII titles
    std::string title_;
};

// The header's verdict and where the first record lies; a code without an
// offset when there is nothing to read.
struct Header {
    int result;
    std::optional<uint64_t> firstRecord;
};

template <typename Source>
Header ReadHeader(Source& source) {
    if (source.size() < kIndexFileMinimumSize) return {kIndexFileUnreadable, std::nullopt};
    const Bytes start = source.At(0);
    if (!start.Matches(0, kSignature)) return {kIndexFileNotIndexFile, std::nullopt};
    const int result = start.Matches(kVersionOffset, kKnownVersion) ? kIndexFileRead : kIndexFileOtherVersion;
    for (uint64_t offset = 0; offset < source.size(); offset += kBlockSize)
        if (IsUrlBlock(source.At(offset))) return {result, offset};
    return {kIndexFileNoUrlRecords, std::nullopt};
}

// The one walk over a file's records, whatever holds the file: from the
// first URL record on, each block that starts one is a record and the walk
// goes on after its blocks; every other block is passed over. Calls visit
// with each record's bytes; returns the file's code, or 0 when the source
// failed to read it.
template <typename Source, typename Visit>
int WalkIndexFile(Source& source, Visit&& visit) {
    const Header header = ReadHeader(source);
    if (!header.firstRecord) return source.failed() ? kIndexFileUnreadable : header.result;
    uint64_t offset = *header.firstRecord;
    while (offset < source.size()) {
        const Bytes block = source.At(offset);
        if (!IsUrlBlock(block)) {
            offset += kBlockSize;
            continue;
        }
        visit(block);
        // At most 65535 blocks of 128 bytes: no overflow. A count that runs
        // past the end ends the walk after this record.
        offset += kBlockSize * BlockCount(block);
    }
    return source.failed() ? kIndexFileUnreadable : header.result;
}

template <typename Source>
int ReadAll(Source& source, TextCodec& codec, std::vector<HistoryRecord>& records) {
    const std::size_t before = records.size();
    // One cheap walk to count the records, so that the array grows once.
    std::size_t count = 0;
    const int counted = WalkIndexFile(source, [&](const Bytes&) { ++count; });
    if (!IndexFileWasRead(counted)) return counted;
    try {
        records.reserve(before + count);
        RecordReader reader(codec);
        const int result = WalkIndexFile(
            source, [&](const Bytes& record) { reader.Read(record).CopyTo(records.emplace_back()); });
        if (!IndexFileWasRead(result)) records.resize(before);
        return result;
    } catch (const std::bad_alloc&) {
        // Records that do not fit in memory make a file that cannot be read;
        // the caller's array stays as it was.
        records.resize(before);
        return kIndexFileUnreadable;
    } catch (const std::length_error&) {
        // More records than an array can hold, in a 32-bit process.
        records.resize(before);
        return kIndexFileUnreadable;
    }
}

}  // namespace

void IndexFileRecord::CopyTo(HistoryRecord& record) const {
    record.url = url;
    record.title = title;
    record.lastUpdated = lastUpdated;
    record.lastVisited = lastVisited;
}

int ReadIndexFileData(std::span<const unsigned char> data, TextCodec& codec,
                      std::vector<HistoryRecord>& records) {
    MemorySource source(data);
    return ReadAll(source, codec, records);
}

int ForEachIndexFileRecord(std::span<const unsigned char> data, TextCodec& codec,
                           const std::function<void(const HistoryRecord&)>& visit) {
    MemorySource source(data);
    RecordReader reader(codec);
    HistoryRecord current;
    return WalkIndexFile(source, [&](const Bytes& record) {
        reader.Read(record).CopyTo(current);
        visit(current);
    });
}

IndexFileStream::IndexFileStream(FileReader& file, std::size_t readAhead)
    : window_(std::make_unique<IndexFileWindow>(file, readAhead)) {}

IndexFileStream::~IndexFileStream() = default;

int IndexFileStream::ForEachRecord(TextCodec& codec,
                                   const std::function<void(const IndexFileRecord&)>& visit) {
    RecordReader reader(codec);
    return WalkIndexFile(*window_, [&](const Bytes& record) { visit(reader.Read(record)); });
}

IndexFileSummary IndexFileStream::Summarize() {
    IndexFileSummary summary;
    summary.result = WalkIndexFile(*window_, [&](const Bytes& record) {
        if (summary.records++ == 0) summary.firstUrl = KeptUrl(UrlText(record));
    });
    if (!IndexFileWasRead(summary.result)) summary = IndexFileSummary{summary.result, 0, {}};
    return summary;
}

int ReadIndexFile(FileSystem& fileSystem, TextCodec& codec, std::string_view path,
                  std::vector<HistoryRecord>& records) {
    try {
        const std::unique_ptr<FileReader> file = fileSystem.OpenForRead(path);
        if (!file) return kIndexFileUnreadable;
        IndexFileWindow window(*file, kIndexFileReadAhead);
        return ReadAll(window, codec, records);
    } catch (const std::bad_alloc&) {
        // The default reader holds the file whole, which may not fit.
        return kIndexFileUnreadable;
    }
}

}  // namespace qm
