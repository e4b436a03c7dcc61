#include "band/about.h"

#include <limits>

namespace qm {

AboutLink HomePageLink() {
    return AboutLink{std::string(about::kHomePage), std::string(about::kHomePage)};
}

AboutLink SupportLink() {
    std::string target = "mailto:";
    target += about::kSupportAddress;
    target += "?subject=";
    target += about::kMailSubject;
    return AboutLink{std::move(target), std::string(about::kSupportAddress)};
}

ShellLaunch WebPageLaunch() {
    return ShellLaunch{"open", "iexplore.exe", std::string(about::kHomePage)};
}

std::optional<BannerSize> ScaledBanner(int dialogWidth, int bannerWidth, int bannerHeight) {
    if (dialogWidth <= 0 || bannerWidth <= 0 || bannerHeight < 0) return std::nullopt;
    const double height = static_cast<double>(dialogWidth) / bannerWidth * bannerHeight;
    // Converting a double beyond the range of int is undefined.
    if (height >= static_cast<double>(std::numeric_limits<int>::max())) return std::nullopt;
    return BannerSize{dialogWidth, static_cast<int>(height)};
}

}  // namespace qm
