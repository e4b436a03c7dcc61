// qm-index on Linux: the real file system (paths may use "/" or "\"), the
// Western European ANSI code page for titles, paths printed as the system
// writes them (in UTF-8, as Linux names files), and output buffers in huge
// pages.
#include <sys/mman.h>

#include <cstdint>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"
#include "platform/posix/posix_file_system.h"
#include "tools/qm-index/index_tool.h"

namespace {

// Buffers of 1 MB and more in pages of 2 MB where the system allows it
// (transparent huge pages, "madvise"): filling one costs a fault for each
// 2 MB instead of each 4 KB, which is most of what holding a file's output
// would cost. The mapping is cut to start and end on such a page.
class HugePageMemory final : public qm::OutputMemory {
public:
    char* Allocate(std::size_t size) override {
        if (size < kLarge) return new (std::nothrow) char[size];
        const std::size_t whole = Rounded(size);
        void* const mapped =
            mmap(nullptr, whole + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped == MAP_FAILED) return nullptr;
        auto* const start = static_cast<char*>(mapped);
        const std::size_t head =
            Rounded(reinterpret_cast<std::uintptr_t>(start)) - reinterpret_cast<std::uintptr_t>(start);
        if (head > 0) munmap(start, head);
        if (kHugePage - head > 0) munmap(start + head + whole, kHugePage - head);
        madvise(start + head, whole, MADV_HUGEPAGE);
        return start + head;
    }
    void Free(char* bytes, std::size_t size) override {
        if (size < kLarge) {
            delete[] bytes;
        } else if (bytes) {
            munmap(bytes, Rounded(size));
        }
    }

private:
    static constexpr std::size_t kLarge = std::size_t{1} << 20;
    static constexpr std::size_t kHugePage = std::size_t{2} << 20;
    static std::size_t Rounded(std::size_t size) { return (size + kHugePage - 1) & ~(kHugePage - 1); }
};

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    qm::PosixFileSystem fileSystem;
    qm::MemoryTextCodec codec;
    HugePageMemory memory;
    qm::IndexToolContext context{fileSystem, codec, std::cout, std::cerr, &qm::PosixFileSystem::LocalPath};
    context.utf8Paths = true;
    context.outputMemory = &memory;
    return qm::RunIndexTool(args, context);
}
