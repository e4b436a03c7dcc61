// The view chooses a tab from code (after a cleanup or when an index file
// opens); the strip then shows it as current without asking the parent.
#include <gtest/gtest.h>

#include <vector>

#include "widgets/tab_model.h"

namespace qm {
namespace {

class CountingSink final : public TabSink {
public:
    intptr_t Notify(int code) override {
        codes.push_back(code);
        return 0;
    }
    std::vector<int> codes;
};

TEST(ViewTabStrip, SetCurrentChoosesATabWithoutNotifying) {
    TabModel tabs;
    EXPECT_FALSE(tabs.SetCurrent(0)) << "no tabs yet";
    EXPECT_EQ(tabs.current(), -1);
    for (const char* title : {" History ", " Cookies ", " Cache "}) tabs.AddTab(title, tabs.count());

    EXPECT_TRUE(tabs.SetCurrent(2));
    EXPECT_EQ(tabs.current(), 2);
    EXPECT_FALSE(tabs.SetCurrent(3));
    EXPECT_FALSE(tabs.SetCurrent(-1));
    EXPECT_EQ(tabs.current(), 2) << "a refused index changes nothing";

    // A press on the tab chosen from code is a press on the current tab.
    CountingSink sink;
    EXPECT_FALSE(tabs.LeftButtonDown(2 * kFlatTabWidth + 10, sink));
    EXPECT_TRUE(sink.codes.empty());
    EXPECT_TRUE(tabs.LeftButtonDown(10, sink));
    EXPECT_EQ(sink.codes, (std::vector<int>{kTcnSelChanging, kTcnSelChange}));
    EXPECT_EQ(tabs.current(), 0);
}

}  // namespace
}  // namespace qm
