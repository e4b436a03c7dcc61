// The HTML report of one record kind: a fixed page of the band's own making
// with one small framed table per record (title or file name, address, the
// three dates). Building the text is kept apart from choosing and writing
// the file, so that the index file tool can print the records of a file in
// the same History layout.
//
// Every text taken from a record is written with "&", "<", ">" and '"'
// replaced by their entities: a visited page may carry markup in its title or
// address, and a report opened in a browser must show that markup, not run
// it. The page's own markup is written as it stands.
//
// The texts end their lines with "\n"; the file is written in text mode, so
// each line ends in CR LF on disk. The page has no line end after its last
// closing tag.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "platform/types.h"
#include "records/cache_entry.h"
#include "settings/date_formatter.h"

namespace qm {

// Titles, file names and addresses longer than this are cut and marked "...".
inline constexpr std::size_t kReportTextLimit = 90;

// The page's opening lines, with the kind's word ("History", "Cookies",
// "Cache") in its title and heading.
std::string ReportHeader(RecordKind kind);
// The closing lines of the page; no line end after the last one.
std::string ReportPageEnd();

// A record text as a report cell shows it: trimmed, cut to 90 characters
// with "..." when longer, and escaped.
std::string ReportText(std::string_view text);
// The same for a title or file name, which shows "Untitled" when empty.
std::string ReportTitle(std::string_view text);
// The name of a cached file: the part of the local path after its last "\".
std::string ReportFileName(std::string_view localFile);
// "&", "<", ">" and '"' as entities; every other byte as it stands.
std::string EscapeHtml(std::string_view text);

// One record's table.
std::string HistoryRecordHtml(const HistoryRecord& record, const DateFormatter& formatter);
std::string CacheEntryHtml(const CacheEntry& entry, const DateFormatter& formatter);

// Whole pages, records in the order given. An empty collection still gives
// a complete page.
std::string HistoryReport(std::span<const HistoryRecord> records, const DateFormatter& formatter);
// Every entry given has its table.
std::string CookieReport(std::span<const CacheEntry> entries, const DateFormatter& formatter);
// Only content has a table: entries whose address holds "Visited:" or
// "Cookie:" are passed over.
std::string CacheReport(std::span<const CacheEntry> entries, const DateFormatter& formatter);

}  // namespace qm
