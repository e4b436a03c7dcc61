#include "platform/win32/win32_url_history.h"

#include <gtest/gtest.h>
#include <objbase.h>

#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "records/deletion.h"
#include "platform/win32/win32_platform.h"
#include "tests/support/win32/task_memory_spy.h"
#include "desktop/win32/local_history_service.h"

namespace qm {
namespace {

// COM for the test's thread, from before the service is registered until
// after it is revoked.
class ComThread {
public:
    ComThread() : result_(CoInitialize(nullptr)) {}
    ~ComThread() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    HRESULT result() const { return result_; }

private:
    HRESULT result_;
};

LocalHistoryEntry Entry(std::u16string url, std::optional<std::u16string> title, uint64_t base) {
    return LocalHistoryEntry{std::move(url), std::move(title), FileTime{base + 1}, FileTime{base + 2},
                            FileTime{base + 3}};
}

class Win32UrlHistoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(com_.result()));
        ASSERT_EQ(service_.registration(), S_OK);
    }

    std::vector<StatUrl> EnumerateAll(UrlHistorySession& session) {
        std::vector<StatUrl> urls;
        EXPECT_TRUE(session.Enumerate([&](const StatUrl& url) {
            urls.push_back(url);
            return true;
        }));
        return urls;
    }

    ComThread com_;
    LocalHistoryService service_;
    Win32Platform win32_;
};

TEST_F(Win32UrlHistoryTest, DeliversTheServiceUrlsInOrderWithTitlesAndTimes) {
    service_.Add(Entry(u"http://one.test/", u"One", 100));
    service_.Add(Entry(u"http://two.test/", std::nullopt, 200));
    service_.Add(Entry(u"http://one.test/", u"One again", 300));

    {
        auto session = win32_.urlHistory.Open(/*initializeThread=*/false);
        ASSERT_NE(session, nullptr);
        const auto urls = EnumerateAll(*session);
        ASSERT_EQ(urls.size(), 3u);
        EXPECT_EQ(urls[0].url, u"http://one.test/");
        EXPECT_EQ(urls[0].title, std::optional<std::u16string>(u"One"));
        EXPECT_EQ(urls[0].lastVisited, FileTime{101});
        EXPECT_EQ(urls[0].lastUpdated, FileTime{102});
        EXPECT_EQ(urls[0].expires, FileTime{103});
        EXPECT_EQ(urls[1].url, u"http://two.test/");
        EXPECT_FALSE(urls[1].title.has_value());
        EXPECT_EQ(urls[2].title, std::optional<std::u16string>(u"One again"));
        EXPECT_EQ(service_.instancesCreated(), 1);
    }
    // The session released the service and its enumerator.
    EXPECT_EQ(service_.liveObjects(), 0);
}

TEST_F(Win32UrlHistoryTest, UrlDeliveredWithAFailureCodeIsTheLast) {
    service_.Add(Entry(u"http://a.test/", u"A", 0));
    service_.Add(Entry(u"http://b.test/", u"B", 0));
    service_.Add(Entry(u"http://c.test/", u"C", 0));
    service_.FailNextAt(1, E_FAIL);

    auto session = win32_.urlHistory.Open(/*initializeThread=*/false);
    ASSERT_NE(session, nullptr);
    const auto urls = EnumerateAll(*session);
    ASSERT_EQ(urls.size(), 2u);
    EXPECT_EQ(urls[1].url, u"http://b.test/");
}

TEST_F(Win32UrlHistoryTest, StatUrlStringsAreFreedWhetherOrNotTheVisitorGoesOn) {
    service_.Add(Entry(u"http://a.test/", u"A", 0));
    service_.Add(Entry(u"http://b.test/", std::nullopt, 0));
    service_.Add(Entry(u"http://c.test/", u"C", 0));
    auto session = win32_.urlHistory.Open(/*initializeThread=*/false);
    ASSERT_NE(session, nullptr);

    {
        TaskMemorySpy spy;
        ASSERT_EQ(spy.registration(), S_OK);
        EXPECT_EQ(EnumerateAll(*session).size(), 3u);
        EXPECT_EQ(spy.allocations(), 5u);  // three URLs, two titles
        EXPECT_EQ(spy.outstanding(), 0u);
    }
    {
        TaskMemorySpy spy;
        ASSERT_EQ(spy.registration(), S_OK);
        int visits = 0;
        EXPECT_TRUE(session->Enumerate([&](const StatUrl&) { return ++visits < 1; }));
        EXPECT_EQ(visits, 1);
        EXPECT_EQ(spy.allocations(), 2u);
        EXPECT_EQ(spy.outstanding(), 0u);
    }
}

TEST_F(Win32UrlHistoryTest, ServiceThatCannotEnumerateSaysSo) {
    service_.Add(Entry(u"http://a.test/", u"A", 0));
    service_.FailEnumUrls(E_NOTIMPL);

    auto session = win32_.urlHistory.Open(/*initializeThread=*/false);
    ASSERT_NE(session, nullptr);
    int visits = 0;
    EXPECT_FALSE(session->Enumerate([&](const StatUrl&) { return ++visits > 0; }));
    EXPECT_EQ(visits, 0);
}

TEST_F(Win32UrlHistoryTest, ExactDeletionRemovesEveryCopyFromHistoryAndCache) {
    const std::string page = "http://quillmere.test/history/dup";
    const std::u16string pageWide(page.begin(), page.end());
    service_.Add(Entry(pageWide, u"first", 0));
    service_.Add(Entry(u"http://quillmere.test/history/other", u"other", 0));
    service_.Add(Entry(pageWide, u"second", 0));
    service_.Add(Entry(pageWide + u" \t", u"padded", 0));

    // The content entry of the same address goes with it.
    char path[MAX_PATH] = {};
    ASSERT_TRUE(CreateUrlCacheEntryA(page.c_str(), 1, "htm", path, 0));
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, "x", 1, &written, nullptr);
    CloseHandle(file);
    ASSERT_TRUE(CommitUrlCacheEntryA(page.c_str(), path, FILETIME{}, FILETIME{}, NORMAL_CACHE_ENTRY, nullptr,
                                     0, "htm", nullptr));

    EXPECT_EQ(DeleteHistoryEntries(win32_, page, /*exact=*/true), 1);

    std::vector<std::u16string> left;
    for (const auto& entry : service_.entries()) left.push_back(entry.url);
    EXPECT_EQ(left, std::vector<std::u16string>{u"http://quillmere.test/history/other"});
    // The padded URL was deleted as the service spelled it.
    const auto calls = service_.deleteCalls();
    EXPECT_NE(std::find(calls.begin(), calls.end(), pageWide + u" \t"), calls.end());
    EXPECT_FALSE(win32_.urlCache.DeleteEntry(page)) << "the cache entry should be gone already";
    EXPECT_EQ(service_.liveObjects(), 0);
}

// Runs the work on a thread of its own, which starts without COM.
template <typename Work>
void OnFreshThread(Work work) {
    std::thread thread(work);
    thread.join();
}

TEST(Win32UrlHistoryThreadTest, SessionGivesBackTheComInitializationItMade) {
    OnFreshThread([] {
        Win32UrlHistory history;
        // Unprepared and not asked to prepare: COM cannot create anything.
        EXPECT_EQ(history.Open(/*initializeThread=*/false), nullptr);
        {
            // This thread has none of the test services: the platform's own
            // service answers.
            auto session = history.Open(/*initializeThread=*/true);
            EXPECT_NE(session, nullptr);
        }
        // Had the session kept COM, this would answer S_FALSE.
        const HRESULT again = CoInitialize(nullptr);
        EXPECT_EQ(again, S_OK);
        if (SUCCEEDED(again)) CoUninitialize();
    });
}

TEST(Win32UrlHistoryThreadTest, ThreadInAnotherApartmentKeepsItsInitialization) {
    OnFreshThread([] {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        Win32UrlHistory history;
        {
            // CoInitialize fails on this thread; the session must not undo
            // the initialization its owner made.
            auto session = history.Open(/*initializeThread=*/true);
            EXPECT_NE(session, nullptr);
        }
        const HRESULT again = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        EXPECT_EQ(again, S_FALSE);
        if (SUCCEEDED(again)) CoUninitialize();
        CoUninitialize();
    });
}

}  // namespace
}  // namespace qm
