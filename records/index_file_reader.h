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
#include <span>
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

// Reads the whole file through the file system port and appends its URL
// records to the array in file order; returns one of the codes above. On
// any result but 1 and -2 the array is left as it was.
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

}  // namespace qm
