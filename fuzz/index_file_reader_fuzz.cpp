// Fuzz target of the index file reader: any bytes at all, read as an index
// file and turned into the index view. Besides never crashing and never
// reading outside the data, the reader keeps its promises on every input:
// only the codes it documents, records exactly when a file was read, at
// most one record per block, and a row for every record.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/memory/memory_platform.h"
#include "records/index_file_reader.h"
#include "records/index_file_view.h"

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
    return 0;
}
