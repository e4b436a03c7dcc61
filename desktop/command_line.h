// The command line of Quillmere.exe. Without arguments it opens the band in
// a window of its own over the system's URL history service; the other
// switches serve the demo and the end-to-end tests.
//
//   Quillmere [--dll PATH] [--sample-history] [--tab N] [--save-report N FILE]
//             [--screenshot FILE.bmp [--delay MS]]
//
// --dll             the band's DLL (default: Quillmere.dll beside the program)
// --sample-history  serve a URL history service with a few dozen sample
//                   visits in this process, in place of the system's
// --tab             click the band's tab N (0 History, 1 Cookies, 2 Cache)
//                   once the band is up, as the user would
// --save-report     choose File's Save History, Save Cookie List or Save
//                   Cache List (N as for --tab) once the band is up, and
//                   answer its Save As box with FILE
// --screenshot      save the window as a BMP file after the delay (default
//                   3000 ms, at most 600000), then close and exit
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace qm {

struct DesktopOptions {
    std::u16string dllPath;  // empty: Quillmere.dll beside the program
    bool sampleHistory = false;
    std::optional<int> tab;
    std::optional<int> report;
    std::u16string reportFile;
    std::optional<std::u16string> screenshot;
    unsigned delayMs = 3000;
};

inline constexpr std::u16string_view kDesktopUsage =
    u"usage: Quillmere [--dll PATH] [--sample-history] [--tab N] [--save-report N FILE] "
    u"[--screenshot FILE.bmp [--delay MS]]";

// The arguments after the program's name; nothing when one is unknown, lacks
// its value or has a value out of range.
std::optional<DesktopOptions> ParseDesktopOptions(std::span<const std::u16string> arguments);

}  // namespace qm
