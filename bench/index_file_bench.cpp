// How fast index files are read: generated files of realistic records
// (addresses of 40 to 200 bytes, half of them with titles, records of 2 to
// 4 blocks, with hash, leak and redirect blocks between them), of 20,000
// records (about 8 MB) and of 240,000 (about 100 MB); read from memory into
// a new or a reused array, visited record by record, read through the file
// system, and printed by qm-index's read command in each of its formats,
// beside the plain reading of the file's bytes that the command is
// measured against.
//
// Set QM_BENCH_INDEX_DIR to a folder to have the generated files written
// there as well ("index-20000.dat", "index-240000.dat"), for timing
// qm-index on them.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"
#include "records/index_file_reader.h"
#include "tools/qm-index/index_tool.h"

namespace qm {
namespace {

constexpr std::size_t kBlock = 128;

void PutWord(std::string& bytes, std::size_t at, uint16_t value) {
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>(value >> 8);
}

void PutQuad(std::string& bytes, std::size_t at, uint64_t value) {
    for (std::size_t k = 0; k < 8; ++k) bytes[at + k] = static_cast<char>((value >> (8 * k)) & 0xFF);
}

std::string RandomText(std::mt19937_64& random, std::size_t length) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789-_/.";
    std::string text;
    for (std::size_t k = 0; k < length; ++k) text.push_back(kLetters[random() % (sizeof kLetters - 1)]);
    return text;
}

// One URL record as the browser lays it out: times at 8 and 16, the
// address at 104, and for half of them a title after the address, in one
// of its two forms.
std::string UrlRecord(std::mt19937_64& random, uint64_t time) {
    const std::size_t length = 40 + random() % 161;
    std::string url = "Visited: user@http://" + RandomText(random, 8) + ".example/";
    url += RandomText(random, length > url.size() ? length - url.size() : 0);
    url.resize(length);

    std::string title;
    if (random() % 2 == 0) {
        const std::string text = RandomText(random, 10 + random() % 50);
        for (char c : text) title += {c, '\0'};
        title += {'\0', '\0'};
    }

    const std::size_t marker = 104 + url.size() + 1 + random() % 4;
    const bool trailing = random() % 4 == 0;
    std::size_t needed = 104 + url.size() + 1;
    if (!title.empty()) needed = marker + (trailing ? 8 + 32 : 20) + title.size();
    const std::size_t blocks = std::max<std::size_t>((needed + kBlock - 1) / kBlock, 2 + random() % 3);

    std::string record(blocks * kBlock, '\0');
    record.replace(0, 4, "URL ");
    PutWord(record, 4, static_cast<uint16_t>(blocks));
    PutQuad(record, 8, time);
    PutQuad(record, 16, time + 10'000'000);
    record.replace(104, url.size(), url);
    if (!title.empty()) {
        record.replace(marker, 3, std::string("\x10\x00\x02", 3));
        if (trailing) {
            PutWord(record, marker + 16, 8);
            record.replace(marker + 18, 2, "\x15\x1E");
            PutWord(record, marker + 8 + 28, static_cast<uint16_t>(std::min<std::size_t>(title.size(), 127)));
            record.replace(marker + 8 + 32, title.size(), title);
        } else {
            PutWord(record, marker + 16, static_cast<uint16_t>(title.size()));
            record.replace(marker + 18, 2, "\x10\x1F");
            record.replace(marker + 20, title.size(), title);
        }
    }
    return record;
}

std::string OtherBlocks(std::mt19937_64& random) {
    static constexpr const char* kKinds[] = {"HASH", "LEAK", "REDR"};
    const std::size_t blocks = 1 + random() % 4;
    std::string bytes(blocks * kBlock, '\0');
    bytes.replace(0, 4, kKinds[random() % 3]);
    PutWord(bytes, 4, static_cast<uint16_t>(blocks));
    for (std::size_t k = 8; k < bytes.size(); k += 8) PutQuad(bytes, k, random());
    return bytes;
}

// A file of the given number of URL records, the same bytes on every run.
std::string GenerateIndexFile(std::size_t records) {
    std::mt19937_64 random(42);
    std::string bytes(0x5000, '\0');  // the header and its tables
    constexpr std::string_view kHeader = "Client UrlCache MMF Ver 5.2";
    bytes.replace(0, kHeader.size(), kHeader);
    uint64_t time = 132'000'000'000'000'000ull;
    for (std::size_t made = 0; made < records; time += 600'000'000) {
        if (random() % 10 == 0) {
            bytes += OtherBlocks(random);
        } else {
            bytes += UrlRecord(random, time);
            ++made;
        }
    }
    if (const char* folder = std::getenv("QM_BENCH_INDEX_DIR")) {
        const std::filesystem::path path =
            std::filesystem::path(folder) / ("index-" + std::to_string(records) + ".dat");
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    return bytes;
}

constexpr std::size_t kSmallFileRecords = 20'000;
constexpr std::size_t kLargeFileRecords = 240'000;

const std::string& RealisticIndexFile(std::size_t records = kLargeFileRecords) {
    static const std::string small = GenerateIndexFile(kSmallFileRecords);
    static const std::string large = GenerateIndexFile(kLargeFileRecords);
    return records == kSmallFileRecords ? small : large;
}

// The file of that many records on disk, written once for all the
// benchmarks of a run; it is in the page cache from then on.
class FileOnDisk {
public:
    explicit FileOnDisk(std::size_t records)
        : path_(std::filesystem::temp_directory_path() /
                ("qm-index-bench-" + std::to_string(::getpid()) + "-" + std::to_string(records) + ".dat")) {
        const std::string& file = RealisticIndexFile(records);
        std::ofstream(path_, std::ios::binary).write(file.data(), static_cast<std::streamsize>(file.size()));
    }
    ~FileOnDisk() { std::filesystem::remove(path_); }
    FileOnDisk(const FileOnDisk&) = delete;
    FileOnDisk& operator=(const FileOnDisk&) = delete;

    std::string path() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

const FileOnDisk& OnDisk(std::size_t records) {
    static const FileOnDisk small(kSmallFileRecords);
    static const FileOnDisk large(kLargeFileRecords);
    return records == kSmallFileRecords ? small : large;
}

void BothFiles(benchmark::internal::Benchmark* benchmark) {
    benchmark->Arg(kSmallFileRecords)->Arg(kLargeFileRecords)->Unit(benchmark::kMillisecond);
}

// An output stream that throws its bytes away, as /dev/null does.
class NullBuffer final : public std::streambuf {
protected:
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
};

std::span<const unsigned char> Bytes(const std::string& file) {
    return {reinterpret_cast<const unsigned char*>(file.data()), file.size()};
}

// As the band loads a file: into a new array. A record is 1304 bytes, so the
// array is about 2.4 times the file, and the first touch of that much fresh
// memory is part of the cost.
void ReadIndexFileIntoNewArray(benchmark::State& state) {
    const std::string& file = RealisticIndexFile();
    MemoryTextCodec codec;
    std::size_t count = 0;
    for (auto _ : state) {
        std::vector<HistoryRecord> records;
        if (ReadIndexFileData(Bytes(file), codec, records) != kIndexFileRead) state.SkipWithError("not read");
        count = records.size();
        benchmark::DoNotOptimize(records.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
    state.counters["records"] = static_cast<double>(count);
}
BENCHMARK(ReadIndexFileIntoNewArray)->Unit(benchmark::kMillisecond);

// The reading alone: into an array whose memory is already in use.
void ReadIndexFileIntoReusedArray(benchmark::State& state) {
    const std::string& file = RealisticIndexFile();
    MemoryTextCodec codec;
    std::vector<HistoryRecord> records;
    for (auto _ : state) {
        records.clear();
        if (ReadIndexFileData(Bytes(file), codec, records) != kIndexFileRead) state.SkipWithError("not read");
        benchmark::DoNotOptimize(records.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}
BENCHMARK(ReadIndexFileIntoReusedArray)->Unit(benchmark::kMillisecond);

// As qm-index reads a file: each record handed on, none kept.
void VisitIndexFileRecords(benchmark::State& state) {
    const std::string& file = RealisticIndexFile();
    MemoryTextCodec codec;
    for (auto _ : state) {
        std::size_t titled = 0;
        ForEachIndexFileRecord(Bytes(file), codec,
                               [&](const HistoryRecord& record) { titled += !record.title.empty(); });
        benchmark::DoNotOptimize(titled);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}
BENCHMARK(VisitIndexFileRecords)->Unit(benchmark::kMillisecond);

// The same through the file system port, as the band and qm-index read it:
// the file is in the page cache after the first run.
void ReadIndexFileFromDisk(benchmark::State& state) {
    const std::string& file = RealisticIndexFile();
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "qm-index-bench.dat";
    std::ofstream(path, std::ios::binary).write(file.data(), static_cast<std::streamsize>(file.size()));
    PosixFileSystem fileSystem;
    MemoryTextCodec codec;
    for (auto _ : state) {
        std::vector<HistoryRecord> records;
        if (ReadIndexFile(fileSystem, codec, path.string(), records) != kIndexFileRead)
            state.SkipWithError("not read");
        benchmark::DoNotOptimize(records.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
    std::filesystem::remove(path);
}
BENCHMARK(ReadIndexFileFromDisk)->Unit(benchmark::kMillisecond);

// The yardstick: the file's bytes read in 128 KB pieces and dropped, as
// cat does.
void ReadTheBytesOnly(benchmark::State& state) {
    const std::string path = OnDisk(static_cast<std::size_t>(state.range(0))).path();
    std::vector<char> buffer(128 * 1024);
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        int64_t total = 0;
        for (ssize_t got; (got = ::read(fd, buffer.data(), buffer.size())) > 0;) total += got;
        ::close(fd);
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(
        static_cast<int64_t>(state.iterations() * RealisticIndexFile(state.range(0)).size()));
}
BENCHMARK(ReadTheBytesOnly)->Apply(BothFiles);

// The walk that counts the records before the first is printed.
void SummarizeTheFile(benchmark::State& state) {
    const std::string path = OnDisk(static_cast<std::size_t>(state.range(0))).path();
    PosixFileSystem fileSystem;
    for (auto _ : state) {
        const std::unique_ptr<FileReader> file = fileSystem.OpenForRead(path);
        const IndexFileSummary summary = IndexFileStream(*file).Summarize();
        if (summary.records != static_cast<std::size_t>(state.range(0))) state.SkipWithError("miscounted");
    }
    state.SetBytesProcessed(
        static_cast<int64_t>(state.iterations() * RealisticIndexFile(state.range(0)).size()));
}
BENCHMARK(SummarizeTheFile)->Apply(BothFiles);

// Each record read from the open file in pieces, none kept, nothing printed.
void StreamTheRecords(benchmark::State& state) {
    const std::string path = OnDisk(static_cast<std::size_t>(state.range(0))).path();
    PosixFileSystem fileSystem;
    MemoryTextCodec codec;
    for (auto _ : state) {
        const std::unique_ptr<FileReader> file = fileSystem.OpenForRead(path);
        std::size_t titled = 0;
        IndexFileStream(*file).ForEachRecord(
            codec, [&](const IndexFileRecord& record) { titled += !record.title.empty(); });
        benchmark::DoNotOptimize(titled);
    }
    state.SetBytesProcessed(
        static_cast<int64_t>(state.iterations() * RealisticIndexFile(state.range(0)).size()));
}
BENCHMARK(StreamTheRecords)->Apply(BothFiles);

// "qm-index read [--format F] FILE" as a whole, into a stream that drops
// what it is given: one walk with the lines held for the small file, a
// count and a printing walk for the large one, and every record printed.
void QmIndexRead(benchmark::State& state) {
    static const char* const kFormats[] = {"tsv", "csv", "json"};
    const std::string path = OnDisk(static_cast<std::size_t>(state.range(0))).path();
    const std::vector<std::string> args = {"read", "--format", kFormats[state.range(1)], path};
    PosixFileSystem fileSystem;
    MemoryTextCodec codec;
    NullBuffer drop;
    std::ostream out(&drop);
    for (auto _ : state) {
        IndexToolContext context{fileSystem, codec, out, out, nullptr};
        if (RunIndexTool(args, context) != kToolSuccess) state.SkipWithError("not read");
    }
    state.SetLabel(kFormats[state.range(1)]);
    state.SetBytesProcessed(
        static_cast<int64_t>(state.iterations() * RealisticIndexFile(state.range(0)).size()));
}
BENCHMARK(QmIndexRead)
    ->ArgsProduct({{kSmallFileRecords, kLargeFileRecords}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qm
