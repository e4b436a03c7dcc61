// The About box and the Web Page command, as data: the texts the box shows,
// where its two links lead, what the Web Page command starts, and how the
// banner is fitted to the box. The home page and support addresses live here
// and nowhere else; they are under the reserved ".example" domain until the
// product has addresses of its own.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qm {

namespace about {
inline constexpr std::string_view kTitle = "About Quillmere Bar";
// Shown in bold; two blanks before "v.".
inline constexpr std::string_view kProductLine = "Quillmere Bar  v.2.1 (15.0207)";
inline constexpr std::string_view kNoticeLine = "Copyright (c) the Quillmere developers. Free to use.";
inline constexpr std::string_view kHomePage = "https://quillmere.example/";
inline constexpr std::string_view kSupportAddress = "support@quillmere.example";
inline constexpr std::string_view kMailSubject = "Message%20from%20Quillmere%20application";
}  // namespace about

// A link of the box: where a click leads and what it reads.
struct AboutLink {
    std::string target;
    std::string label;
};

// The home page link: the address as both target and label.
AboutLink HomePageLink();
// The mail link: a "mailto:" target with the subject filled in, labelled
// with the bare support address.
AboutLink SupportLink();

// What the Web Page command asks the shell to start: a new browser window on
// the home page, never the hosting browser's.
struct ShellLaunch {
    std::string_view verb;
    std::string_view file;
    std::string parameters;
};
ShellLaunch WebPageLaunch();

// The banner's new size: the box's whole width (frame included), the height
// keeping the picture's aspect ratio, truncated toward zero. Nothing when
// the sizes cannot give one (a banner or box with no width); the banner then
// stays as it is.
struct BannerSize {
    int width = 0;
    int height = 0;
    friend constexpr bool operator==(const BannerSize&, const BannerSize&) = default;
};
std::optional<BannerSize> ScaledBanner(int dialogWidth, int bannerWidth, int bannerHeight);

}  // namespace qm
