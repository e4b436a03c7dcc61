#include "records/index_file_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"
#include "tests/records/index/index_file_builder.h"
#include "tests/records/index/temp_folder.h"

namespace qm {
namespace {

using test::IndexFileBuilder;
using test::kBlock;
using test::TitleForm;
using test::UrlRecordLayout;
using ::testing::ElementsAre;
using namespace std::string_view_literals;

UrlRecordLayout Url(std::string url) {
    UrlRecordLayout layout;
    layout.url = std::move(url);
    return layout;
}

UrlRecordLayout Titled(std::string url, std::u16string title, TitleForm form = TitleForm::Inline) {
    UrlRecordLayout layout = Url(std::move(url));
    layout.title = std::move(title);
    layout.form = form;
    return layout;
}

class IndexFileReaderTest : public ::testing::Test {
protected:
    int Read(const IndexFileBuilder& file) { return Read(file.data()); }
    int Read(std::span<const unsigned char> data) { return ReadIndexFileData(data, codec_, records_); }
    int Read(const std::string& bytes) {
        return Read(std::span<const unsigned char>(reinterpret_cast<const unsigned char*>(bytes.data()),
                                                   bytes.size()));
    }

    std::vector<std::string> Urls() const {
        std::vector<std::string> urls;
        for (const HistoryRecord& record : records_) urls.push_back(record.url.str());
        return urls;
    }
    std::vector<std::string> Titles() const {
        std::vector<std::string> titles;
        for (const HistoryRecord& record : records_) titles.push_back(record.title.str());
        return titles;
    }
    // The title of a file holding the one record.
    std::string TitleOf(const UrlRecordLayout& layout) {
        IndexFileBuilder file;
        file.Record(layout);
        records_.clear();
        EXPECT_EQ(Read(file), kIndexFileRead);
        return records_.empty() ? "<no record>" : records_.front().title.str();
    }

    MemoryTextCodec codec_;
    std::vector<HistoryRecord> records_;
};

TEST_F(IndexFileReaderTest, TooShortFilesGiveZeroWhateverTheyHold) {
    IndexFileBuilder file("5.2", 1);
    file.Record(Url("Visited: me@http://a/"));
    file.Resize(256);
    EXPECT_EQ(Read(file), kIndexFileUnreadable);
    EXPECT_EQ(Read(std::string()), kIndexFileUnreadable);
    EXPECT_TRUE(records_.empty());
}

TEST_F(IndexFileReaderTest, AGoodHeaderWithoutUrlBlocksGivesMinusThree) {
    IndexFileBuilder file;
    file.Block("HASH");
    file.Resize(257);
    EXPECT_EQ(Read(file), kIndexFileNoUrlRecords);

    // "URL" that does not start a block is not a record.
    file.Resize(600).Put(kBlock * 2 + 1, "URL ").Put(kBlock * 3 + 64, "URL ");
    EXPECT_EQ(Read(file), kIndexFileNoUrlRecords);
    // Nor is a block whose last two bytes are "UR", at the very end.
    file.Resize(kBlock * 5 + 2).Put(kBlock * 5, "UR");
    EXPECT_EQ(Read(file), kIndexFileNoUrlRecords);
    EXPECT_TRUE(records_.empty());
}

TEST_F(IndexFileReaderTest, AMissingSignatureGivesMinusOneAndNoRecords) {
    IndexFileBuilder file;
    file.Record(Url("Visited: me@http://a/"));
    file.Put(0, "client");  // the signature is compared byte for byte
    EXPECT_EQ(Read(file), kIndexFileNotIndexFile);
    file.Put(0, "Client UrlCache MMF Vex");
    EXPECT_EQ(Read(file), kIndexFileNotIndexFile);
    EXPECT_TRUE(records_.empty());
}

TEST_F(IndexFileReaderTest, AnotherVersionGivesMinusTwoAndStillReads) {
    for (std::string_view version : {"4.7", "5.3", "", "5 2"}) {
        IndexFileBuilder file(version);
        file.Record(Url("Visited: me@http://a/"));
        records_.clear();
        EXPECT_EQ(Read(file), kIndexFileOtherVersion) << version;
        EXPECT_THAT(Urls(), ElementsAre("Visited: me@http://a/"));
    }
}

TEST_F(IndexFileReaderTest, AppendsToTheArrayAndLeavesItAloneOnFailure) {
    records_.emplace_back().url = "earlier";
    IndexFileBuilder good;
    good.Record(Url("http://a/"));
    good.Record(Url("http://b/"));
    EXPECT_EQ(Read(good), kIndexFileRead);
    EXPECT_THAT(Urls(), ElementsAre("earlier", "http://a/", "http://b/"));

    IndexFileBuilder noRecords;
    noRecords.Block("LEAK");
    EXPECT_EQ(Read(noRecords), kIndexFileNoUrlRecords);
    EXPECT_EQ(records_.size(), 3u);
}

TEST_F(IndexFileReaderTest, FindsUrlBlocksWhereverTheyLie) {
    IndexFileBuilder file;
    file.Block("HASH", 4);
    // A record whose block lies inside the hash region, and one with an odd
    // fourth byte: "URL" alone makes a record.
    file.Put(kBlock * 4, test::UrlRecordBytes(Url("inside the hash table")));
    file.Block("LEAK", 2);
    UrlRecordLayout odd = Url("fourth byte");
    odd.fourthByte = '\x7F';
    file.Record(odd);
    file.Block("REDR");
    file.Record(Url("last"));
    EXPECT_EQ(Read(file), kIndexFileRead);
    EXPECT_THAT(Urls(), ElementsAre("inside the hash table", "fourth byte", "last"));
}

TEST_F(IndexFileReaderTest, TakesTheTwoTimesAndNothingElse) {
    UrlRecordLayout layout = Url("Visited: me@http://a/");
    layout.updated = FileTime{0x0102030405060708ull};
    layout.visited = FileTime{0x8877665544332211ull};
    IndexFileBuilder file;
    file.Record(layout);
    ASSERT_EQ(Read(file), kIndexFileRead);
    ASSERT_EQ(records_.size(), 1u);
    EXPECT_EQ(records_[0].lastUpdated, layout.updated);
    EXPECT_EQ(records_[0].lastVisited, layout.visited);
    EXPECT_EQ(records_[0].expires, FileTime{});
    EXPECT_TRUE(records_[0].title.empty());
}

TEST_F(IndexFileReaderTest, BlockCountZeroIsReadAsOneBlockAndTheScanMovesOnByOne) {
    // A record of two blocks whose count says 0: its address is empty, and
    // its second block, which starts with "URL" here, is read as a record.
    UrlRecordLayout zero = Url(std::string(40, 'a'));
    zero.blockCount = 0;
    IndexFileBuilder file;
    const std::size_t first = file.Record(zero);
    file.Put(first + kBlock, test::UrlRecordBytes(Url("second")));
    EXPECT_EQ(Read(file), kIndexFileRead);
    EXPECT_THAT(Urls(), ElementsAre("", "second"));
}

TEST_F(IndexFileReaderTest, BlockCountOneGivesAnEmptyAddress) {
    UrlRecordLayout one = Titled("http://written.example/", u"Title");
    one.blockCount = 1;
    IndexFileBuilder file;
    file.Record(one);
    file.Record(Url("next"));
    EXPECT_EQ(Read(file), kIndexFileRead);
    EXPECT_THAT(Urls(), ElementsAre("", "next"));
}

TEST_F(IndexFileReaderTest, TheScanSkipsTheBlocksThatARecordCounts) {
    // Three blocks counted: a "URL" block inside them is not a record.
    UrlRecordLayout big = Url("http://big/");
    big.blockCount = 3;
    IndexFileBuilder file;
    const std::size_t at = file.Record(big);
    file.Put(at + kBlock * 2, test::UrlRecordBytes(Url("hidden")));
    file.Record(Url("after"));
    EXPECT_EQ(Read(file), kIndexFileRead);
    EXPECT_THAT(Urls(), ElementsAre("http://big/", "after"));
}

TEST_F(IndexFileReaderTest, TheAddressStaysWithinTheRecordsBlocks) {
    // Two blocks hold 128 bytes of address after offset 104: text that runs
    // on is cut there.
    UrlRecordLayout layout = Url(std::string(300, 'u'));
    layout.blockCount = 2;
    IndexFileBuilder file;
    file.Record(layout);
    EXPECT_EQ(Read(file), kIndexFileRead);
    EXPECT_THAT(Urls(), ElementsAre(std::string(128, 'u')));
}

TEST_F(IndexFileReaderTest, ALongAddressIsCutTo1023Characters) {
    std::string url = "http://long.example/";
    while (url.size() < 2000) url += "0123456789";
    url.resize(2000);
    UrlRecordLayout layout = Url(url);
    layout.blockCount = 20;
    IndexFileBuilder file;
    file.Record(layout);
    EXPECT_EQ(Read(file), kIndexFileRead);
    EXPECT_THAT(Urls(), ElementsAre(url.substr(0, 1023)));
}

TEST_F(IndexFileReaderTest, ACountThatRunsPastTheEndEndsTheScanAfterThatRecord) {
    UrlRecordLayout layout = Url("http://a/");
    layout.blockCount = 0xFFFF;
    IndexFileBuilder file;
    file.Record(layout);
    file.Record(Url("never reached"));
    EXPECT_EQ(Read(file), kIndexFileRead);
    EXPECT_THAT(Urls(), ElementsAre("http://a/"));
}

TEST_F(IndexFileReaderTest, ARecordCutOffByTheEndYieldsWhatItsBytesGive) {
    // The file ends inside the address: the address ends with the data.
    IndexFileBuilder file;
    const std::size_t at = file.Record(Url(std::string(100, 'x')));
    file.Resize(at + 104 + 30);
    EXPECT_EQ(Read(file), kIndexFileRead);
    EXPECT_THAT(Urls(), ElementsAre(std::string(30, 'x')));

    // The file ends inside the times: fields not wholly inside read as 0.
    UrlRecordLayout timed = Url("x");
    timed.updated = FileTime{0x1111111111111111ull};
    timed.visited = FileTime{0x2222222222222222ull};
    IndexFileBuilder cut;
    const std::size_t cutAt = cut.Record(timed);
    cut.Resize(cutAt + 20);
    records_.clear();
    EXPECT_EQ(Read(cut), kIndexFileRead);
    ASSERT_EQ(records_.size(), 1u);
    EXPECT_EQ(records_[0].lastUpdated, timed.updated);
    EXPECT_EQ(records_[0].lastVisited, FileTime{});
    EXPECT_TRUE(records_[0].url.empty());

    // Only "URL" and one more byte: the count cannot be read.
    IndexFileBuilder tiny;
    const std::size_t tinyAt = tiny.Block("URL ");
    tiny.Resize(tinyAt + 4);
    records_.clear();
    EXPECT_EQ(Read(tiny), kIndexFileRead);
    EXPECT_THAT(Urls(), ElementsAre(""));
}

TEST_F(IndexFileReaderTest, FindsTheTitleMarkerOneToFiveBytesAfterTheAddress) {
    for (std::size_t gap = 1; gap <= 5; ++gap) {
        UrlRecordLayout layout = Titled("Visited: me@http://a/", u"Found");
        layout.markerGap = gap;
        EXPECT_EQ(TitleOf(layout), "Found") << "gap " << gap;
    }
    UrlRecordLayout six = Titled("Visited: me@http://a/", u"Too far");
    six.markerGap = 6;
    EXPECT_EQ(TitleOf(six), "");
}

TEST_F(IndexFileReaderTest, ReadsBothTitleForms) {
    EXPECT_EQ(TitleOf(Titled("http://a/", u"Inline title", TitleForm::Inline)), "Inline title");
    EXPECT_EQ(TitleOf(Titled("http://a/", u"Trailing title", TitleForm::Trailing)), "Trailing title");

    UrlRecordLayout longSkip = Titled("http://a/", u"After a long part", TitleForm::Trailing);
    longSkip.skipped = 200;
    EXPECT_EQ(TitleOf(longSkip), "After a long part");
}

TEST_F(IndexFileReaderTest, TitleCountsDecideHowMuchIsRead) {
    // An inline count shorter than the text cuts it; an odd count keeps the
    // low byte of the last character.
    UrlRecordLayout shorter = Titled("http://a/", u"Title");
    shorter.titleCount = 4;
    EXPECT_EQ(TitleOf(shorter), "Ti");
    shorter.titleCount = 5;
    EXPECT_EQ(TitleOf(shorter), "Tit");

    UrlRecordLayout zero = Titled("http://a/", u"Title");
    zero.titleCount = 0;
    EXPECT_EQ(TitleOf(zero), "");

    // A trailing title of 128 bytes or more is no title; 127 bytes are.
    const std::u16string sixtyFour(64, u'w');
    EXPECT_EQ(TitleOf(Titled("http://a/", sixtyFour, TitleForm::Trailing)), "");
    UrlRecordLayout limit = Titled("http://a/", sixtyFour, TitleForm::Trailing);
    limit.titleCount = 127;
    EXPECT_EQ(TitleOf(limit), std::string(64, 'w'));
}

TEST_F(IndexFileReaderTest, AnUnknownTitleFormIsNoTitle) {
    IndexFileBuilder file;
    const std::size_t at = file.Record(Titled("http://a/", u"Title"));
    const std::size_t marker = at + 104 + 9 + 1;
    ASSERT_EQ(file.bytes().substr(marker, 3), "\x10\x00\x02"sv);
    file.Put(marker + 18, "\x10\x1E");
    EXPECT_EQ(Read(file), kIndexFileRead);
    EXPECT_THAT(Titles(), ElementsAre(""));
}

TEST_F(IndexFileReaderTest, ConvertsTitlesToTheAnsiCodePageAndCutsThem) {
    EXPECT_EQ(TitleOf(Titled("http://a/", u"Caf\u00E9 \u20AC")), "Caf\xE9 \x80");
    EXPECT_EQ(TitleOf(Titled("http://a/", u"\u65E5\u672C")), "??");
    // The text ends at its first NUL character.
    EXPECT_EQ(TitleOf(Titled("http://a/", std::u16string(u"One\0Two", 7))), "One");
    // A record keeps 255 characters.
    const std::u16string longTitle(2000, u'T');
    EXPECT_EQ(TitleOf(Titled("http://a/", longTitle)), std::string(255, 'T'));
}

TEST_F(IndexFileReaderTest, NoTitleReadLeavesTheData) {
    const UrlRecordLayout layout = Titled("http://a/", u"Title");
    const std::size_t marker = 104 + 9 + 1;

    // The file ends right after the marker, inside the count, before the
    // form bytes, and exactly where the title would start.
    for (std::size_t end : {marker + 3, marker + 17, marker + 19, marker + 20}) {
        IndexFileBuilder file;
        const std::size_t at = file.Record(layout);
        file.Resize(at + end);
        records_.clear();
        EXPECT_EQ(Read(file), kIndexFileRead) << end;
        EXPECT_THAT(Titles(), ElementsAre("")) << end;
    }
    // The count claims more than there is: the title ends with the data.
    IndexFileBuilder claims;
    const std::size_t at = claims.Record(layout);
    claims.Word(at + marker + 16, 0xFFFF).Resize(at + marker + 20 + 6);
    records_.clear();
    EXPECT_EQ(Read(claims), kIndexFileRead);
    EXPECT_THAT(Titles(), ElementsAre("Tit"));
}

TEST_F(IndexFileReaderTest, NoTrailingTitleReadLeavesTheData) {
    UrlRecordLayout layout = Titled("http://a/", u"Title", TitleForm::Trailing);
    layout.skipped = 40;
    const std::size_t marker = 104 + 9 + 1;
    // The file ends inside the trailing count, and exactly where the title
    // would start; then a passed-over part that runs far past the end.
    for (std::size_t end : {marker + 40 + 29, marker + 40 + 32}) {
        IndexFileBuilder file;
        const std::size_t at = file.Record(layout);
        file.Resize(at + end);
        records_.clear();
        EXPECT_EQ(Read(file), kIndexFileRead) << end;
        EXPECT_THAT(Titles(), ElementsAre("")) << end;
    }
    IndexFileBuilder far;
    const std::size_t at = far.Record(layout);
    far.Word(at + marker + 16, 0xFFF0);
    records_.clear();
    EXPECT_EQ(Read(far), kIndexFileRead);
    EXPECT_THAT(Titles(), ElementsAre(""));
}

TEST_F(IndexFileReaderTest, AnAddressWithoutItsNulStillLooksForATitleAfterIt) {
    // A one-block record has an empty address, so the marker search starts
    // at offset 104 of the record.
    IndexFileBuilder file;
    const std::size_t at = file.Block("URL ");
    file.Word(at + 4, 1);
    file.Put(at + 104 + 2, "\x10\x00\x02"sv).Word(at + 104 + 2 + 16, 6);
    file.Put(at + 104 + 2 + 18, "\x10\x1F");
    file.Put(at + 104 + 2 + 20, test::Utf16Bytes(u"Hi"));
    EXPECT_EQ(Read(file), kIndexFileRead);
    EXPECT_THAT(Titles(), ElementsAre("Hi"));
}

TEST_F(IndexFileReaderTest, VisitingGivesTheSameRecordsWithoutStaleTitles) {
    // The visitor's record is reused: a record without a title after one
    // with a title, or with a title that is empty, must not keep the old one.
    UrlRecordLayout emptyTitle = Titled("http://c/", u"");
    IndexFileBuilder file("4.7");
    file.Record(Titled("Visited: me@http://a/", u"First", TitleForm::Trailing));
    file.Record(Url("Visited: me@http://b/"));
    file.Record(Titled("Visited: me@http://c/", u"Third"));
    file.Record(emptyTitle);
    ASSERT_EQ(Read(file), kIndexFileOtherVersion);

    std::vector<HistoryRecord> visited;
    EXPECT_EQ(ForEachIndexFileRecord(file.data(), codec_,
                                     [&](const HistoryRecord& record) { visited.push_back(record); }),
              kIndexFileOtherVersion);
    ASSERT_EQ(visited.size(), records_.size());
    EXPECT_THAT(Titles(), ElementsAre("First", "", "Third", ""));
    for (std::size_t k = 0; k < visited.size(); ++k) {
        EXPECT_EQ(visited[k].url, records_[k].url) << k;
        EXPECT_EQ(visited[k].title, records_[k].title) << k;
    }

    // Files that are not read visit nothing.
    IndexFileBuilder noRecords;
    noRecords.Block("HASH");
    int calls = 0;
    EXPECT_EQ(ForEachIndexFileRecord(noRecords.data(), codec_, [&](const HistoryRecord&) { ++calls; }),
              kIndexFileNoUrlRecords);
    EXPECT_EQ(calls, 0);
}

TEST(IndexFileReaderFiles, ReadsThroughTheFileSystem) {
    test::TempFolder folder;
    MemoryPlatform memory;
    std::vector<HistoryRecord> records;

    IndexFileBuilder file;
    file.Record(Titled("Visited: me@http://a/", u"A"));
    file.WriteTo(folder.Local("index.dat"));
    EXPECT_EQ(ReadIndexFile(memory.fileSystem, memory.textCodec, folder.Path("index.dat"), records),
              kIndexFileRead);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].url, "Visited: me@http://a/");
    EXPECT_EQ(records[0].title, "A");

    // Missing files and folders cannot be opened.
    EXPECT_EQ(ReadIndexFile(memory.fileSystem, memory.textCodec, folder.Path("missing.dat"), records),
              kIndexFileUnreadable);
    folder.MakeFolder("folder.dat");
    EXPECT_EQ(ReadIndexFile(memory.fileSystem, memory.textCodec, folder.Path("folder.dat"), records),
              kIndexFileUnreadable);
    EXPECT_EQ(records.size(), 1u);
}

}  // namespace
}  // namespace qm
