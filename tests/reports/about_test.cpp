#include "band/about.h"

#include <gtest/gtest.h>

#include <climits>

namespace qm {
namespace {

TEST(AboutLinks, MailLinkFillsTheSubjectAndShowsTheBareAddress) {
    const AboutLink mail = SupportLink();
    EXPECT_EQ(mail.target,
              "mailto:support@quillmere.example?subject=Message%20from%20Quillmere%20application");
    EXPECT_EQ(mail.label, "support@quillmere.example");
    const AboutLink home = HomePageLink();
    EXPECT_EQ(home.target, home.label);
    EXPECT_EQ(home.target, "https://quillmere.example/");
}

TEST(AboutLinks, WebPageOpensANewBrowserOnTheHomePage) {
    const ShellLaunch launch = WebPageLaunch();
    EXPECT_EQ(launch.verb, "open");
    EXPECT_EQ(launch.file, "iexplore.exe");
    EXPECT_EQ(launch.parameters, HomePageLink().target);
}

TEST(AboutBanner, SpansTheBoxAndKeepsItsAspectTruncated) {
    EXPECT_EQ(ScaledBanner(400, 400, 80), (BannerSize{400, 80}));
    EXPECT_EQ(ScaledBanner(534, 400, 80), (BannerSize{534, 106}));  // 106.8
    EXPECT_EQ(ScaledBanner(200, 400, 80), (BannerSize{200, 40}));
    EXPECT_EQ(ScaledBanner(1, 400, 80), (BannerSize{1, 0}));
}

TEST(AboutBanner, SizesThatGiveNoBannerLeaveItAlone) {
    EXPECT_FALSE(ScaledBanner(400, 0, 80));
    EXPECT_FALSE(ScaledBanner(0, 400, 80));
    EXPECT_FALSE(ScaledBanner(-5, 400, 80));
    EXPECT_FALSE(ScaledBanner(400, 400, -1));
    EXPECT_FALSE(ScaledBanner(INT_MAX, 1, INT_MAX));
    EXPECT_EQ(ScaledBanner(INT_MAX, INT_MAX, 80), (BannerSize{INT_MAX, 80}));
}

}  // namespace
}  // namespace qm
