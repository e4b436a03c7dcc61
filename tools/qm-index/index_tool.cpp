#include "tools/qm-index/index_tool.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cstdint>
#include <limits>
#include <new>
#include <type_traits>
#include <vector>

#include "records/index_file_location.h"
#include "records/index_file_reader.h"
#include "reports/html_report.h"

namespace qm {
namespace {

constexpr std::string_view kUsage =
    "usage: qm-index read FILE...\n"
    "       qm-index read --html OUT FILE\n"
    "       qm-index list FILE\n"
    "       qm-index search DIR\n"
    "       qm-index --help\n"
    "\n"
    "Reads the index files (index.dat) in which the browser keeps its history,\n"
    "cookies and cache.\n"
    "\n"
    "  read    for each FILE a line\n"
    "            # <path>\\tresult=<code>\\tkind=<History|Cookies|Cache|none>\\trecords=<count>\n"
    "          then one line per record, in file order:\n"
    "            <lastUpdated>\\t<lastVisited>\\t<url>\\t<title>\n"
    "          with the times as decimal FILETIME values and the texts escaped\n"
    "          (\\\\, \\t, \\n, \\r, \\xNN)\n"
    "  read --html\n"
    "          writes the records of FILE to OUT as an HTML report in the\n"
    "          band's History layout (title, address, the dates), and prints\n"
    "          nothing\n"
    "  list    shows the records of FILE as the band's index view does\n"
    "  search  prints every index file below DIR, one path a line\n"
    "\n"
    "Exit status: 0 when every file was read, 1 when a file could not be read\n"
    "or is not an index file, 2 for a usage error.\n";

// Output is gathered and written in large pieces: a file of 100 MB has
// hundreds of thousands of records.
class Output {
public:
    explicit Output(std::ostream& stream) : stream_(stream) { buffer_.reserve(kFlushSize + 8192); }
    ~Output() { Flush(); }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    Output& operator<<(std::string_view text) {
        if (text.size() >= kFlushSize) {
            Flush();
            stream_.write(text.data(), static_cast<std::streamsize>(text.size()));
            return *this;
        }
        buffer_.append(text);
        if (buffer_.size() >= kFlushSize) Flush();
        return *this;
    }
    Output& operator<<(char c) {
        buffer_.push_back(c);
        return *this;
    }
    Output& Number(int64_t value) {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        return *this << std::string_view(digits, static_cast<std::size_t>(end - digits));
    }
    Output& Number(uint64_t value) {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        return *this << std::string_view(digits, static_cast<std::size_t>(end - digits));
    }
    Output& Escaped(std::string_view text) {
        AppendEscaped(buffer_, text);
        if (buffer_.size() >= kFlushSize) Flush();
        return *this;
    }

    void Flush() {
        stream_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        stream_.flush();
        buffer_.clear();
    }

    static void AppendEscaped(std::string& out, std::string_view text) {
        static constexpr char kHex[] = "0123456789abcdef";
        // Runs of plain bytes are copied whole; most texts are one run.
        std::size_t plainFrom = 0;
        for (std::size_t at = 0; at < text.size(); ++at) {
            const auto byte = static_cast<unsigned char>(text[at]);
            if (byte >= 0x20 && byte != '\\') continue;
            out.append(text.substr(plainFrom, at - plainFrom));
            plainFrom = at + 1;
            switch (byte) {
                case '\\':
                    out += "\\\\";
                    break;
                case '\t':
                    out += "\\t";
                    break;
                case '\n':
                    out += "\\n";
                    break;
                case '\r':
                    out += "\\r";
                    break;
                default:
                    out += "\\x";
                    out.push_back(kHex[byte >> 4]);
                    out.push_back(kHex[byte & 0x0F]);
            }
        }
        out.append(text.substr(plainFrom));
    }

private:
    static constexpr std::size_t kFlushSize = 1 << 20;
    std::ostream& stream_;
    std::string buffer_;
};

// Why a file's result means it was not read, in words; empty when it was.
std::string_view FailureOf(int result) {
    switch (result) {
        case kIndexFileUnreadable:
            return "too short";  // it was opened: see LoadFile
        case kIndexFileNotIndexFile:
            return "not an index file";
        case kIndexFileNoUrlRecords:
            return "no URL records";
        default:
            return {};
    }
}

std::optional<std::string> LoadFile(IndexToolContext& context, std::string_view path) {
    // The file is read whole, as the band reads it: records may lie anywhere.
    return context.fileSystem.ReadFile(path, std::numeric_limits<uint64_t>::max());
}

std::span<const unsigned char> Bytes(const std::string& bytes) {
    return {reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()};
}

void ReportFailure(IndexToolContext& context, std::string_view path, std::string_view reason) {
    std::string line = "qm-index: ";
    Output::AppendEscaped(line, path);
    line.append(": ").append(reason).push_back('\n');
    context.err << line << std::flush;
}

std::string_view KindName(std::optional<RecordKind> kind) {
    if (!kind) return "none";
    switch (*kind) {
        case RecordKind::History:
            return "History";
        case RecordKind::Cookies:
            return "Cookies";
        case RecordKind::Cache:
            return "Cache";
    }
    return "none";
}

void AppendNumber(std::string& out, uint64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, static_cast<std::size_t>(end - digits));
}

// One file of the read command. The records are formatted as they are
// read, not kept: the file's header line, which comes first, needs their
// count, and their text is a fraction of the size of the records.
struct FileReport {
    int result = kIndexFileUnreadable;
    std::optional<RecordKind> kind;
    std::size_t count = 0;
    std::string lines;
    std::string_view failure;
};

FileReport ReportFile(IndexToolContext& context, std::string_view path) {
    FileReport report;
    try {
        const std::optional<std::string> bytes = LoadFile(context, path);
        if (!bytes) {
            report.failure = "cannot be opened";
            return report;
        }
        // Lines take less room than the file; reserved room is not memory
        // until it is written.
        report.lines.reserve(bytes->size() / 2);
        report.result =
            ForEachIndexFileRecord(Bytes(*bytes), context.codec, [&](const HistoryRecord& record) {
                if (report.count++ == 0) report.kind = DetectIndexFileKind(record.url.view());
                AppendNumber(report.lines, record.lastUpdated.ticks);
                report.lines.push_back('\t');
                AppendNumber(report.lines, record.lastVisited.ticks);
                report.lines.push_back('\t');
                Output::AppendEscaped(report.lines, record.url.view());
                report.lines.push_back('\t');
                Output::AppendEscaped(report.lines, record.title.view());
                report.lines.push_back('\n');
            });
        report.failure = FailureOf(report.result);
    } catch (const std::bad_alloc&) {
        report = FileReport();
        report.failure = "too large to read";
    }
    return report;
}

int Read(std::span<const std::string> files, IndexToolContext& context) {
    int status = kToolSuccess;
    Output out(context.out);
    for (const std::string& path : files) {
        const FileReport report = ReportFile(context, path);
        out << "# ";
        out.Escaped(path) << "\tresult=";
        out.Number(int64_t{report.result}) << "\tkind=" << KindName(report.kind) << "\trecords=";
        out.Number(uint64_t{report.count}) << '\n' << report.lines;
        if (!report.failure.empty()) {
            out.Flush();  // keeps the two streams in order on a terminal
            ReportFailure(context, path, report.failure);
            status = kToolFileFailed;
        }
    }
    return status;
}

// Reads every record of one file and hands them to `use`, which turns them
// into what the command prints or writes; a failure is reported on the
// error stream and gives nothing.
template <typename Use>
auto WithRecords(const std::string& path, IndexToolContext& context, Use use)
    -> std::optional<std::invoke_result_t<Use, const std::vector<HistoryRecord>&>> {
    std::string_view failure;
    try {
        const std::optional<std::string> bytes = LoadFile(context, path);
        if (!bytes) {
            failure = "cannot be opened";
        } else {
            std::vector<HistoryRecord> records;
            failure = FailureOf(ReadIndexFileData(Bytes(*bytes), context.codec, records));
            if (failure.empty()) return use(records);
        }
    } catch (const std::bad_alloc&) {
        failure = "too large to read";
    }
    ReportFailure(context, path, failure);
    return std::nullopt;
}

int List(const std::string& path, IndexToolContext& context) {
    const auto table = WithRecords(path, context, [](const std::vector<HistoryRecord>& records) {
        const std::optional<IndexView> view = MakeIndexView(records, DateFormatter());
        return view ? FormatIndexTable(*view) : std::string();
    });
    if (!table) return kToolFileFailed;
    Output out(context.out);
    out << *table;
    return kToolSuccess;
}

// The records of an index file as the band's History report, whatever the
// file's kind: an index file keeps no expiry, so every record shows
// "unknown" there. The page is written in text mode, as the band writes it.
int Html(const std::string& outPath, const std::string& path, IndexToolContext& context) {
    const auto page = WithRecords(path, context, [](const std::vector<HistoryRecord>& records) {
        return HistoryReport(records, DateFormatter());
    });
    if (!page) return kToolFileFailed;
    if (!context.fileSystem.WriteTextFile(outPath, *page)) {
        ReportFailure(context, outPath, "cannot be written");
        return kToolFileFailed;
    }
    return kToolSuccess;
}

int Search(std::string folder, IndexToolContext& context) {
    // "dir/" and "dir\" name the same folder as "dir"; the root stays.
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
    if (!context.fileSystem.IsDirectory(folder)) {
        ReportFailure(context, folder, "not a folder");
        return kToolFileFailed;
    }
    Output out(context.out);
    const std::atomic<bool> keepSearching{true};
    SearchFolder(context.fileSystem, folder, keepSearching, [&](const std::string& path) {
        out.Escaped(context.displayPath ? context.displayPath(path) : path) << '\n';
    });
    return kToolSuccess;
}

int UsageError(IndexToolContext& context) {
    context.err << kUsage << std::flush;
    return kToolUsageError;
}

}  // namespace

std::string_view IndexToolUsage() {
    return kUsage;
}

std::string EscapeIndexText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    Output::AppendEscaped(out, text);
    return out;
}

std::string FormatIndexTable(const IndexView& view) {
    const std::size_t columns = view.columns.size();
    std::vector<std::vector<std::string>> lines;
    lines.reserve(view.rows.size() + 1);
    std::vector<std::string>& titles = lines.emplace_back();
    for (const IndexViewColumn& column : view.columns) titles.push_back(EscapeIndexText(column.title));
    for (const IndexViewRow& row : view.rows) {
        std::vector<std::string>& cells = lines.emplace_back();
        for (std::size_t column = 0; column < columns; ++column)
            cells.push_back(column < row.cells.size() ? EscapeIndexText(row.cells[column].text)
                                                      : std::string());
    }

    std::vector<std::size_t> widths(columns, 0);
    for (const auto& cells : lines)
        for (std::size_t column = 0; column < columns; ++column)
            widths[column] = std::max(widths[column], cells[column].size());

    std::string table;
    auto appendLine = [&](const std::vector<std::string>& cells) {
        std::string line;
        std::size_t textEnd = 0;  // padding after the last text is left off
        for (std::size_t column = 0; column < columns; ++column) {
            if (column > 0) line.append(2, ' ');
            line += cells[column];
            if (!cells[column].empty()) textEnd = line.size();
            line.append(widths[column] - cells[column].size(), ' ');
        }
        line.resize(textEnd);
        table += line;
        table.push_back('\n');
    };
    appendLine(lines.front());
    std::vector<std::string> dashes;
    for (std::size_t width : widths) dashes.emplace_back(width, '-');
    appendLine(dashes);
    for (std::size_t line = 1; line < lines.size(); ++line) appendLine(lines[line]);
    return table;
}

int RunIndexTool(std::span<const std::string> args, IndexToolContext& context) {
    if (std::find(args.begin(), args.end(), "--help") != args.end()) {
        context.out << kUsage << std::flush;
        return kToolSuccess;
    }
    if (args.empty()) return UsageError(context);
    const std::string& command = args.front();
    const std::span<const std::string> operands = args.subspan(1);
    if (command == "read" && !operands.empty() && operands.front() == "--html") {
        if (operands.size() != 3) return UsageError(context);
        return Html(operands[1], operands[2], context);
    }
    if (command == "read" && !operands.empty()) return Read(operands, context);
    if (command == "list" && operands.size() == 1) return List(operands.front(), context);
    if (command == "search" && operands.size() == 1) return Search(operands.front(), context);
    return UsageError(context);
}

}  // namespace qm
