// The index file reader on files built byte by byte: the codes, the
// records and titles every layout gives, damaged and cut-off files among
// them, and the same records however an open file is read in pieces.
#include "records/index_file_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/memory/memory_platform.h"
#include "tests/records/index/index_file_builder.h"
#include "tests/records/index/temp_folder.h"

namespace qm {
namespace {

using test::IndexFileBuilder;
using test::kBlock;
using test::TitleForm;
using test::UrlRecordBytes;
using test::UrlRecordLayout;
using namespace std::string_view_literals;

// Where the first record starts after the header of two blocks, and where
// the title marker of "http://a/" lies in its record (the address at 104,
// its NUL, one byte).
constexpr std::size_t kAt = 2 * kBlock;
constexpr std::size_t kMarker = 104 + 9 + 1;

IndexFileBuilder File(std::initializer_list<UrlRecordLayout> records, std::string_view version = "5.2") {
    IndexFileBuilder file(version);
    for (const UrlRecordLayout& record : records) file.Record(record);
    return file;
}

UrlRecordLayout Titled(std::u16string title, TitleForm form = TitleForm::Inline) {
    return {.url = "http://a/", .title = std::move(title), .form = form};
}

std::span<const unsigned char> Data(const std::string& bytes) {
    return {reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()};
}

// Each record as "address|title", one a line.
std::string Shown(const std::vector<HistoryRecord>& records) {
    std::string shown;
    for (const HistoryRecord& record : records)
        shown += (shown.empty() ? "" : "\n") + record.url.str() + "|" + record.title.str();
    return shown;
}

struct ReadCase {
    std::string name;
    int result;
    std::string records;  // one "address|title" a line
    std::string bytes;
};

std::vector<ReadCase> ReadCases() {
    const UrlRecordLayout visited{.url = "Visited: me@http://a/"};
    const UrlRecordLayout trailing40{
        .url = "http://a/", .title = u"Title", .form = TitleForm::Trailing, .skipped = 40};
    const std::u16string sixtyFour(64, u'w');
    std::vector<ReadCase> cases = {
        {"256 bytes are too short whatever they hold", kIndexFileUnreadable, "",
         IndexFileBuilder("5.2", 1).Put(kBlock, UrlRecordBytes(visited)).Resize(256).bytes()},
        {"an empty file", kIndexFileUnreadable, "", ""},
        {"a header and no URL block", kIndexFileNoUrlRecords, "",
         IndexFileBuilder().Put(kAt, "HASH").Resize(257).bytes()},
        {"\"URL\" that does not start a block", kIndexFileNoUrlRecords, "",
         IndexFileBuilder().Put(kAt + 1, "URL ").Put(kAt + kBlock + 64, "URL ").Resize(600).bytes()},
        {"\"UR\" at the very end", kIndexFileNoUrlRecords, "",
         IndexFileBuilder().Resize(5 * kBlock + 2).Put(5 * kBlock, "UR").bytes()},
        {"a signature in lower case", kIndexFileNotIndexFile, "", File({visited}).Put(0, "client").bytes()},
        {"a signature with one byte wrong", kIndexFileNotIndexFile, "",
         File({visited}).Put(0, "Client UrlCache MMF Vex").bytes()},
        {"version 4.7", kIndexFileOtherVersion, "Visited: me@http://a/|", File({visited}, "4.7").bytes()},
        {"version 5.3", kIndexFileOtherVersion, "Visited: me@http://a/|", File({visited}, "5.3").bytes()},
        {"no version", kIndexFileOtherVersion, "Visited: me@http://a/|", File({visited}, "").bytes()},
        {"version \"5 2\"", kIndexFileOtherVersion, "Visited: me@http://a/|", File({visited}, "5 2").bytes()},
        {"URL blocks inside other regions and with any fourth byte", kIndexFileRead,
         "inside the hash table|\nfourth byte|\nlast|",
         IndexFileBuilder()
             .Put(kAt, "HASH")
             .Put(4 * kBlock, UrlRecordBytes({.url = "inside the hash table"}))
             .Put(6 * kBlock, "LEAK")
             .Put(8 * kBlock, UrlRecordBytes({.url = "fourth byte", .fourthByte = '\x7F'}))
             .Put(10 * kBlock, "REDR")
             .Put(11 * kBlock, UrlRecordBytes({.url = "last"}))
             .bytes()},
        {"a block count of 0 is one block and the scan moves on by one", kIndexFileRead, "|\nsecond|",
         File({{.url = std::string(40, 'a'), .blockCount = 0}})
             .Put(kAt + kBlock, UrlRecordBytes({.url = "second"}))
             .bytes()},
        {"a block count of 1 leaves no room for an address", kIndexFileRead, "|\nnext|",
         File({{.url = "http://written.example/", .title = u"Title", .blockCount = 1}, {.url = "next"}})
             .bytes()},
        {"the scan skips the blocks a record counts", kIndexFileRead, "http://big/|\nafter|",
         File({{.url = "http://big/", .blockCount = 3}})
             .Put(kAt + 2 * kBlock, UrlRecordBytes({.url = "hidden"}))
             .Put(kAt + 4 * kBlock, UrlRecordBytes({.url = "after"}))
             .bytes()},
        {"the address stays within the record's blocks", kIndexFileRead, std::string(128, 'u') + "|",
         File({{.url = std::string(300, 'u'), .blockCount = 2}}).bytes()},
        {"a long address is cut to 1023 characters", kIndexFileRead, std::string(1023, 'l') + "|",
         File({{.url = std::string(2000, 'l')}}).bytes()},
        {"a count past the end ends the scan after its record", kIndexFileRead, "http://a/|",
         File({{.url = "http://a/", .blockCount = 0xFFFF}, {.url = "never reached"}}).bytes()},
        {"the file ends inside the address", kIndexFileRead, std::string(30, 'x') + "|",
         File({{.url = std::string(100, 'x')}}).Resize(kAt + 104 + 30).bytes()},
        {"the file ends before the block count", kIndexFileRead, "|",
         IndexFileBuilder().Put(kAt, "URL ").Resize(kAt + 4).bytes()},
        {"an inline title", kIndexFileRead, "http://a/|Inline title",
         File({Titled(u"Inline title")}).bytes()},
        {"a trailing title", kIndexFileRead, "http://a/|Trailing title",
         File({Titled(u"Trailing title", TitleForm::Trailing)}).bytes()},
        {"a trailing title after a long passed-over part", kIndexFileRead, "http://a/|Far",
         File({{.url = "http://a/", .title = u"Far", .form = TitleForm::Trailing, .skipped = 200}}).bytes()},
        {"a marker six bytes after the address", kIndexFileRead, "http://a/|",
         File({{.url = "http://a/", .title = u"Far", .markerGap = 6}}).bytes()},
        {"an inline count shorter than the title", kIndexFileRead, "http://a/|Ti",
         File({{.url = "http://a/", .title = u"Title", .titleCount = 4}}).bytes()},
        {"an odd count keeps the last character's low byte", kIndexFileRead, "http://a/|Tit",
         File({{.url = "http://a/", .title = u"Title", .titleCount = 5}}).bytes()},
        {"a count of 0", kIndexFileRead, "http://a/|",
         File({{.url = "http://a/", .title = u"Title", .titleCount = 0}}).bytes()},
        {"a trailing title of 128 bytes is none", kIndexFileRead, "http://a/|",
         File({Titled(sixtyFour, TitleForm::Trailing)}).bytes()},
        {"a trailing title of 127 bytes", kIndexFileRead, "http://a/|" + std::string(64, 'w'),
         File({{.url = "http://a/", .title = sixtyFour, .form = TitleForm::Trailing, .titleCount = 127}})
             .bytes()},
        {"an unknown title form", kIndexFileRead, "http://a/|",
         File({Titled(u"Title")}).Put(kAt + kMarker + 18, "\x10\x1E").bytes()},
        {"a title in the code page's upper half", kIndexFileRead, "http://a/|Caf\xE9 \x80",
         File({Titled(u"Caf\u00E9 \u20AC")}).bytes()},
        {"a title outside the code page", kIndexFileRead, "http://a/|??",
         File({Titled(u"\u65E5\u672C")}).bytes()},
        {"a title ends at its first NUL", kIndexFileRead, "http://a/|One",
         File({Titled(std::u16string(u"One\0Two", 7))}).bytes()},
        {"a title is cut to 255 characters", kIndexFileRead, "http://a/|" + std::string(255, 'T'),
         File({Titled(std::u16string(2000, u'T'))}).bytes()},
        {"the count claims more than there is", kIndexFileRead, "http://a/|Tit",
         File({Titled(u"Title")}).Word(kAt + kMarker + 16, 0xFFFF).Resize(kAt + kMarker + 26).bytes()},
        {"a passed-over part that runs far past the end", kIndexFileRead, "http://a/|",
         File({trailing40}).Word(kAt + kMarker + 16, 0xFFF0).bytes()},
        {"a record without its address's NUL still has a title", kIndexFileRead, "|Hi",
         IndexFileBuilder()
             .Put(kAt, "URL ")
             .Word(kAt + 4, 1)
             .Put(kAt + 106, "\x10\x00\x02"sv)
             .Word(kAt + 106 + 16, 6)
             .Put(kAt + 106 + 18, "\x10\x1F")
             .Put(kAt + 106 + 20, test::Utf16Bytes(u"Hi"))
             .bytes()},
    };
    for (std::size_t gap = 1; gap <= 5; ++gap)
        cases.push_back({"a marker " + std::to_string(gap) + " bytes after the address", kIndexFileRead,
                         "http://a/|Found",
                         File({{.url = "http://a/", .title = u"Found", .markerGap = gap}}).bytes()});
    // Files that end after the marker, inside the count, before the form
    // bytes and where the title would start; then inside a trailing count
    // and where a trailing title would start.
    for (std::size_t end : {kMarker + 3, kMarker + 17, kMarker + 19, kMarker + 20})
        cases.push_back({"the file ends " + std::to_string(end) + " bytes into an inline title's record",
                         kIndexFileRead, "http://a/|", File({Titled(u"Title")}).Resize(kAt + end).bytes()});
    for (std::size_t end : {kMarker + 40 + 29, kMarker + 40 + 32})
        cases.push_back({"the file ends " + std::to_string(end) + " bytes into a trailing title's record",
                         kIndexFileRead, "http://a/|", File({trailing40}).Resize(kAt + end).bytes()});
    return cases;
}

TEST(IndexFileReader, GivesTheCodeAndTheRecordsEachLayoutHolds) {
    MemoryTextCodec codec;
    for (const ReadCase& row : ReadCases()) {
        SCOPED_TRACE(row.name);
        std::vector<HistoryRecord> records;
        EXPECT_EQ(ReadIndexFileData(Data(row.bytes), codec, records), row.result);
        EXPECT_EQ(Shown(records), row.records);

        std::vector<HistoryRecord> visited;
        EXPECT_EQ(ForEachIndexFileRecord(Data(row.bytes), codec,
                                         [&](const HistoryRecord& record) { visited.push_back(record); }),
                  row.result);
        EXPECT_EQ(Shown(visited), row.records);
    }
}

// The visitor's record is reused: a record without a title, or with an
// empty one, after one with a title must not keep the old title.
TEST(IndexFileReader, VisitingLeavesNoStaleTitles) {
    MemoryTextCodec codec;
    const IndexFileBuilder file =
        File({Titled(u"First", TitleForm::Trailing), {.url = "http://b/"}, Titled(u"Third"), Titled(u"")});
    std::vector<HistoryRecord> visited;
    ForEachIndexFileRecord(file.data(), codec,
                           [&](const HistoryRecord& record) { visited.push_back(record); });
    EXPECT_EQ(Shown(visited), "http://a/|First\nhttp://b/|\nhttp://a/|Third\nhttp://a/|");
}

TEST(IndexFileReader, TakesTheTwoTimesAndReadsFieldsCutByTheEndAsZero) {
    MemoryTextCodec codec;
    const UrlRecordLayout timed{
        .url = "x", .updated = FileTime{0x0102030405060708ull}, .visited = FileTime{0x8877665544332211ull}};
    std::vector<HistoryRecord> records;
    ASSERT_EQ(ReadIndexFileData(File({timed}).data(), codec, records), kIndexFileRead);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].lastUpdated, timed.updated);
    EXPECT_EQ(records[0].lastVisited, timed.visited);
    EXPECT_EQ(records[0].expires, FileTime{});

    records.clear();
    ASSERT_EQ(ReadIndexFileData(File({timed}).Resize(kAt + 20).data(), codec, records), kIndexFileRead);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].lastUpdated, timed.updated);
    EXPECT_EQ(records[0].lastVisited, FileTime{});
    EXPECT_TRUE(records[0].url.empty());
}

TEST(IndexFileReader, AppendsToTheArrayAndLeavesItAloneOnFailure) {
    MemoryTextCodec codec;
    std::vector<HistoryRecord> records(1);
    records[0].url = "earlier";
    EXPECT_EQ(ReadIndexFileData(File({{.url = "http://a/"}}).data(), codec, records), kIndexFileRead);
    EXPECT_EQ(ReadIndexFileData(IndexFileBuilder().Put(kAt, "LEAK").data(), codec, records),
              kIndexFileNoUrlRecords);
    EXPECT_EQ(Shown(records), "earlier|\nhttp://a/|");

    // Files that are not read visit nothing.
    int calls = 0;
    EXPECT_EQ(ForEachIndexFileRecord(IndexFileBuilder().Put(kAt, "HASH").data(), codec,
                                     [&](const HistoryRecord&) { ++calls; }),
              kIndexFileNoUrlRecords);
    EXPECT_EQ(calls, 0);
}

TEST(IndexFileReader, FilesThatCannotBeOpenedGiveZero) {
    test::TempFolder folder;
    MemoryPlatform memory;
    std::vector<HistoryRecord> records;
    File({Titled(u"A")}).WriteTo(folder.Local("index.dat"));
    folder.MakeFolder("folder.dat");
    EXPECT_EQ(ReadIndexFile(memory.fileSystem, memory.textCodec, folder.Path("index.dat"), records),
              kIndexFileRead);
    EXPECT_EQ(ReadIndexFile(memory.fileSystem, memory.textCodec, folder.Path("missing.dat"), records),
              kIndexFileUnreadable);
    EXPECT_EQ(ReadIndexFile(memory.fileSystem, memory.textCodec, folder.Path("folder.dat"), records),
              kIndexFileUnreadable);
    EXPECT_EQ(Shown(records), "http://a/|A");
}

// ---- An open file, read a piece at a time ----

// A file in memory that hands out at most `piece` bytes a read, fails every
// read once `failAfter` bytes have been handed out, and may claim to be
// longer than it is (a file cut short while it is read).
class PieceReader final : public FileReader {
public:
    PieceReader(std::string bytes, std::size_t piece, uint64_t failAfter, uint64_t claimedExtra = 0)
        : bytes_(std::move(bytes)), piece_(piece), failAfter_(failAfter), claimedExtra_(claimedExtra) {}

    uint64_t Size() const override { return bytes_.size() + claimedExtra_; }
    std::optional<std::size_t> ReadAt(uint64_t offset, std::span<char> buffer) override {
        if (handedOut_ >= failAfter_) return std::nullopt;
        if (offset >= bytes_.size()) return 0;
        const std::size_t count = std::min({buffer.size(), piece_, bytes_.size() - offset});
        std::memcpy(buffer.data(), bytes_.data() + offset, count);
        handedOut_ += count;
        return count;
    }

private:
    std::string bytes_;
    std::size_t piece_;
    uint64_t failAfter_;
    uint64_t claimedExtra_;
    uint64_t handedOut_ = 0;
};

constexpr uint64_t kNeverFails = std::numeric_limits<uint64_t>::max();

// Over 400 KB, more than the readers hold at a time: records of every
// kind, one whose title lies 65,000 bytes past its marker (the farthest a
// record reaches), titles outside the code page and a record cut off by
// the end of the file.
std::string LargeFile() {
    IndexFileBuilder file("4.7");
    for (int k = 0; k < 800; ++k) {
        file.Record(
            {.url = "Visited: me@http://site" + std::to_string(k) + ".example/" + std::string(k % 300, 'p'),
             .updated = FileTime{132000000000000000ull + static_cast<uint64_t>(k)},
             .visited = FileTime{static_cast<uint64_t>(k)},
             .title = k % 3 == 0 ? std::optional<std::u16string>()
                                 : u"Caf\u00e9 \u65e5 " + std::u16string(k % 40, u'x'),
             .form = k % 2 ? TitleForm::Inline : TitleForm::Trailing,
             .markerGap = static_cast<std::size_t>(k % 6)});
        if (k % 7 == 0) file.Block("HASH", 1 + k % 3);
        if (k == 200)
            file.Record(
                {.url = "http://far/", .title = u"Far", .form = TitleForm::Trailing, .skipped = 65000});
        if (k == 300) file.Record({.url = std::string(2000, 'u'), .title = u"Long"});
    }
    file.Record({.url = "http://cut.example/", .title = u"Cut"});
    file.Resize(file.bytes().size() - 100);
    return file.bytes();
}

// Each record with its times.
std::string WithTimes(const std::vector<HistoryRecord>& records) {
    std::string shown;
    for (const HistoryRecord& record : records)
        shown += record.url.str() + "|" + record.title.str() + "|" +
                 std::to_string(record.lastUpdated.ticks) + "|" + std::to_string(record.lastVisited.ticks) +
                 "\n";
    return shown;
}

struct Window {
    std::size_t readAhead;
    std::size_t piece;
    uint64_t claimedExtra;
};

TEST(IndexFileStream, GivesTheRecordsAndSummaryOfTheWholeFileHoweverThePiecesFall) {
    const std::string bytes = LargeFile();
    MemoryTextCodec codec;
    std::vector<HistoryRecord> expected;
    const int expectedResult = ReadIndexFileData(Data(bytes), codec, expected);
    ASSERT_EQ(expectedResult, kIndexFileOtherVersion);
    ASSERT_GT(expected.size(), 800u);

    for (const Window window :
         {Window{128, 1 << 20, 0}, Window{128, 1000, 0}, Window{4096, 7, 0}, Window{70'000, 65'536, 0},
          Window{kIndexFileReadAhead, 1 << 20, 0}, Window{1000, 333, 5000}}) {
        SCOPED_TRACE(::testing::Message()
                     << "read ahead " << window.readAhead << ", pieces of " << window.piece << ", "
                     << window.claimedExtra << " bytes claimed more");
        PieceReader reader(bytes, window.piece, kNeverFails, window.claimedExtra);
        IndexFileStream stream(reader, window.readAhead);
        std::vector<HistoryRecord> streamed;
        EXPECT_EQ(stream.ForEachRecord(
                      codec, [&](const IndexFileRecord& record) { record.CopyTo(streamed.emplace_back()); }),
                  expectedResult);
        EXPECT_EQ(WithTimes(streamed), WithTimes(expected));

        // A second walk through the same buffer.
        const IndexFileSummary summary = stream.Summarize();
        EXPECT_EQ(summary.result, expectedResult);
        EXPECT_EQ(summary.records, expected.size());
        EXPECT_EQ(summary.firstUrl, expected.front().url.view());
    }
}

// Only OpenForRead matters here; the rest is the file system that has
// nothing.
class OneFileSystem final : public FileSystem {
public:
    explicit OneFileSystem(std::unique_ptr<FileReader> file) : file_(std::move(file)) {}

    std::optional<std::vector<FoundFile>> Find(std::string_view) override { return std::nullopt; }
    std::optional<uint32_t> GetAttributes(std::string_view) override { return std::nullopt; }
    bool SetAttributes(std::string_view, uint32_t) override { return false; }
    bool CanOpenForRead(std::string_view) override { return false; }
    std::optional<std::string> ReadFile(std::string_view, uint64_t) override { return std::nullopt; }
    std::unique_ptr<FileReader> OpenForRead(std::string_view) override { return std::move(file_); }
    bool WriteTextFile(std::string_view, std::string_view) override { return false; }
    FileRemoval RemoveFile(std::string_view) override { return FileRemoval::Failed; }
    bool RemoveFolder(std::string_view) override { return false; }
    bool DeleteAtRestart(std::string_view) override { return false; }
    std::optional<std::string> ShortPathName(std::string_view) override { return std::nullopt; }

private:
    std::unique_ptr<FileReader> file_;
};

TEST(IndexFileStream, AReadThatFailsMidwayIsAFileThatCannotBeRead) {
    const std::string bytes = LargeFile();
    MemoryTextCodec codec;

    // The walk hands on the records before the failure, then gives 0, and
    // so does every walk after it.
    PieceReader failing(bytes, 4096, bytes.size() / 2);
    IndexFileStream stream(failing, 4096);
    std::size_t visited = 0;
    EXPECT_EQ(stream.ForEachRecord(codec, [&](const IndexFileRecord&) { ++visited; }), kIndexFileUnreadable);
    EXPECT_GT(visited, 0u);
    EXPECT_EQ(stream.Summarize().result, kIndexFileUnreadable);

    // The band's reader counts first, then reads: a failure in either walk
    // leaves the caller's array as it was.
    for (const uint64_t failAfter : {bytes.size() / 2, bytes.size() + bytes.size() / 2}) {
        SCOPED_TRACE(failAfter);
        OneFileSystem fileSystem(std::make_unique<PieceReader>(bytes, 4096, failAfter));
        std::vector<HistoryRecord> records(1);
        records[0].url = "kept";
        EXPECT_EQ(ReadIndexFile(fileSystem, codec, "index.dat", records), kIndexFileUnreadable);
        EXPECT_EQ(Shown(records), "kept|");
    }
}

}  // namespace
}  // namespace qm
