#include "platform/file_system.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

namespace qm {
namespace {

// A file's bytes read whole, handed out in pieces.
class BytesFileReader final : public FileReader {
public:
    explicit BytesFileReader(std::string bytes) : bytes_(std::move(bytes)) {}

    uint64_t Size() const override { return bytes_.size(); }
    std::optional<std::size_t> ReadAt(uint64_t offset, std::span<char> buffer) override {
        if (offset >= bytes_.size()) return 0;
        const std::size_t count = std::min(buffer.size(), bytes_.size() - static_cast<std::size_t>(offset));
        if (count > 0) std::memcpy(buffer.data(), bytes_.data() + offset, count);
        return count;
    }

private:
    std::string bytes_;
};

}  // namespace

std::unique_ptr<FileReader> FileSystem::OpenForRead(std::string_view path) {
    std::optional<std::string> bytes = ReadFile(path, std::numeric_limits<uint64_t>::max());
    if (!bytes) return nullptr;
    return std::make_unique<BytesFileReader>(std::move(*bytes));
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (path.empty() || path.back() != '\\') path.push_back('\\');
    path.append(name);
    return path;
}

}  // namespace qm
