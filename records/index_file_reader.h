// The index file reader. An index file ("index.dat") is where the browser
// keeps the addresses of one of its stores on disk: a header that begins
// with "Client UrlCache MMF Ver", then blocks of 128 bytes, some of which
// start URL records. People examine such files long after the browser is
// gone, from old disks, backups and disk images, so every byte of the file
// is taken as hostile: no read ever leaves the file's data, and a damaged
// record yields what its bytes give (an empty address, no title, a zero
// time) while the scan goes on.
//
// Of each URL record the reader takes the address, the title and two
// times, nothing else. All numbers in the file are little-endian.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/text_codec.h"
#include "records/cache_entry.h"

namespace qm {

// What ReadIndexFile returns.
inline constexpr int kIndexFileRead = 1;           // version "5.2", at least one URL record
inline constexpr int kIndexFileOtherVersion = -2;  // another version: the records are read all the same
inline constexpr int kIndexFileNotIndexFile = -1;  // the header text is missing
inline constexpr int kIndexFileNoUrlRecords = -3;  // a header, but no block starts a URL record
inline constexpr int kIndexFileUnreadable = 0;     // cannot be opened, or 256 bytes or fewer

// The smallest file that can hold records: 256 bytes or fewer are too short.
inline constexpr std::size_t kIndexFileMinimumSize = 257;

// True for the results whose records are worth showing (1 and -2).
constexpr bool IndexFileWasRead(int result) {
    return result == kIndexFileRead || result == kIndexFileOtherVersion;
}

// One URL record as the reader hands it on: its texts as a HistoryRecord
// keeps them (the address cut to 1023 bytes, the title converted to the
// ANSI code page and cut to 255), valid only during the call that gets it.
struct IndexFileRecord {
    std::string_view url;
    std::string_view title;
    FileTime lastUpdated;
    FileTime lastVisited;

    // Fills every field the file gives; expires is left as it is.
    void CopyTo(HistoryRecord& record) const;
};

// What a walk over a file that is not kept needs to know before the first
// record: the file's code, how many URL records it holds, and the first
// one's address (which decides the kind of the whole file).
struct IndexFileSummary {
    int result = kIndexFileUnreadable;
    std::size_t records = 0;
    std::string firstUrl;
};

// How much of a file the readers below hold at a time, beyond the reach
// of one record (a record's title may lie up to 68 KB past its start): a
// few hundred KB, which stay in the processor's cache.
inline constexpr std::size_t kIndexFileReadAhead = std::size_t{256} << 10;

// Reads the file and appends its URL records to the array in file order;
// returns one of the codes above. On any result but 1 and -2 the array is
// left as it was. The file is read in pieces, never held whole: a read that
// fails midway gives 0.
int ReadIndexFile(FileSystem& fileSystem, TextCodec& codec, std::string_view path,
                  std::vector<HistoryRecord>& records);

// The same on a file's bytes already in memory. Titles are converted from
// UTF-16 to the ANSI code page through the codec.
int ReadIndexFileData(std::span<const unsigned char> data, TextCodec& codec,
                      std::vector<HistoryRecord>& records);

// The same, handing each record to visit in file order instead of keeping
// them all, for callers that only pass records on: a record is 1.3 KB, so
// the array for a large file is several times the file's size. The record
// is valid only during the call. Returns the same code.
int ForEachIndexFileRecord(std::span<const unsigned char> data, TextCodec& codec,
                           const std::function<void(const HistoryRecord&)>& visit);

class IndexFileWindow;

// The walks over one open file, read a piece at a time through one buffer
// of readAhead bytes and one record's reach (no more than the file's
// size), so that memory stays the same whatever the file's size. The
// buffer serves every walk, and a file that fits in it is read only once.
// A read that fails ends the file's data there: every walk from then on
// gives 0, after the records before the failure.
class IndexFileStream {
public:
    explicit IndexFileStream(FileReader& file, std::size_t readAhead = kIndexFileReadAhead);
    ~IndexFileStream();
    IndexFileStream(const IndexFileStream&) = delete;
    IndexFileStream& operator=(const IndexFileStream&) = delete;

    // The file's code and count from a walk that reads of each record only
    // its block count, and of the first its address.
    IndexFileSummary Summarize();
    // Hands each record to visit in file order; returns the file's code.
    int ForEachRecord(TextCodec& codec, const std::function<void(const IndexFileRecord&)>& visit);

private:
    std::unique_ptr<IndexFileWindow> window_;
};

}  // namespace qm
