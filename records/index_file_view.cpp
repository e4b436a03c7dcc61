#include "records/index_file_view.h"

#include "records/index_file_reader.h"

namespace qm {
namespace {

constexpr std::string_view kCookiePrefix = "Cookie:";
constexpr std::string_view kVisitedPrefix = "Visited:";
constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";

IndexViewColumn TextColumn(std::string title, int width) {
    return IndexViewColumn{std::move(title), width, kColumnFormatLeft, false};
}

IndexViewColumn DateColumn(std::string title) {
    return IndexViewColumn{std::move(title), 100, kColumnFormatCentred, true};
}

// The address as the History and Cookies views show it: everything up to
// and including the first prefix goes, when there is one, then the white
// space that followed it.
std::string_view AfterPrefix(std::string_view url, std::string_view prefix) {
    const std::size_t at = url.find(prefix);
    if (at != std::string_view::npos) url.remove_prefix(at + prefix.size());
    const std::size_t start = url.find_first_not_of(kWhiteSpace);
    return start == std::string_view::npos ? std::string_view() : url.substr(start);
}

IndexViewCell TextCell(std::string_view text) {
    return IndexViewCell{std::string(text), 0, 0, std::nullopt};
}

IndexViewCell LinkCell(std::string_view text) {
    return IndexViewCell{std::string(text), kCellFormatHyperlink, 0, std::nullopt};
}

IndexViewCell DateCell(FileTime time, const DateFormatter& formatter) {
    return IndexViewCell{DateCellText(time, formatter), 0, 0, time};
}

}  // namespace

IndexViewRow MakeIndexViewRow(RecordKind kind, const HistoryRecord& record, const DateFormatter& formatter) {
    IndexViewRow row;
    row.cells.reserve(5);
    const std::string_view url = record.url.view();
    switch (kind) {
        case RecordKind::History: {
            const UserAndSite parts = SplitUserAndSite(AfterPrefix(url, kVisitedPrefix));
            row.cells.push_back(TextCell(record.title.view()));
            row.cells.push_back(TextCell(parts.user));
            row.cells.push_back(LinkCell(parts.site));
            break;
        }
        case RecordKind::Cookies: {
            const UserAndSite parts = SplitUserAndSite(AfterPrefix(url, kCookiePrefix));
            row.cells.push_back(TextCell(parts.user));
            row.cells.push_back(LinkCell(parts.site));
            break;
        }
        case RecordKind::Cache:
            row.cells.push_back(LinkCell(SplitUserAndSite(url).site));
            break;
    }
    row.cells.push_back(DateCell(record.lastVisited, formatter));
    row.cells.push_back(DateCell(record.lastUpdated, formatter));
    return row;
}

RecordKind DetectIndexFileKind(std::string_view firstUrl) {
    if (firstUrl.find(kCookiePrefix) != std::string_view::npos) return RecordKind::Cookies;
    if (firstUrl.find(kVisitedPrefix) != std::string_view::npos) return RecordKind::History;
    return RecordKind::Cache;
}

std::vector<IndexViewColumn> IndexViewColumns(RecordKind kind) {
    std::vector<IndexViewColumn> columns;
    if (kind == RecordKind::History) columns.push_back(TextColumn("Title", 250));
    if (kind != RecordKind::Cache) columns.push_back(TextColumn("User", 100));
    columns.push_back(TextColumn("URL", 330));
    columns.push_back(DateColumn("Last Visited"));
    columns.push_back(DateColumn("Last Updated"));
    return columns;
}

UserAndSite SplitUserAndSite(std::string_view text) {
    const std::size_t at = text.find('@');
    if (at == std::string_view::npos) return UserAndSite{std::string_view(), text};
    return UserAndSite{text.substr(0, at), text.substr(at + 1)};
}

std::optional<IndexView> MakeIndexView(std::span<const HistoryRecord> records,
                                       const DateFormatter& formatter) {
    if (records.empty()) return std::nullopt;
    IndexView view;
    view.kind = DetectIndexFileKind(records.front().url.view());
    view.columns = IndexViewColumns(view.kind);
    view.rows.reserve(records.size());
    for (const HistoryRecord& record : records)
        view.rows.push_back(MakeIndexViewRow(view.kind, record, formatter));
    if (view.kind == RecordKind::Cache) view.columns.front().width = kIndexCacheUrlWidth;
    return view;
}

std::optional<IndexView> ReadIndexView(FileSystem& fileSystem, TextCodec& codec, std::string_view path,
                                       const DateFormatter& formatter) {
    if (path.empty()) return std::nullopt;
    std::vector<HistoryRecord> records;
    if (!IndexFileWasRead(ReadIndexFile(fileSystem, codec, path, records))) return std::nullopt;
    return MakeIndexView(records, formatter);
}

}  // namespace qm
