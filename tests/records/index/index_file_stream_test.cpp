// The reader over an open file, a piece at a time: the same records as
// from the whole file in memory however the pieces fall, and a read that
// fails midway is a file that cannot be read.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/memory/memory_platform.h"
#include "records/index_file_reader.h"
#include "tests/records/index/index_file_builder.h"

namespace qm {
namespace {

using test::IndexFileBuilder;
using test::TitleForm;

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

struct Window {
    std::size_t readAhead;
    std::size_t piece;
    uint64_t claimedExtra;
};

TEST(IndexFileStream, GivesTheRecordsAndSummaryOfTheWholeFileHoweverThePiecesFall) {
    const std::string bytes = LargeFile();
    MemoryTextCodec codec;
    std::vector<HistoryRecord> expected;
    const int expectedResult = ReadIndexFileData(
        std::span(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()), codec, expected);
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
        ASSERT_EQ(streamed.size(), expected.size());
        for (std::size_t k = 0; k < expected.size(); ++k) {
            EXPECT_EQ(streamed[k].url, expected[k].url) << k;
            EXPECT_EQ(streamed[k].title, expected[k].title) << k;
            EXPECT_EQ(streamed[k].lastUpdated, expected[k].lastUpdated) << k;
            EXPECT_EQ(streamed[k].lastVisited, expected[k].lastVisited) << k;
        }

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
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].url, "kept");
    }
}

}  // namespace
}  // namespace qm
