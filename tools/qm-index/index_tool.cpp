#include "tools/qm-index/index_tool.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "platform/text_codec.h"
#include "records/index_file_location.h"
#include "records/index_file_reader.h"
#include "reports/html_report.h"

namespace qm {
namespace {

constexpr std::string_view kUsage =
    "usage: qm-index read [--format tsv|csv|json] FILE...\n"
    "       qm-index read --html OUT FILE\n"
    "       qm-index list [--format tsv|csv|json] FILE\n"
    "       qm-index search DIR\n"
    "       qm-index --help\n"
    "\n"
    "Reads the index files (index.dat) in which the browser keeps its history,\n"
    "cookies and cache.\n"
    "\n"
    "  read    for each FILE a line\n"
    "            # <path>\\tresult=<code>\\tkind=<History|Cookies|Cache|none>\\trecords=<count>\n"
    "          then one line per record, in file order:\n"
    "            <lastUpdated>\\t<lastVisited>\\t<url>\\t<title>\n"
    "          with the times as decimal FILETIME values and the texts escaped\n"
    "          (\\\\, \\t, \\n, \\r, \\xNN)\n"
    "  read --format csv\n"
    "          one table (RFC 4180, lines ended in CR LF) with a line of column\n"
    "          names, then every file's records: file,lastUpdated,lastVisited,url,title\n"
    "  read --format json\n"
    "          one object a line: for each FILE\n"
    "            {\"file\":...,\"result\":<code>,\"kind\":...,\"records\":<count>}\n"
    "          then one per record, the times also in ISO 8601 UTC:\n"
    "            {\"lastUpdated\":<FILETIME>,\"lastUpdatedUtc\":...,\"lastVisited\":...,\n"
    "             \"lastVisitedUtc\":...,\"url\":...,\"title\":...}\n"
    "          texts in UTF-8, their bytes taken as Windows-1252\n"
    "  read --html\n"
    "          writes the records of FILE to OUT as an HTML report in the\n"
    "          band's History layout (title, address, the dates), and prints\n"
    "          nothing\n"
    "  list    shows the records of FILE as the band's index view does, in\n"
    "          aligned columns; --format gives a line of the column titles,\n"
    "          then the rows, tab-separated and escaped (tsv) or as CSV, or one\n"
    "          JSON object a row keyed by column title, each date as\n"
    "          {\"text\":...,\"filetime\":...,\"utc\":...}\n"
    "  search  prints every index file below DIR, one path a line\n"
    "\n"
    "Exit status: 0 when every file was read, 1 when a file could not be read\n"
    "or is not an index file, 2 for a usage error.\n";

enum class Format { Aligned, Tsv, Csv, Json };

constexpr std::string_view kCsvLineEnd = "\r\n";

// Output is gathered and written in large pieces: a file of 100 MB has
// hundreds of thousands of records. Texts are written straight into the
// buffer: a writer asks for room for the most it can write, writes, and
// says where it ended.
//
// What is written may also be held back, for a line that must come before
// it but is only known after it (a file's count of records): the buffer
// then grows instead of being written, and Release writes the line and
// what was held after it in one piece.
class Output {
public:
    Output(std::ostream& stream, OutputMemory* memory) : stream_(stream), memory_(memory) {
        Reserve(kBufferSize);
    }
    ~Output() {
        if (!holding_) Flush();
        Free();
    }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    char* Room(std::size_t most) {
        if (capacity_ - used_ < most) {
            if (holding_) {
                Grow(used_ + most);
            } else {
                Flush();
                if (capacity_ < most) Reserve(most);
            }
        }
        return buffer_ + used_;
    }
    void Wrote(const char* end) {
        used_ = static_cast<std::size_t>(end - buffer_);
        if (used_ >= kFlushSize && !holding_) Flush();
    }
    void Append(std::string_view text) {
        char* at = Room(text.size());
        if (!text.empty()) std::memcpy(at, text.data(), text.size());
        Wrote(at + text.size());
    }

    void Flush() {
        stream_.write(buffer_, static_cast<std::streamsize>(used_));
        stream_.flush();
        used_ = 0;
    }

    // Holds what is written from here on, in a buffer made for about
    // expected bytes, with room before it for a line of up to front bytes.
    void Hold(std::size_t front, std::size_t expected) {
        Flush();
        Reserve(front + expected + kLineRoom);
        holding_ = true;
        used_ = front_ = front;
    }
    std::size_t Held() const { return holding_ ? used_ - front_ : 0; }
    // Writes line, at most the front room long, then what was held.
    void Release(std::string_view line) {
        char* const start = buffer_ + (front_ - line.size());
        if (!line.empty()) std::memcpy(start, line.data(), line.size());
        stream_.write(start, static_cast<std::streamsize>(buffer_ + used_ - start));
        stream_.flush();
        Drop();
    }
    // Forgets what was held.
    void Drop() {
        if (!holding_) return;
        holding_ = false;
        used_ = 0;
        Reserve(kBufferSize);
    }

private:
    // Large enough to write in few calls, small enough to stay in the
    // processor's cache; left uninitialised, so that a short output touches
    // only the memory it uses.
    static constexpr std::size_t kFlushSize = 64 * 1024;
    static constexpr std::size_t kLineRoom = 16 * 1024;  // more than any record's line
    static constexpr std::size_t kBufferSize = kFlushSize + kLineRoom;

    char* Allocate(std::size_t size) {
        char* const bytes = memory_ ? memory_->Allocate(size) : new char[size];
        if (!bytes) throw std::bad_alloc();
        return bytes;
    }
    void Free() {
        if (memory_) {
            memory_->Free(buffer_, capacity_);
        } else {
            delete[] buffer_;
        }
    }
    // A new buffer of capacity bytes; what the old one held is gone.
    void Reserve(std::size_t capacity) {
        char* const bytes = Allocate(capacity);
        Free();
        buffer_ = bytes;
        capacity_ = capacity;
    }
    // A larger buffer that keeps what is written.
    void Grow(std::size_t most) {
        const std::size_t capacity = std::max(most, 2 * capacity_);
        char* const bytes = Allocate(capacity);
        std::memcpy(bytes, buffer_, used_);
        Free();
        buffer_ = bytes;
        capacity_ = capacity;
    }

    std::ostream& stream_;
    OutputMemory* memory_;
    char* buffer_ = nullptr;
    std::size_t capacity_ = 0;
    std::size_t used_ = 0;
    bool holding_ = false;
    std::size_t front_ = 0;  // where the held bytes start
};

// The most bytes the writers below make of a text of n bytes.
constexpr std::size_t EscapedRoom(std::size_t n) {
    return 4 * n;  // "\xNN"
}
constexpr std::size_t CsvRoom(std::size_t n) {
    return 2 * n + 2;  // every byte a quote, doubled, between quotes
}
constexpr std::size_t JsonRoom(std::size_t n) {
    return 6 * n + 2;  // "\u00NN", between quotes
}
constexpr std::size_t kNumberRoom = 24;
constexpr std::size_t kUtcTimeRoom = 40;

// Writes with one of the writers below onto the end of a string.
template <typename Write>
void AppendTo(std::string& out, std::size_t most, const Write& write) {
    const std::size_t start = out.size();
    out.resize(start + most);
    char* const end = write(out.data() + start);
    out.resize(static_cast<std::size_t>(end - out.data()));
}

char* Put(char* at, std::string_view text) {
    if (!text.empty()) std::memcpy(at, text.data(), text.size());
    return at + text.size();
}

// Exactly eight digits, leading zeros included, all computed at once: the
// value split into two halves of four digits, each half into two pairs,
// each pair into two digits, every part in its own lane of one 64-bit word
// (no lane ever carries into the next).
char* PutEightDigits(char* at, uint32_t value) {
    const uint64_t fours = value / 10000 | uint64_t{value % 10000} << 32;
    const uint64_t hundreds = (fours * 10486 >> 20) & 0x0000007F0000007Full;  // x / 100 for x below 10000
    const uint64_t pairs = hundreds | (fours - hundreds * 100) << 16;
    const uint64_t tens = (pairs * 103 >> 10) & 0x000F000F000F000Full;  // x / 10 for x below 100
    const uint64_t digits = (tens | (pairs - tens * 10) << 8) + 0x3030303030303030ull;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(at, &digits, 8);  // the first digit in the lowest byte
    } else {
        for (int k = 0; k < 8; ++k) at[k] = static_cast<char>(digits >> (8 * k));
    }
    return at + 8;
}

// Every record has two FILETIMEs of eighteen digits: they are written in
// pieces of eight digits, each with 32-bit arithmetic.
// The leading digits of a number, without leading zeros; a FILETIME of
// our time has two.
char* PutLeadingDigits(char* at, uint32_t value) {
    if (value >= 100) return std::to_chars(at, at + kNumberRoom, value).ptr;
    if (value >= 10) *at++ = static_cast<char>('0' + value / 10);
    *at++ = static_cast<char>('0' + value % 10);
    return at;
}

char* PutNumber(char* at, uint64_t value) {
    constexpr uint64_t kEight = 100'000'000;
    if (value < kEight) return PutLeadingDigits(at, static_cast<uint32_t>(value));
    if (value < kEight * kEight) {
        at = PutLeadingDigits(at, static_cast<uint32_t>(value / kEight));
        return PutEightDigits(at, static_cast<uint32_t>(value % kEight));
    }
    const uint64_t rest = value % (kEight * kEight);
    at = PutLeadingDigits(at, static_cast<uint32_t>(value / (kEight * kEight)));
    at = PutEightDigits(at, static_cast<uint32_t>(rest / kEight));
    return PutEightDigits(at, static_cast<uint32_t>(rest % kEight));
}
char* PutNumber(char* at, int64_t value) {
    if (value >= 0) return PutNumber(at, static_cast<uint64_t>(value));
    *at++ = '-';
    return PutNumber(at, static_cast<uint64_t>(0) - static_cast<uint64_t>(value));
}

char* PutDigits(char* at, unsigned value, int width) {
    for (int k = width; k-- > 0; value /= 10) at[k] = static_cast<char>('0' + value % 10);
    return at + width;
}

// Texts are looked at sixteen bytes at a time, as one vector of the
// processor's, since most are one run of bytes that are written as they
// are. Each test is true when no byte of the piece needs the writer's
// attention.
constexpr std::size_t kPiece = 16;
using Piece = unsigned char __attribute__((vector_size(kPiece)));
using PieceTest = signed char __attribute__((vector_size(kPiece)));  // a byte of ones where true

// Vectors pass by reference: a 32-bit build without SSE would pass them
// in another way than one with it.
void LoadPiece(const char* bytes, Piece& piece) {
    std::memcpy(&piece, bytes, sizeof piece);
}
bool NoneOf(const PieceTest& test) {
    uint64_t halves[2];
    std::memcpy(halves, &test, sizeof halves);
    return (halves[0] | halves[1]) == 0;
}

bool PlainForTsv(const char* bytes) {
    Piece piece;
    LoadPiece(bytes, piece);
    return NoneOf((piece < 0x20) | (piece == '\\'));
}
bool PlainForJson(const char* bytes) {
    Piece piece;
    LoadPiece(bytes, piece);
    return NoneOf((piece < 0x20) | (piece >= 0x80) | (piece == '"') | (piece == '\\'));
}
bool PlainForCsv(const char* bytes) {
    Piece piece;
    LoadPiece(bytes, piece);
    return NoneOf((piece == ',') | (piece == '"') | (piece == '\r') | (piece == '\n'));
}

// How many bytes from `from` on need no attention (all of them up to end
// when none does): whole pieces, then the last bytes tested as the piece
// that ends with them (start is where the text begins) or, in a text
// shorter than a piece, padded with plain bytes.
template <bool (*Plain)(const char*)>
std::size_t PlainBytes(const char* from, const char* end, const char* start) {
    std::size_t count = 0;
    while (static_cast<std::size_t>(end - from) - count >= kPiece && Plain(from + count)) count += kPiece;
    const std::size_t left = static_cast<std::size_t>(end - from) - count;
    if (left == 0 || left >= kPiece) return count;
    if (static_cast<std::size_t>(end - start) >= kPiece) return Plain(end - kPiece) ? count + left : count;
    char padded[kPiece];
    std::memset(padded, 'a', sizeof padded);
    std::memcpy(padded, from + count, left);
    return Plain(padded) ? count + left : count;
}

// Copies the bytes from `from` on that need no attention straight to `at`,
// a piece at a time while they are plain; the last bytes, when they are
// plain, as the piece that ends with them (whose first bytes were copied as
// they are just before) or padded in a text shorter than a piece. Returns
// where the bytes that need attention begin, end when none does.
template <bool (*Plain)(const char*)>
const char* CopyPlain(char*& at, const char* from, const char* end, const char* start) {
    while (static_cast<std::size_t>(end - from) >= kPiece && Plain(from)) {
        std::memcpy(at, from, kPiece);
        at += kPiece;
        from += kPiece;
    }
    const auto left = static_cast<std::size_t>(end - from);
    if (left == 0 || left >= kPiece) return from;
    if (static_cast<std::size_t>(end - start) >= kPiece) {
        if (!Plain(end - kPiece)) return from;
        std::memcpy(at + left - kPiece, end - kPiece, kPiece);
    } else {
        char padded[kPiece];
        std::memset(padded, 'a', sizeof padded);
        std::memcpy(padded, from, left);
        if (!Plain(padded)) return from;
        std::memcpy(at, from, left);
    }
    at += left;
    return end;
}

constexpr char kHex[] = "0123456789abcdef";

// The tool's escapes: "\\", "\t", "\n", "\r", and "\xNN" for the other
// bytes below 0x20.
char* PutEscaped(char* at, std::string_view text) {
    const char* from = text.data();
    const char* const end = from + text.size();
    while (from != end) {
        from = CopyPlain<PlainForTsv>(at, from, end, text.data());
        if (from == end) break;
        const auto byte = static_cast<unsigned char>(*from++);
        if (byte >= 0x20 && byte != '\\') {
            *at++ = static_cast<char>(byte);
            continue;
        }
        *at++ = '\\';
        switch (byte) {
            case '\\':
                *at++ = '\\';
                break;
            case '\t':
                *at++ = 't';
                break;
            case '\n':
                *at++ = 'n';
                break;
            case '\r':
                *at++ = 'r';
                break;
            default:
                *at++ = 'x';
                *at++ = kHex[byte >> 4];
                *at++ = kHex[byte & 0x0F];
        }
    }
    return at;
}

void AppendEscaped(std::string& out, std::string_view text) {
    AppendTo(out, EscapedRoom(text.size()), [&](char* at) { return PutEscaped(at, text); });
}

// The length of a text once escaped, without making it.
std::size_t EscapedSize(std::string_view text) {
    std::size_t size = text.size();
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\\' || byte == '\t' || byte == '\n' || byte == '\r') {
            size += 1;
        } else if (byte < 0x20) {
            size += 3;
        }
    }
    return size;
}

bool NeedsCsvQuotes(std::string_view text) {
    const char* const end = text.data() + text.size();
    const std::size_t plain = PlainBytes<PlainForCsv>(text.data(), end, text.data());
    return text.find_first_of(",\"\r\n", plain) != std::string_view::npos;
}

char* PutCsvField(char* at, std::string_view text) {
    if (!NeedsCsvQuotes(text)) return Put(at, text);
    *at++ = '"';
    for (char c : text) {
        if (c == '"') *at++ = '"';
        *at++ = c;
    }
    *at++ = '"';
    return at;
}

// One character of the basic plane in UTF-8.
char* PutUtf8(char* at, char16_t c) {
    if (c < 0x80) {
        *at++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *at++ = static_cast<char>(0xC0 | (c >> 6));
        *at++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *at++ = static_cast<char>(0xE0 | (c >> 12));
        *at++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *at++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return at;
}

// The length of the well-formed UTF-8 sequence at the start of text, or 0
// (overlong forms, surrogates and code points past U+10FFFF are not).
std::size_t Utf8SequenceAt(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 0;
    char32_t c = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        c = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() < length) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[k]);
        if ((next & 0xC0) != 0x80) return 0;
        c = (c << 6) | (next & 0x3F);
    }
    const bool overlong = (length == 3 && c < 0x800) || (length == 4 && c < 0x10000);
    if (overlong || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return 0;
    return length;
}

// A JSON string of the text. Bytes from 0x80 on are Windows-1252, or, when
// keepUtf8 is set, well-formed UTF-8 sequences are kept as they are and
// only the other bytes are taken as Windows-1252: either way the result is
// valid UTF-8.
char* PutJsonString(char* at, std::string_view text, bool keepUtf8 = false) {
    *at++ = '"';
    const char* from = text.data();
    const char* const end = from + text.size();
    while (from != end) {
        from = CopyPlain<PlainForJson>(at, from, end, text.data());
        if (from == end) break;
        const auto byte = static_cast<unsigned char>(*from);
        if (byte >= 0x80) {
            const std::size_t sequence =
                keepUtf8 ? Utf8SequenceAt(std::string_view(from, static_cast<std::size_t>(end - from))) : 0;
            if (sequence > 0) {
                at = Put(at, std::string_view(from, sequence));
                from += sequence;
            } else {
                at = PutUtf8(at, Windows1252ToUnicode(byte));
                ++from;
            }
            continue;
        }
        ++from;
        if (byte >= 0x20 && byte != '"' && byte != '\\') {
            *at++ = static_cast<char>(byte);
            continue;
        }
        *at++ = '\\';
        switch (byte) {
            case '"':
            case '\\':
                *at++ = static_cast<char>(byte);
                break;
            case '\t':
                *at++ = 't';
                break;
            case '\n':
                *at++ = 'n';
                break;
            case '\r':
                *at++ = 'r';
                break;
            default:
                at = Put(at, "u00");
                *at++ = kHex[byte >> 4];
                *at++ = kHex[byte & 0x0F];
        }
    }
    *at++ = '"';
    return at;
}

char* PutJsonUtcTime(char* at, FileTime time) {
    const std::optional<SystemTime> utc = ToSystemTime(time);
    if (!utc) return Put(at, "null");
    *at++ = '"';
    if (utc->year > 9999) *at++ = '+';  // ISO 8601's form for years of five digits
    at = PutDigits(at, utc->year, utc->year > 9999 ? 5 : 4);
    *at++ = '-';
    at = PutDigits(at, utc->month, 2);
    *at++ = '-';
    at = PutDigits(at, utc->day, 2);
    *at++ = 'T';
    at = PutDigits(at, utc->hour, 2);
    *at++ = ':';
    at = PutDigits(at, utc->minute, 2);
    *at++ = ':';
    at = PutDigits(at, utc->second, 2);
    constexpr uint64_t kTicksPerSecond = 10'000'000;
    if (const auto ticks = static_cast<unsigned>(time.ticks % kTicksPerSecond); ticks != 0) {
        *at++ = '.';
        at = PutDigits(at, ticks, 7);
    }
    return Put(at, "Z\"");
}

// The writers onto the end of a string, for the lines that are made whole
// before they are written.
void AppendNumber(std::string& out, uint64_t value) {
    AppendTo(out, kNumberRoom, [&](char* at) { return PutNumber(at, value); });
}
void AppendCsvField(std::string& out, std::string_view text) {
    AppendTo(out, CsvRoom(text.size()), [&](char* at) { return PutCsvField(at, text); });
}
void AppendJsonString(std::string& out, std::string_view text) {
    AppendTo(out, JsonRoom(text.size()), [&](char* at) { return PutJsonString(at, text); });
}
void AppendJsonUtcTime(std::string& out, FileTime time) {
    AppendTo(out, kUtcTimeRoom, [&](char* at) { return PutJsonUtcTime(at, time); });
}

// Why a file's result means it was not read, in words; empty when it was.
// A file of records' length that gives 0 failed to read.
std::string_view FailureOf(int result, uint64_t size) {
    switch (result) {
        case kIndexFileUnreadable:
            return size >= kIndexFileMinimumSize ? "cannot be read" : "too short";
        case kIndexFileNotIndexFile:
            return "not an index file";
        case kIndexFileNoUrlRecords:
            return "no URL records";
        default:
            return {};
    }
}

// Why a second walk over a file gave other than the first.
std::string_view ChangedWhileRead(int result) {
    return result == kIndexFileUnreadable ? "cannot be read" : "changed while it was read";
}

void ReportFailure(IndexToolContext& context, std::string_view path, std::string_view reason) {
    std::string line = "qm-index: ";
    AppendEscaped(line, path);
    line.append(": ").append(reason).push_back('\n');
    context.err << line << std::flush;
}

std::string_view KindName(std::optional<RecordKind> kind) {
    if (!kind) return "none";
    switch (*kind) {
        case RecordKind::History:
            return "History";
        case RecordKind::Cookies:
            return "Cookies";
        case RecordKind::Cache:
            return "Cache";
    }
    return "none";
}

// A file opened and summed up, or why it could not be.
struct OpenedFile {
    std::unique_ptr<FileReader> reader;
    std::unique_ptr<IndexFileStream> stream;  // its walks, all through one buffer
    IndexFileSummary summary;
    std::string_view failure;

    std::optional<RecordKind> kind() const {
        if (!failure.empty()) return std::nullopt;
        return DetectIndexFileKind(summary.firstUrl);
    }
};

// The file opened, its summary still to be made.
OpenedFile OpenUnsummarized(IndexToolContext& context, std::string_view path) {
    OpenedFile file;
    try {
        file.reader = context.fileSystem.OpenForRead(path);
    } catch (const std::bad_alloc&) {
        file.failure = "too large to read";  // a file system that reads files whole
        return file;
    }
    if (!file.reader) {
        file.failure = "cannot be opened";
        return file;
    }
    file.stream = std::make_unique<IndexFileStream>(*file.reader);
    return file;
}

void Summed(OpenedFile& file, const IndexFileSummary& summary) {
    file.summary = summary;
    file.failure = FailureOf(summary.result, file.reader->Size());
    if (!file.failure.empty()) file.summary = IndexFileSummary{summary.result, 0, {}};
}

OpenedFile Open(IndexToolContext& context, std::string_view path) {
    OpenedFile file = OpenUnsummarized(context, path);
    if (file.stream) Summed(file, file.stream->Summarize());
    return file;
}

// The read command: each file's line, then its records as they are read.
class RecordWriter {
public:
    RecordWriter(Format format, IndexToolContext& context, Output& out)
        : format_(format), context_(context), out_(out) {}

    void Start() {
        if (format_ == Format::Csv) out_.Append("file,lastUpdated,lastVisited,url,title\r\n");
    }

    // Before the file's records.
    void Begin(std::string_view path) {
        csvPath_.clear();
        if (format_ == Format::Csv) AppendCsvField(csvPath_, path);
    }

    // The most that FileLine makes for path.
    static std::size_t FileLineRoom(std::string_view path) {
        return JsonRoom(path.size()) + 3 * kNumberRoom + 64;
    }

    // The line that goes before the file's records; none in CSV.
    char* PutFileLine(char* at, std::string_view path, const OpenedFile& file) const {
        const int64_t result = file.summary.result;
        const uint64_t count = file.failure.empty() ? file.summary.records : 0;
        const std::string_view kind = KindName(file.kind());
        if (format_ == Format::Tsv) {
            at = Put(at, "# ");
            at = PutEscaped(at, path);
            at = Put(at, "\tresult=");
            at = PutNumber(at, result);
            at = Put(at, "\tkind=");
            at = Put(at, kind);
            at = Put(at, "\trecords=");
            at = PutNumber(at, count);
            *at++ = '\n';
        } else if (format_ == Format::Json) {
            at = Put(at, "{\"file\":");
            at = PutJsonString(at, path, context_.utf8Paths);
            at = Put(at, ",\"result\":");
            at = PutNumber(at, result);
            at = Put(at, ",\"kind\":");
            if (file.kind()) {
                *at++ = '"';
                at = Put(at, kind);
                *at++ = '"';
            } else {
                at = Put(at, "null");
            }
            at = Put(at, ",\"records\":");
            at = PutNumber(at, count);
            at = Put(at, "}\n");
        }
        return at;
    }

    void File(std::string_view path, const OpenedFile& file) {
        out_.Wrote(PutFileLine(out_.Room(FileLineRoom(path)), path, file));
    }

    void Record(const IndexFileRecord& record) {
        const std::size_t texts = record.url.size() + record.title.size();
        if (format_ == Format::Json) {
            char* at = out_.Room(JsonRoom(texts) + 2 * (kNumberRoom + kUtcTimeRoom) + 128);
            at = Put(at, "{\"lastUpdated\":");
            at = PutNumber(at, record.lastUpdated.ticks);
            at = Put(at, ",\"lastUpdatedUtc\":");
            at = PutJsonUtcTime(at, record.lastUpdated);
            at = Put(at, ",\"lastVisited\":");
            at = PutNumber(at, record.lastVisited.ticks);
            at = Put(at, ",\"lastVisitedUtc\":");
            at = PutJsonUtcTime(at, record.lastVisited);
            at = Put(at, ",\"url\":");
            at = PutJsonString(at, record.url);
            at = Put(at, ",\"title\":");
            at = PutJsonString(at, record.title);
            out_.Wrote(Put(at, "}\n"));
        } else if (format_ == Format::Csv) {
            char* at = out_.Room(csvPath_.size() + CsvRoom(texts) + 2 * kNumberRoom + 8);
            at = Put(at, csvPath_);
            *at++ = ',';
            at = PutNumber(at, record.lastUpdated.ticks);
            *at++ = ',';
            at = PutNumber(at, record.lastVisited.ticks);
            *at++ = ',';
            at = PutCsvField(at, record.url);
            *at++ = ',';
            at = PutCsvField(at, record.title);
            out_.Wrote(Put(at, kCsvLineEnd));
        } else {
            char* at = out_.Room(EscapedRoom(texts) + 2 * kNumberRoom + 4);
            at = PutNumber(at, record.lastUpdated.ticks);
            *at++ = '\t';
            at = PutNumber(at, record.lastVisited.ticks);
            *at++ = '\t';
            at = PutEscaped(at, record.url);
            *at++ = '\t';
            at = PutEscaped(at, record.title);
            *at++ = '\n';
            out_.Wrote(at);
        }
    }

private:
    Format format_;
    IndexToolContext& context_;
    Output& out_;
    std::string csvPath_;  // the file's path as the first field of its CSV lines
};

// Prints one file for read; returns why it could not be read, if it could
// not.
std::string_view ReadFile(std::string_view path, OpenedFile& file, RecordWriter& writer, Output& out,
                          IndexToolContext& context) {
    writer.Begin(path);
    if (!file.stream) {
        writer.File(path, file);
        return file.failure;
    }
    // A file's lines are about half its size: a file of up to twice the
    // lines that may be held is read in one walk, its lines held until the
    // count for its first line is known. Larger files, and files whose
    // lines outgrow what may be held, are walked twice, to count and to
    // print.
    const std::size_t most = context.heldOutput;
    const uint64_t size = file.reader->Size();
    if (size / 2 <= most) {
        out.Hold(RecordWriter::FileLineRoom(path), std::min(static_cast<std::size_t>(size), most));
        bool holding = true;
        IndexFileSummary summary;
        summary.result = file.stream->ForEachRecord(context.codec, [&](const IndexFileRecord& record) {
            if (summary.records++ == 0) summary.firstUrl = record.url;
            if (!holding) return;
            writer.Record(record);
            if (out.Held() > most) {
                out.Drop();
                holding = false;
            }
        });
        Summed(file, summary);
        if (holding && file.failure.empty()) {
            std::string line(RecordWriter::FileLineRoom(path), '\0');
            line.resize(static_cast<std::size_t>(writer.PutFileLine(line.data(), path, file) - line.data()));
            out.Release(line);
            return {};
        }
        out.Drop();
    } else {
        Summed(file, file.stream->Summarize());
    }
    writer.File(path, file);
    if (!file.failure.empty()) return file.failure;
    std::size_t count = 0;
    const int result = file.stream->ForEachRecord(context.codec, [&](const IndexFileRecord& record) {
        ++count;
        writer.Record(record);
    });
    if (result != file.summary.result || count != file.summary.records) return ChangedWhileRead(result);
    return {};
}

int Read(std::span<const std::string> files, Format format, IndexToolContext& context) {
    int status = kToolSuccess;
    Output out(context.out, context.outputMemory);
    RecordWriter writer(format, context, out);
    writer.Start();
    for (const std::string& path : files) {
        OpenedFile file = OpenUnsummarized(context, path);
        const std::string_view failure = ReadFile(path, file, writer, out, context);
        if (!failure.empty()) {
            out.Flush();  // keeps the two streams in order on a terminal
            ReportFailure(context, path, failure);
            status = kToolFileFailed;
        }
    }
    return status;
}

// The column widths of an aligned table, grown line by line.
void Widen(std::vector<std::size_t>& widths, std::span<const std::string_view> cells) {
    for (std::size_t column = 0; column < widths.size(); ++column)
        widths[column] = std::max(widths[column], EscapedSize(cells[column]));
}

// One line of an aligned table: the cells escaped, every column but the
// last padded to its width and two spaces between columns, without the
// padding after the last text.
void AppendAlignedLine(std::string& out, std::span<const std::string_view> cells,
                       std::span<const std::size_t> widths) {
    std::size_t textEnd = out.size();
    for (std::size_t column = 0; column < widths.size(); ++column) {
        if (column > 0) out.append(2, ' ');
        const std::size_t start = out.size();
        AppendEscaped(out, cells[column]);
        const std::size_t width = out.size() - start;
        if (width > 0) textEnd = out.size();
        out.append(widths[column] - std::min(width, widths[column]), ' ');
    }
    out.resize(textEnd);
    out.push_back('\n');
}

std::vector<std::string_view> ColumnTitles(const std::vector<IndexViewColumn>& columns) {
    std::vector<std::string_view> titles;
    for (const IndexViewColumn& column : columns) titles.push_back(column.title);
    return titles;
}

// The texts of a row, one for every column.
void RowTexts(const IndexViewRow& row, std::size_t columns, std::vector<std::string_view>& texts) {
    texts.assign(columns, std::string_view());
    for (std::size_t column = 0; column < columns && column < row.cells.size(); ++column)
        texts[column] = row.cells[column].text;
}

void AppendAlignedTitlesAndDashes(std::string& out, std::span<const std::string_view> titles,
                                  std::span<const std::size_t> widths) {
    AppendAlignedLine(out, titles, widths);
    std::vector<std::string> dashes;
    for (std::size_t width : widths) dashes.emplace_back(width, '-');
    const std::vector<std::string_view> dashTexts(dashes.begin(), dashes.end());
    AppendAlignedLine(out, dashTexts, widths);
}

// A line of cells in one of the plain formats.
void AppendPlainLine(std::string& out, Format format, std::span<const std::string_view> cells) {
    for (std::size_t column = 0; column < cells.size(); ++column) {
        if (format == Format::Csv) {
            if (column > 0) out.push_back(',');
            AppendCsvField(out, cells[column]);
        } else {
            if (column > 0) out.push_back('\t');
            AppendEscaped(out, cells[column]);
        }
    }
    out.append(format == Format::Csv ? kCsvLineEnd : "\n");
}

void AppendJsonRow(std::string& out, const std::vector<IndexViewColumn>& columns, const IndexViewRow& row) {
    out.push_back('{');
    for (std::size_t column = 0; column < columns.size(); ++column) {
        if (column > 0) out.push_back(',');
        AppendJsonString(out, columns[column].title);
        out.push_back(':');
        const IndexViewCell* cell = column < row.cells.size() ? &row.cells[column] : nullptr;
        const std::string_view text = cell ? std::string_view(cell->text) : std::string_view();
        if (cell && cell->sortKey) {
            out += "{\"text\":";
            AppendJsonString(out, text);
            out += ",\"filetime\":";
            AppendNumber(out, cell->sortKey->ticks);
            out += ",\"utc\":";
            AppendJsonUtcTime(out, *cell->sortKey);
            out.push_back('}');
        } else {
            AppendJsonString(out, text);
        }
    }
    out += "}\n";
}

// The list command: the index view's rows made one by one as the file is
// read. The aligned table needs its widths before its first line, so the
// file is read twice for it: once to measure, once to print.
int List(const std::string& path, Format format, IndexToolContext& context) {
    const OpenedFile file = Open(context, path);
    if (!file.failure.empty()) {
        ReportFailure(context, path, file.failure);
        return kToolFileFailed;
    }
    const RecordKind kind = DetectIndexFileKind(file.summary.firstUrl);
    const std::vector<IndexViewColumn> columns = IndexViewColumns(kind);
    const std::vector<std::string_view> titles = ColumnTitles(columns);
    const DateFormatter formatter;
    HistoryRecord record;
    std::vector<std::string_view> texts;
    const auto forEachRow = [&](const auto& use) {
        std::size_t count = 0;
        const int result = file.stream->ForEachRecord(context.codec, [&](const IndexFileRecord& visited) {
            ++count;
            visited.CopyTo(record);
            use(MakeIndexViewRow(kind, record, formatter));
        });
        if (result == file.summary.result && count == file.summary.records) return std::string_view();
        return ChangedWhileRead(result);
    };

    std::vector<std::size_t> widths(columns.size(), 0);
    if (format == Format::Aligned) {
        Widen(widths, titles);
        const std::string_view failure = forEachRow([&](const IndexViewRow& row) {
            RowTexts(row, columns.size(), texts);
            Widen(widths, texts);
        });
        if (!failure.empty()) {
            ReportFailure(context, path, failure);
            return kToolFileFailed;
        }
    }

    if (format == Format::Csv && context.rawOutput) context.rawOutput();
    Output out(context.out, context.outputMemory);
    std::string line;
    if (format == Format::Aligned) {
        AppendAlignedTitlesAndDashes(line, titles, widths);
    } else if (format != Format::Json) {
        AppendPlainLine(line, format, titles);
    }
    out.Append(line);
    const std::string_view failure = forEachRow([&](const IndexViewRow& row) {
        line.clear();
        if (format == Format::Json) {
            AppendJsonRow(line, columns, row);
        } else {
            RowTexts(row, columns.size(), texts);
            if (format == Format::Aligned) {
                AppendAlignedLine(line, texts, widths);
            } else {
                AppendPlainLine(line, format, texts);
            }
        }
        out.Append(line);
    });
    if (!failure.empty()) {
        out.Flush();
        ReportFailure(context, path, failure);
        return kToolFileFailed;
    }
    return kToolSuccess;
}

// The records of an index file as the band's History report, whatever the
// file's kind: an index file keeps no expiry, so every record shows
// "unknown" there. The page is written in text mode, as the band writes it.
int Html(const std::string& outPath, const std::string& path, IndexToolContext& context) {
    const OpenedFile file = Open(context, path);
    std::string_view failure = file.failure;
    std::string page;
    if (failure.empty()) {
        try {
            std::vector<HistoryRecord> records;
            records.reserve(file.summary.records);
            const int result = file.stream->ForEachRecord(
                context.codec, [&](const IndexFileRecord& record) { record.CopyTo(records.emplace_back()); });
            if (result == file.summary.result && records.size() == file.summary.records) {
                page = HistoryReport(records, DateFormatter());
            } else {
                failure = ChangedWhileRead(result);
            }
        } catch (const std::bad_alloc&) {
            failure = "too large to read";
        }
    }
    if (!failure.empty()) {
        ReportFailure(context, path, failure);
        return kToolFileFailed;
    }
    if (!context.fileSystem.WriteTextFile(outPath, page)) {
        ReportFailure(context, outPath, "cannot be written");
        return kToolFileFailed;
    }
    return kToolSuccess;
}

int Search(std::string folder, IndexToolContext& context) {
    // "dir/" and "dir\" name the same folder as "dir"; the root stays.
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
    if (!context.fileSystem.IsDirectory(folder)) {
        ReportFailure(context, folder, "not a folder");
        return kToolFileFailed;
    }
    Output out(context.out, context.outputMemory);
    const std::atomic<bool> keepSearching{true};
    SearchFolder(context.fileSystem, folder, keepSearching, [&](const std::string& path) {
        const std::string shown = context.displayPath ? context.displayPath(path) : path;
        char* at = PutEscaped(out.Room(EscapedRoom(shown.size()) + 1), shown);
        *at++ = '\n';
        out.Wrote(at);
    });
    return kToolSuccess;
}

int UsageError(IndexToolContext& context) {
    context.err << kUsage << std::flush;
    return kToolUsageError;
}

// "--format F" or "--format=F" at the front of the operands: the format and
// the operands after it. Without the option, the command's own default;
// nothing for an unknown format.
struct FormatOption {
    Format format;
    std::span<const std::string> operands;
};
std::optional<FormatOption> TakeFormat(std::span<const std::string> operands, Format fallback) {
    constexpr std::string_view kOption = "--format";
    if (operands.empty() || !operands.front().starts_with(kOption)) return FormatOption{fallback, operands};
    std::string_view name = std::string_view(operands.front()).substr(kOption.size());
    std::size_t taken = 1;
    if (name.empty()) {
        if (operands.size() < 2) return std::nullopt;
        name = operands[1];
        taken = 2;
    } else if (name.front() == '=') {
        name.remove_prefix(1);
    } else {
        return FormatOption{fallback, operands};  // a file whose name begins with "--format"
    }
    Format format;
    if (name == "tsv") {
        format = Format::Tsv;
    } else if (name == "csv") {
        format = Format::Csv;
    } else if (name == "json") {
        format = Format::Json;
    } else {
        return std::nullopt;
    }
    return FormatOption{format, operands.subspan(taken)};
}

}  // namespace

std::string_view IndexToolUsage() {
    return kUsage;
}

std::string EscapeIndexText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendEscaped(out, text);
    return out;
}

std::string CsvField(std::string_view text) {
    std::string out;
    AppendCsvField(out, text);
    return out;
}

std::string JsonString(std::string_view text) {
    std::string out;
    AppendJsonString(out, text);
    return out;
}

std::string JsonUtcTime(FileTime time) {
    std::string out;
    AppendJsonUtcTime(out, time);
    return out;
}

std::string FormatIndexTable(const IndexView& view) {
    const std::vector<std::string_view> titles = ColumnTitles(view.columns);
    std::vector<std::size_t> widths(titles.size(), 0);
    Widen(widths, titles);
    std::vector<std::string_view> texts;
    for (const IndexViewRow& row : view.rows) {
        RowTexts(row, titles.size(), texts);
        Widen(widths, texts);
    }
    std::string table;
    AppendAlignedTitlesAndDashes(table, titles, widths);
    for (const IndexViewRow& row : view.rows) {
        RowTexts(row, titles.size(), texts);
        AppendAlignedLine(table, texts, widths);
    }
    return table;
}

int RunIndexTool(std::span<const std::string> args, IndexToolContext& context) {
    if (std::find(args.begin(), args.end(), "--help") != args.end()) {
        context.out << kUsage << std::flush;
        return kToolSuccess;
    }
    if (args.empty()) return UsageError(context);
    const std::string& command = args.front();
    const std::span<const std::string> operands = args.subspan(1);
    if (command == "read" && !operands.empty() && operands.front() == "--html") {
        if (operands.size() != 3) return UsageError(context);
        return Html(operands[1], operands[2], context);
    }
    if (command == "read") {
        const std::optional<FormatOption> option = TakeFormat(operands, Format::Tsv);
        if (!option || option->operands.empty()) return UsageError(context);
        if (option->format == Format::Csv && context.rawOutput) context.rawOutput();
        return Read(option->operands, option->format, context);
    }
    if (command == "list") {
        const std::optional<FormatOption> option = TakeFormat(operands, Format::Aligned);
        if (!option || option->operands.size() != 1) return UsageError(context);
        return List(option->operands.front(), option->format, context);
    }
    if (command == "search" && operands.size() == 1) return Search(operands.front(), context);
    return UsageError(context);
}

}  // namespace qm
