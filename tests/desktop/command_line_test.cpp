#include "desktop/command_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace qm {
namespace {

std::optional<DesktopOptions> Parse(std::vector<std::u16string> words) {
    return ParseDesktopOptions(words);
}

TEST(DesktopCommandLine, EverySwitchIsTakenWithItsValue) {
    const auto options = Parse({u"--dll", u"C:\\Q\\Quillmere.dll", u"--sample-history", u"--tab", u"2",
                                u"--save-report", u"1", u"C:\\out.html", u"--screenshot", u"s.bmp", u"--delay",
                                u"600000"});
    ASSERT_TRUE(options);
    EXPECT_EQ(options->dllPath, u"C:\\Q\\Quillmere.dll");
    EXPECT_TRUE(options->sampleHistory);
    EXPECT_EQ(options->tab, 2);
    EXPECT_EQ(options->report, 1);
    EXPECT_EQ(options->reportFile, u"C:\\out.html");
    EXPECT_EQ(options->screenshot, u"s.bmp");
    EXPECT_EQ(options->delayMs, 600000u);

    const auto nines = Parse({u"--delay", u"999"});
    ASSERT_TRUE(nines);
    EXPECT_EQ(nines->delayMs, 999u);

    const auto plain = Parse({});
    ASSERT_TRUE(plain);
    EXPECT_TRUE(plain->dllPath.empty());
    EXPECT_FALSE(plain->sampleHistory);
    EXPECT_FALSE(plain->tab || plain->report || plain->screenshot);
}

TEST(DesktopCommandLine, RefusesUnknownSwitchesMissingValuesAndValuesOutOfRange) {
    const std::vector<std::vector<std::u16string>> refused = {
        {u"--help"},          {u"Quillmere.dll"},      {u"--dll"},         {u"--tab", u"3"},
        {u"--tab", u"-1"},    {u"--tab", u"01"},       {u"--save-report", u"0"},
        {u"--delay", u"600001"}, {u"--delay", u"12a"}, {u"--delay", u""},  {u"--screenshot"},
    };
    for (const auto& words : refused) {
        std::string shown;
        for (const auto& word : words) shown += std::string(word.begin(), word.end()) + " ";
        EXPECT_FALSE(Parse(words)) << shown;
    }
}

}  // namespace
}  // namespace qm
