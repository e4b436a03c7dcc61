#include "platform/win32/unique_handle.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace qm {
namespace {

// Handles are plain ints here; the deleter logs what it closes.
std::vector<int> gClosed;

struct LoggingCloser {
    void operator()(int handle) const { gClosed.push_back(handle); }
};
using LoggedHandle = UniqueHandle<int, LoggingCloser>;

// A kind whose "no handle" value is -1, as INVALID_HANDLE_VALUE is.
struct MinusOneCloser {
    static int Invalid() { return -1; }
    void operator()(int handle) const { gClosed.push_back(handle); }
};
using MinusOneHandle = UniqueHandle<int, MinusOneCloser>;

// A deleter chosen at run time, as for a close function handed in by a test.
struct OffsetCloser {
    int offset = 0;
    void operator()(int handle) const { gClosed.push_back(handle + offset); }
};

class UniqueHandleTest : public ::testing::Test {
protected:
    void SetUp() override { gClosed.clear(); }
};

TEST_F(UniqueHandleTest, ClosesExactlyOnceWhenOwnershipMoves) {
    {
        LoggedHandle first(7);
        LoggedHandle second(std::move(first));
        EXPECT_FALSE(first.valid());
        EXPECT_EQ(second.get(), 7);
        LoggedHandle third;
        third = std::move(second);
        EXPECT_TRUE(gClosed.empty());
    }
    EXPECT_EQ(gClosed, (std::vector<int>{7}));
}

TEST_F(UniqueHandleTest, MoveAssignmentClosesTheHandleItReplaces) {
    LoggedHandle kept(1);
    LoggedHandle replaced(2);
    replaced = std::move(kept);
    EXPECT_EQ(gClosed, (std::vector<int>{2}));
    EXPECT_EQ(replaced.get(), 1);
}

TEST_F(UniqueHandleTest, ResetReleaseAndPutHandOverOwnership) {
    LoggedHandle handle(3);
    handle.reset(4);
    EXPECT_EQ(gClosed, (std::vector<int>{3}));

    EXPECT_EQ(handle.release(), 4);
    EXPECT_FALSE(handle);

    handle.reset(5);
    *handle.put() = 6;  // put closes what it held before lending the slot
    EXPECT_EQ(gClosed, (std::vector<int>{3, 5}));
    EXPECT_EQ(handle.get(), 6);
}

TEST_F(UniqueHandleTest, NoHandleIsNeverClosed) {
    { LoggedHandle none; }
    { MinusOneHandle none; }
    {
        MinusOneHandle zero(0);  // 0 is a real handle for a kind whose failure value is -1
        EXPECT_TRUE(zero.valid());
    }
    EXPECT_EQ(gClosed, (std::vector<int>{0}));
}

TEST_F(UniqueHandleTest, CarriesItsDeleterAlong) {
    UniqueHandle<int, OffsetCloser> handle(1, OffsetCloser{100});
    UniqueHandle<int, OffsetCloser> moved(std::move(handle));
    moved.reset();
    EXPECT_EQ(gClosed, (std::vector<int>{101}));
}

}  // namespace
}  // namespace qm
