// The index view: the records of one index file as the band shows them in
// the list of the kind the file holds. The kind is decided by the first
// record's address alone; each kind has a column set of its own, narrower
// than the live lists', with the user name split off the address.
//
// The view is a plain value: columns, then rows of cell texts with the
// FILETIME of each date cell as its sort key. It draws nothing and knows
// no list control; the main view copies it into the list of its kind.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/text_codec.h"
#include "platform/types.h"
#include "records/cache_entry.h"
#include "settings/date_formatter.h"

namespace qm {

// Formats of the list control: columns left-aligned or centred, and the
// cell format of a hyperlink cell.
inline constexpr int kColumnFormatLeft = 0;
inline constexpr int kColumnFormatCentred = 4;
inline constexpr int kCellFormatHyperlink = 6;

// The width that the address column of a Cache file's view ends with.
inline constexpr int kIndexCacheUrlWidth = 500;

struct IndexViewColumn {
    std::string title;
    int width = 0;  // pixels
    int format = kColumnFormatLeft;
    bool isDate = false;  // sorts by the cells' FILETIME, not by their text

    friend bool operator==(const IndexViewColumn&, const IndexViewColumn&) = default;
};

struct IndexViewCell {
    std::string text{};
    int format = 0;  // kCellFormatHyperlink for an address
    int flags = 0;
    std::optional<FileTime> sortKey{};  // date cells only

    bool isHyperlink() const { return format == kCellFormatHyperlink; }
};

// One row: a cell for every column, in column order.
struct IndexViewRow {
    std::vector<IndexViewCell> cells;
};

struct IndexView {
    RecordKind kind = RecordKind::History;
    std::vector<IndexViewColumn> columns;
    std::vector<IndexViewRow> rows;
};

// The kind of a whole file from its first address: "Cookie:" anywhere gives
// Cookies, else "Visited:" anywhere gives History, else Cache.
RecordKind DetectIndexFileKind(std::string_view firstUrl);

// The columns of the index view as they are added, before any row:
//   History  "Title" 250, "User" 100, "URL" 330, "Last Visited" 100, "Last Updated" 100
//   Cookies  "User" 100, "URL" 330, "Last Visited" 100, "Last Updated" 100
//   Cache    "URL" 330, "Last Visited" 100, "Last Updated" 100
// The texts are left-aligned, the dates centred.
std::vector<IndexViewColumn> IndexViewColumns(RecordKind kind);

// The user name and the site of an address: the parts before and after its
// first "@"; without one, no user and the whole text as the site.
struct UserAndSite {
    std::string_view user;
    std::string_view site;
};
UserAndSite SplitUserAndSite(std::string_view text);

// The row of one record in a view of the given kind, as the view holds it.
IndexViewRow MakeIndexViewRow(RecordKind kind, const HistoryRecord& record, const DateFormatter& formatter);

// The view of the records, of the kind of the first one; nothing when there
// are no records. Rows come in record order. In a Cache view the address
// column is widened to kIndexCacheUrlWidth.
std::optional<IndexView> MakeIndexView(std::span<const HistoryRecord> records,
                                       const DateFormatter& formatter);

// Reads the file and makes its view. Nothing for an empty path, for a file
// that was not read (any result but 1 and -2) and for a file without
// records; none of these is an error to report.
std::optional<IndexView> ReadIndexView(FileSystem& fileSystem, TextCodec& codec, std::string_view path,
                                       const DateFormatter& formatter);

}  // namespace qm
