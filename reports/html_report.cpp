#include "reports/html_report.h"

#include <string>

namespace qm {
namespace {

constexpr std::string_view kWhiteSpace = " \t\r\n\v\f";

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(kWhiteSpace);
    return text.substr(first, last - first + 1);
}

std::string_view KindWord(RecordKind kind) {
    switch (kind) {
        case RecordKind::Cookies:
            return "Cookies";
        case RecordKind::Cache:
            return "Cache";
        case RecordKind::History:
            break;
    }
    return "History";
}

// The three lines of the page's style sheet share everything after the
// border declarations.
constexpr std::string_view kCellStyle =
    " color: #000080;font-family:courier,system;font-size:10pt;font-weight:400;}\n";

constexpr std::string_view kTableStart =
    "<table border=\"0\" width=\"800\" bordercolor=\"#336699\" bgcolor=\"#abdafa\" cellspacing=\"2\" "
    "cellpadding=\"5\">\n";
constexpr std::string_view kFirstRowOpen = "<tr><td class=\"stable2\">";
constexpr std::string_view kRowBreak = "</td></tr>\n<tr><td class=\"stable3\">";
constexpr std::string_view kRowClose = "</td></tr>\n";
constexpr std::string_view kDatesOpen = "<tr><td class=\"stable4\">LastVisited: ";
constexpr std::string_view kUpdatedLabel = " &nbsp;&nbsp;LastUpdated: ";
constexpr std::string_view kExpiresLabel = " &nbsp;&nbsp;Expires: ";
constexpr std::string_view kTableEnd = "</table>\n<br>\n\n";

// A date as its cell shows it. The date template comes from the registry and
// is copied into the text around the fields, so it is escaped like a record.
std::string DateText(FileTime time, const DateFormatter& formatter) {
    return EscapeHtml(DateCellText(time, formatter));
}

void AppendDates(std::string& html, FileTime visited, FileTime updated, FileTime expires,
                 const DateFormatter& formatter) {
    html += kDatesOpen;
    html += DateText(visited, formatter);
    html += kUpdatedLabel;
    html += DateText(updated, formatter);
    html += kExpiresLabel;
    html += DateText(expires, formatter);
    html += kRowClose;
}

}  // namespace

std::string ReportHeader(RecordKind kind) {
    const std::string word(KindWord(kind));
    std::string header;
    header += "<html>\n<head>\n";
    header += "<title>Internet Explorer " + word + "</title>\n";
    header += "<style type=\"text/css\">\n";
    header +=
        ".stable1 { border-top: 1px solid #0000F0; border-left: 1px solid #0000F0; border-right: 1px solid "
        "#0000F0; border-bottom: 1px solid #0000F0;";
    header += kCellStyle;
    header +=
        ".stable2 { border-top: 1px solid #0000F0; border-left: 1px solid #0000F0; border-right: 1px solid "
        "#0000F0; border-bottom: 1px dotted #0000F0;";
    header += kCellStyle;
    header +=
        ".stable3 { border-left: 1px solid #0000F0; border-right: 1px solid #0000F0; border-bottom: 1px "
        "dotted #0000F0;";
    header += kCellStyle;
    header +=
        ".stable4 { border-left: 1px solid #0000F0; border-right: 1px solid #0000F0; border-bottom: 1px "
        "solid #0000F0;";
    header += kCellStyle;
    header += "</style></head>\n";
    header +=
        "<body bgcolor=\"white\" leftMargin=\"0\" topMargin=\"0\" marginheight=\"0\" marginwidth=\"0\">\n";
    header += "<div align=\"center\">\n";
    header += "<table width=800 border=\"0\"><tr><td>\n";
    header += "<table border=\"0\" width=\"100%\" bgcolor=\"white\" cellspacing=\"2\" cellpadding=\"5\">\n";
    header += "<tr><td><h2>Internet Explorer " + word + "</h2></td></tr>\n";
    header += "</table>\n";
    return header;
}

std::string ReportPageEnd() {
    return "\n</td></tr></table>\n</div>\n</body>\n</html>";
}

std::string EscapeHtml(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    // None of these four bytes can be the trail byte of a double-byte
    // character, so a byte-wise walk never splits one.
    for (char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

std::string ReportText(std::string_view text) {
    text = Trim(text);
    // The cut is made on the text as the reader sees it, before escaping, so
    // that it never falls inside an entity.
    if (text.size() > kReportTextLimit) return EscapeHtml(text.substr(0, kReportTextLimit)) + "...";
    return EscapeHtml(text);
}

std::string ReportTitle(std::string_view text) {
    if (Trim(text).empty()) return "Untitled";
    return ReportText(text);
}

std::string ReportFileName(std::string_view localFile) {
    const std::size_t slash = localFile.rfind('\\');
    return std::string(slash == std::string_view::npos ? localFile : localFile.substr(slash + 1));
}

std::string HistoryRecordHtml(const HistoryRecord& record, const DateFormatter& formatter) {
    std::string html(kTableStart);
    html += kFirstRowOpen;
    html += ReportTitle(record.title.view());
    html += kRowBreak;
    html += ReportText(record.url.view());
    html += kRowClose;
    AppendDates(html, record.lastVisited, record.lastUpdated, record.expires, formatter);
    html += kTableEnd;
    return html;
}

std::string CacheEntryHtml(const CacheEntry& entry, const DateFormatter& formatter) {
    std::string html(kTableStart);
    html += kFirstRowOpen;
    html += ReportTitle(ReportFileName(entry.localFile.view()));
    html += " &nbsp;&nbsp;Size: " + std::to_string(entry.size) + " bytes";
    html += " &nbsp;&nbsp;Hits: " + std::to_string(entry.hitRate);
    html += kRowBreak;
    html += ReportText(entry.url.view());
    html += kRowClose;
    // The cache calls the time of the last change "modified" and the time of
    // the last use "accessed"; the lists and reports read them as visited
    // and updated.
    AppendDates(html, entry.lastModifiedTime, entry.lastAccessTime, entry.expireTime, formatter);
    html += kTableEnd;
    return html;
}

std::string HistoryReport(std::span<const HistoryRecord> records, const DateFormatter& formatter) {
    std::string page = ReportHeader(RecordKind::History);
    for (const HistoryRecord& record : records) page += HistoryRecordHtml(record, formatter);
    page += ReportPageEnd();
    return page;
}

std::string CookieReport(std::span<const CacheEntry> entries, const DateFormatter& formatter) {
    std::string page = ReportHeader(RecordKind::Cookies);
    for (const CacheEntry& entry : entries) page += CacheEntryHtml(entry, formatter);
    page += ReportPageEnd();
    return page;
}

std::string CacheReport(std::span<const CacheEntry> entries, const DateFormatter& formatter) {
    std::string page = ReportHeader(RecordKind::Cache);
    for (const CacheEntry& entry : entries) {
        if (IsContentName(entry.url.view())) page += CacheEntryHtml(entry, formatter);
    }
    page += ReportPageEnd();
    return page;
}

}  // namespace qm
