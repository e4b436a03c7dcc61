// Fuzz target of the index file reader: any bytes at all, read as an index
// file and turned into the index view. Besides never crashing and never
// reading outside the data, the reader keeps its promises on every input:
// only the codes it documents, records exactly when a file was read, at
// most one record per block, and a row for every record. The same bytes
// read from an open file a piece at a time give the same code and the same
// records, and so do they with a gap wider than the reader's window before
// a second copy of them, so that the window slides over records that the
// input lays out.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"
#include "records/index_file_reader.h"
#include "records/index_file_view.h"

namespace {

// The bytes as an open file that hands out at most `piece` bytes a read.
class PieceReader final : public qm::FileReader {
public:
    PieceReader(std::span<const unsigned char> bytes, std::size_t piece) : bytes_(bytes), piece_(piece) {}

    uint64_t Size() const override { return bytes_.size(); }
    std::optional<std::size_t> ReadAt(uint64_t offset, std::span<char> buffer) override {
        if (offset >= bytes_.size()) return 0;
        const std::size_t count =
            std::min({buffer.size(), piece_, bytes_.size() - static_cast<std::size_t>(offset)});
        std::memcpy(buffer.data(), bytes_.data() + offset, count);
        return count;
    }

private:
    std::span<const unsigned char> bytes_;
    std::size_t piece_;
};

// The records read from memory, then the same bytes streamed twice through
// one window (the second walk a summary) must agree.
void CheckStreamingAgrees(std::span<const unsigned char> bytes, std::size_t readAhead, std::size_t piece) {
    static qm::MemoryTextCodec codec;
    std::vector<qm::HistoryRecord> expected;
    const int result = qm::ReadIndexFileData(bytes, codec, expected);

    PieceReader reader(bytes, piece);
    qm::IndexFileStream stream(reader, readAhead);
    std::size_t visited = 0;
    const int streamed = stream.ForEachRecord(codec, [&](const qm::IndexFileRecord& record) {
        if (visited >= expected.size()) __builtin_trap();
        const qm::HistoryRecord& want = expected[visited++];
        if (record.url != want.url.view() || record.title != want.title.view() ||
            record.lastUpdated != want.lastUpdated || record.lastVisited != want.lastVisited)
            __builtin_trap();
    });
    if (streamed != result || visited != expected.size()) __builtin_trap();

    const qm::IndexFileSummary summary = stream.Summarize();
    if (summary.result != result || summary.records != expected.size()) __builtin_trap();
    if (!expected.empty() && summary.firstUrl != expected.front().url.view()) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static qm::MemoryTextCodec codec;
    static const qm::DateFormatter formatter;

    std::vector<qm::HistoryRecord> records;
    const int result = qm::ReadIndexFileData(std::span<const unsigned char>(data, size), codec, records);
    const bool read = qm::IndexFileWasRead(result);
    if (!read && result != qm::kIndexFileUnreadable && result != qm::kIndexFileNotIndexFile &&
        result != qm::kIndexFileNoUrlRecords)
        __builtin_trap();
    if (read == records.empty()) __builtin_trap();
    if (records.size() > (size + 127) / 128) __builtin_trap();

    const auto view = qm::MakeIndexView(records, formatter);
    if (view.has_value() != read) __builtin_trap();
    if (view) {
        if (view->rows.size() != records.size()) __builtin_trap();
        for (const qm::IndexViewRow& row : view->rows)
            if (row.cells.size() != view->columns.size()) __builtin_trap();
    }

    // Window and piece sizes that the input picks. Each refill keeps up to
    // a record's reach (68 KB), so windows much smaller than that would
    // spend the fuzzer's time moving bytes.
    static constexpr std::size_t kReadAheads[] = {16 * 1024, 24 * 1024, 40 * 1024};
    const std::size_t readAhead = kReadAheads[size % 3];
    const std::size_t piece = size > 0 ? 256 + data[size - 1] * 64 : 256;
    CheckStreamingAgrees(std::span<const unsigned char>(data, size), readAhead, piece);

    // The input, zeros to the next block and for more than a window, then
    // the input again: its records read at other places in the window.
    std::string twice(reinterpret_cast<const char*>(data), size);
    twice.resize((size + 127) / 128 * 128 + 72 * 1024 + readAhead, '\0');
    twice.append(reinterpret_cast<const char*>(data), size);
    CheckStreamingAgrees(
        std::span<const unsigned char>(reinterpret_cast<const unsigned char*>(twice.data()), twice.size()),
        readAhead, piece);
    return 0;
}
