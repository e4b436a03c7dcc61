// qm-index, the command-line reader of index files, for people who examine
// them outside the band: its commands, its output formats and its exit
// status. The program's main only supplies the file system, the code page
// and the streams, so that the commands run the same on every platform.
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/text_codec.h"
#include "records/index_file_view.h"

namespace qm {

// Exit status of the tool.
inline constexpr int kToolSuccess = 0;     // every file was read (result 1 or -2)
inline constexpr int kToolFileFailed = 1;  // a file could not be read or is not an index file
inline constexpr int kToolUsageError = 2;

// Memory for the tool's output buffers: a file's output is held whole
// until its count of records is known, megabytes written once front to
// back. Where the system gives memory in large pages, filling it costs a
// fraction of the faults of pages of 4 KB.
class OutputMemory {
public:
    virtual ~OutputMemory() = default;
    // Null when there is none.
    virtual char* Allocate(std::size_t size) = 0;
    // Frees what Allocate gave for that size; null is passed over.
    virtual void Free(char* bytes, std::size_t size) = 0;
};

struct IndexToolContext {
    FileSystem& fileSystem;
    TextCodec& codec;
    std::ostream& out;
    std::ostream& err;
    // How a path that the search found is printed; as it is when empty.
    std::function<std::string(std::string_view)> displayPath;
    // True where paths are UTF-8 (Linux): JSON then keeps a path that is
    // valid UTF-8 as it is. Elsewhere paths are ANSI, like the file's texts.
    bool utf8Paths = false;
    // Makes out write every byte as it is, for CSV, which ends its lines in
    // CR LF itself and may hold a lone LF inside a quoted field; empty where
    // the stream never changes line ends.
    std::function<void()> rawOutput{};
    // Where the output buffers come from; new[] when null.
    OutputMemory* outputMemory = nullptr;
    // The most of a file's output read holds back (see RunIndexTool).
    std::size_t heldOutput = std::size_t{8} << 20;
};

// Runs one command line (without the program name) and returns the exit
// status:
//   read [--format F] FILE...
//                  tsv (the default): "# <path>\tresult=<code>\tkind=<kind>\t
//                  records=<count>" for each file, then "<lastUpdated>\t
//                  <lastVisited>\t<url>\t<title>" for each of its records,
//                  times as decimal FILETIMEs; csv: one table of every file's
//                  records; json: an object a line, each file's, then its
//                  records'
//   read --html OUT FILE
//                  FILE's records written to OUT as the band's History report
//   list [--format F] FILE
//                  the records as the band's index view shows them: aligned,
//                  or as tsv, csv or json
//   search DIR     every path below DIR that looks like an index file
//   --help         the usage, on standard output
// Files are read in pieces, so memory stays the same whatever the files'
// size: read walks a file of up to 16 MB once, holding its lines (up to
// heldOutput bytes of them) until the count for its first line is known,
// and larger files twice, to count and then to print each record as it is
// read. A file that cannot be
// read gets a one-line message on the error stream naming it and the
// reason, and the others are still read; a usage error prints the usage
// there.
int RunIndexTool(std::span<const std::string> args, IndexToolContext& context);

// The usage text, ending in a line feed.
std::string_view IndexToolUsage();

// A text as the tool prints it: "\" as "\\", tab, line feed and carriage
// return as "\t", "\n" and "\r", other bytes below 0x20 as "\xNN"; every
// other byte as it is.
std::string EscapeIndexText(std::string_view text);

// A text as CSV writes a field: as it is, or between double quotes (each
// quote doubled) when it holds a comma, a quote, a CR or an LF.
std::string CsvField(std::string_view text);

// A text as a JSON string, quotes included: the bytes taken as Windows-1252
// and written as UTF-8, with quotes, backslashes and controls escaped.
std::string JsonString(std::string_view text);

// A FILETIME as an ISO 8601 time in UTC ("2019-04-17T08:30:00Z", with the
// 100 ns ticks as seven decimals when there are any), quoted for JSON; null
// when the platform cannot convert it.
std::string JsonUtcTime(FileTime time);

// The index view as a table for a terminal: a line of column titles, a line
// of dashes, then one line per row; every column but the last padded to
// its longest text and two spaces between columns. Cells are escaped.
std::string FormatIndexTable(const IndexView& view);

}  // namespace qm
