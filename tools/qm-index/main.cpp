// qm-index on Linux: the real file system (paths may use "/" or "\"), the
// Western European ANSI code page for titles, and paths printed as the
// system writes them (in UTF-8, as Linux names files).
#include <iostream>
#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"
#include "platform/posix/posix_file_system.h"
#include "tools/qm-index/index_tool.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    qm::PosixFileSystem fileSystem;
    qm::MemoryTextCodec codec;
    qm::IndexToolContext context{fileSystem, codec, std::cout, std::cerr, &qm::PosixFileSystem::LocalPath};
    context.utf8Paths = true;
    return qm::RunIndexTool(args, context);
}
