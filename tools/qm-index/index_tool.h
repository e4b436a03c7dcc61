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

struct IndexToolContext {
    FileSystem& fileSystem;
    TextCodec& codec;
    std::ostream& out;
    std::ostream& err;
    // How a path that the search found is printed; as it is when empty.
    std::function<std::string(std::string_view)> displayPath;
};

// Runs one command line (without the program name) and returns the exit
// status:
//   read FILE...   "# <path>\tresult=<code>\tkind=<kind>\trecords=<count>" for
//                  each file, then "<lastUpdated>\t<lastVisited>\t<url>\t<title>"
//                  for each of its records, times as decimal FILETIMEs
//   read --html OUT FILE
//                  FILE's records written to OUT as the band's History report
//   list FILE      the records as the band's index view shows them, aligned
//   search DIR     every path below DIR that looks like an index file
//   --help         the usage, on standard output
// A file that cannot be read gets a one-line message on the error stream
// naming it and the reason; a usage error prints the usage there.
int RunIndexTool(std::span<const std::string> args, IndexToolContext& context);

// The usage text, ending in a line feed.
std::string_view IndexToolUsage();

// A text as the tool prints it: "\" as "\\", tab, line feed and carriage
// return as "\t", "\n" and "\r", other bytes below 0x20 as "\xNN"; every
// other byte as it is.
std::string EscapeIndexText(std::string_view text);

// The index view as a table for a terminal: a line of column titles, a line
// of dashes, then one line per row; every column but the last padded to
// its longest text and two spaces between columns. Cells are escaped.
std::string FormatIndexTable(const IndexView& view);

}  // namespace qm
