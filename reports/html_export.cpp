#include "reports/html_export.h"

#include <optional>
#include <string>
#include <vector>

#include "records/cache_entry.h"
#include "reports/html_report.h"

namespace qm {
namespace {

using namespace std::string_literals;

constexpr std::string_view kWhiteSpace = " \t\r\n\v\f";

// The chosen path, trimmed; nothing when the user cancelled or chose only
// white space.
std::optional<std::string> ChooseReportPath(Prompts& prompts, RecordKind kind) {
    const std::optional<std::string> chosen = prompts.ChooseFileToSave(ReportFileChoice(kind));
    if (!chosen) return std::nullopt;
    const std::size_t first = chosen->find_first_not_of(kWhiteSpace);
    if (first == std::string::npos) return std::nullopt;
    const std::size_t last = chosen->find_last_not_of(kWhiteSpace);
    return chosen->substr(first, last - first + 1);
}

ExportResult Write(FileSystem& fileSystem, const std::string& path, const std::string& page) {
    return fileSystem.WriteTextFile(path, page) ? ExportResult::Written : ExportResult::WriteFailed;
}

}  // namespace

FileChoice ReportFileChoice(RecordKind kind) {
    FileChoice choice;
    choice.filter = "HTML Files (*.html)\0*.html\0"s;
    choice.defaultExtension = "html";
    switch (kind) {
        case RecordKind::History:
            choice.defaultName = "history";
            break;
        case RecordKind::Cookies:
            choice.defaultName = "cookies";
            break;
        case RecordKind::Cache:
            choice.defaultName = "cache";
            break;
    }
    return choice;
}

ExportResult ExportHistory(Platform& platform, const DateFormatter& formatter) {
    const auto path = ChooseReportPath(platform.prompts, RecordKind::History);
    if (!path) return ExportResult::Cancelled;
    std::vector<HistoryRecord> records;
    if (!EnumerateHistory(platform.urlHistory, platform.textCodec, records))
        return ExportResult::CollectionFailed;
    return Write(platform.fileSystem, *path, HistoryReport(records, formatter));
}

ExportResult ExportCookies(Platform& platform, const DateFormatter& formatter) {
    const auto path = ChooseReportPath(platform.prompts, RecordKind::Cookies);
    if (!path) return ExportResult::Cancelled;
    std::vector<CacheEntry> entries;
    if (!EnumerateCacheEntries(platform.urlCache, kCookiePattern, entries))
        return ExportResult::CollectionFailed;
    return Write(platform.fileSystem, *path, CookieReport(entries, formatter));
}

ExportResult ExportCache(Platform& platform, const DateFormatter& formatter) {
    const auto path = ChooseReportPath(platform.prompts, RecordKind::Cache);
    if (!path) return ExportResult::Cancelled;
    std::vector<CacheEntry> entries;
    if (!EnumerateCacheEntries(platform.urlCache, kAllEntriesPattern, entries)) {
        return ExportResult::CollectionFailed;
    }
    return Write(platform.fileSystem, *path, CacheReport(entries, formatter));
}

}  // namespace qm
