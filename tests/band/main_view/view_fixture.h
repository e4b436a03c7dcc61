// The main view's controller on the memory platform, with its window and
// dialogs recorded by fakes, and builders for the stores.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "band/main_view_controller.h"
#include "platform/memory/memory_platform.h"
#include "settings/settings.h"

namespace qm::test {

class FakeViewWindow final : public ViewWindow {
public:
    void ShowTab(RecordKind kind) override { shownTabs.push_back(kind); }
    void SetRedraw(bool on) override { events.push_back(on ? "redraw on" : "redraw off"); }
    void BeginProgress() override { events.push_back("progress"); }
    void EndProgress() override { events.push_back("progress end"); }
    void ListChanged(RecordKind kind) override { changed.push_back(kind); }
    void Launch(const ShellLaunch& launch) override {
        launched.push_back(std::string(launch.file) + " " + launch.parameters);
    }

    std::vector<RecordKind> shownTabs;
    std::vector<std::string> events;
    std::vector<RecordKind> changed;
    std::vector<std::string> launched;
};

class FakeViewDialogs final : public ViewDialogs {
public:
    int TrackContextMenu(int menuId) override {
        trackedMenus.push_back(menuId);
        return menuChoice;
    }
    void ShowCleanupDialog(RecordKind kind) override {
        shown.push_back("cleanup " + std::to_string(TabIndex(kind)));
    }
    void ShowIndexRemovalDialog() override { shown.push_back("index removal"); }
    bool ShowOptionsDialog() override {
        shown.push_back("options");
        return optionsOk;
    }
    void ShowFindDialog() override { shown.push_back("find"); }
    void ShowAboutBox() override { shown.push_back("about"); }
    std::optional<std::string> ChooseIndexFile(RecordKind kind) override {
        shown.push_back("chooser " + std::to_string(TabIndex(kind)));
        return chosenIndexFile;
    }
    std::optional<std::string> SearchIndexFiles() override {
        shown.push_back("search");
        return chosenIndexFile;
    }
    void ShowAddToFavorites(const FavoriteRequest& request) override { favorites.push_back(request); }
    void ShowCookieDetails(std::string_view path) override { cookieDetails.emplace_back(path); }

    int menuChoice = 0;
    bool optionsOk = false;
    std::optional<std::string> chosenIndexFile;
    std::vector<int> trackedMenus;
    std::vector<std::string> shown;
    std::vector<FavoriteRequest> favorites;
    std::vector<std::string> cookieDetails;
};

inline MemoryCacheEntry CacheItem(std::string name, std::string localFile = "C:\\cache\\file.bin",
                                  uint32_t size = 100) {
    MemoryCacheEntry entry;
    entry.name = std::move(name);
    entry.localFile = std::move(localFile);
    entry.sizeLow = size;
    return entry;
}

inline std::u16string Wide(std::string_view ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

inline StatUrl HistoryUrl(std::string_view url, std::optional<std::string_view> title = "Title") {
    StatUrl stat;
    stat.url = Wide(url);
    if (title) stat.title = Wide(*title);
    return stat;
}

// The texts of one column, top to bottom.
inline std::vector<std::string> ColumnTexts(const ListModel& list, int column) {
    std::vector<std::string> texts;
    for (int row = 0; row < list.RowCount(); ++row) texts.emplace_back(list.GetCellText(row, column));
    return texts;
}

inline std::vector<std::string> ColumnTitles(const ListModel& list) {
    std::vector<std::string> titles;
    for (int column = 0; column < list.ColumnCount(); ++column)
        titles.push_back(list.GetColumn(column)->title);
    return titles;
}

class ViewTest : public ::testing::Test {
protected:
    ViewTest() {
        view.SetBrowser(&browser);
        view.Create();
    }

    // Stores DisableConfirmation and lets the view load it again, as it
    // does after the Options dialog.
    void DisableConfirmation() {
        auto key = OpenOrCreateSettingsKey(memory.registry, UsesLowIntegrityKey(memory.osVersion));
        key->WriteDword(setting::kDisableConfirmation, 1);
        dialogs.optionsOk = true;
        view.HandleCommand(32772);
    }

    // Fills every list from the stores as the start-up timers do.
    void FillAll() {
        view.FillHistoryAtStartup();
        view.FillCacheAndCookiesAtStartup();
    }

    void ShowTab(RecordKind kind) { view.HandleNotify(-551, static_cast<int>(TabIndex(kind))); }

    MemoryPlatform memory;
    ListModel history{memory.clock};
    ListModel cookies{memory.clock};
    ListModel cache{memory.clock};
    FakeViewWindow window;
    FakeViewDialogs dialogs;
    MemoryBrowser browser;
    MainViewController view{memory, ViewLists{history, cookies, cache}, window, dialogs};
};

}  // namespace qm::test
