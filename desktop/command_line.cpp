#include "desktop/command_line.h"

namespace qm {
namespace {

// A tab or report number: one digit, 0 to 2.
std::optional<int> TabNumber(std::u16string_view text) {
    if (text.size() != 1 || text[0] < u'0' || text[0] > u'2') return std::nullopt;
    return text[0] - u'0';
}

// Milliseconds as plain decimal digits, at most ten minutes.
std::optional<unsigned> Delay(std::u16string_view text) {
    constexpr unsigned kLongest = 600000;
    if (text.empty() || text.size() > 6) return std::nullopt;
    unsigned value = 0;
    for (char16_t digit : text) {
        if (digit < u'0' || digit > u'9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(digit - u'0');
    }
    if (value > kLongest) return std::nullopt;
    return value;
}

}  // namespace

std::optional<DesktopOptions> ParseDesktopOptions(std::span<const std::u16string> arguments) {
    DesktopOptions options;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::u16string_view argument = arguments[index];
        const std::size_t left = arguments.size() - index - 1;
        if (argument == u"--sample-history") {
            options.sampleHistory = true;
        } else if (argument == u"--dll" && left >= 1) {
            options.dllPath = arguments[++index];
        } else if (argument == u"--screenshot" && left >= 1) {
            options.screenshot = arguments[++index];
        } else if (argument == u"--tab" && left >= 1) {
            options.tab = TabNumber(arguments[++index]);
            if (!options.tab) return std::nullopt;
        } else if (argument == u"--save-report" && left >= 2) {
            options.report = TabNumber(arguments[++index]);
            if (!options.report) return std::nullopt;
            options.reportFile = arguments[++index];
        } else if (argument == u"--delay" && left >= 1) {
            const std::optional<unsigned> delay = Delay(arguments[++index]);
            if (!delay) return std::nullopt;
            options.delayMs = *delay;
        } else {
            return std::nullopt;
        }
    }
    return options;
}

}  // namespace qm
