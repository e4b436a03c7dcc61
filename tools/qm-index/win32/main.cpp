// qm-index on Windows: the system's file functions (paths with "\" as
// Windows writes them, printed as found), the ANSI code page for titles,
// and output in the console's text mode (lines end in "\r\n"), but for CSV,
// which writes its own.
#include <fcntl.h>
#include <io.h>
#include <stdio.h>

#include <iostream>
#include <string>
#include <vector>

#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_text_codec.h"
#include "tools/qm-index/index_tool.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    qm::Win32FileSystem fileSystem;
    qm::Win32TextCodec codec;
    qm::IndexToolContext context{fileSystem, codec, std::cout, std::cerr, nullptr};
    context.rawOutput = [] {
        std::cout.flush();
        _setmode(_fileno(stdout), _O_BINARY);
    };
    return qm::RunIndexTool(args, context);
}
