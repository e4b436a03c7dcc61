// The item commands of the context menus, the link click, the selection
// deletion and Select All: everything the view does to single records.
#include "band/command_ids.h"
#include "band/main_view_controller.h"
#include "cleaning/confirmation.h"
#include "records/deletion.h"
#include "records/index_file_view.h"
#include "records/tab_lists.h"
#include "settings/cookie_details.h"
#include "settings/favorites.h"

namespace qm {
namespace {

constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";
constexpr std::string_view kCookiePrefix = "Cookie:";
constexpr std::string_view kUserColumnTitle = "User";

// Lists that show their store's records have at least this many columns;
// an index file's Cookies or Cache view has fewer.
constexpr int kStoreListMinimumColumns = 5;

namespace delete_question {
constexpr std::string_view kHistoryItem = "Are you sure you want to delete Internet Explorer History item?";
constexpr std::string_view kCookieItem = "Are you sure you want to delete Internet Explorer Cookie item?";
constexpr std::string_view kCacheItem = "Are you sure you want to delete Internet Explorer Cache item?";
constexpr std::string_view kSelectedItems = "Are you sure you want to delete selected items?";
}  // namespace delete_question

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(kWhiteSpace);
    return text.substr(first, last - first + 1);
}

int ColumnTitled(const ListModel& list, std::string_view title) {
    for (int column = 0; column < list.ColumnCount(); ++column)
        if (list.GetColumn(column)->title == title) return column;
    return -1;
}

// The name a row's record goes by in its store: the full name a Cookies or
// Cache row keeps from its fill (its cells show it cut to 1023 characters),
// else the "URL" cell's text, to which a cookie's store prefix is added.
std::string RecordName(RecordKind kind, const ListModel& rows, int row, int urlColumn) {
    const ListRow* source = rows.GetRow(row);
    if (kind != RecordKind::History && source != nullptr && !source->text.empty()) return source->text;
    const std::string_view url = urlColumn < 0 ? std::string_view() : Trim(rows.GetCellText(row, urlColumn));
    // An empty cell names no record: "Cookie:" alone is no cookie's name.
    if (url.empty()) return {};
    return kind == RecordKind::Cookies ? std::string(kCookiePrefix) + std::string(url) : std::string(url);
}

}  // namespace

const MainViewController::CommandEntry MainViewController::kItemCommands[] = {
    {item::kOpenHistoryUrl, &MainViewController::OpenUrl},
    {item::kOpenCacheUrl, &MainViewController::OpenUrl},
    {item::kOpenCookieUrl, &MainViewController::OpenCookieUrl},
    {item::kCopyHistoryUrl, &MainViewController::CopyUrl},
    {item::kCopyCacheUrl, &MainViewController::CopyUrl},
    {item::kCopyCookieUrl, &MainViewController::CopyCookieUrl},
    {item::kDeleteHistoryUrl, &MainViewController::DeleteHistoryUrl},
    {item::kDeleteCookie, &MainViewController::DeleteCookie},
    {item::kDeleteCacheEntry, &MainViewController::DeleteCacheEntry},
    {item::kDeleteSelectedItems, &MainViewController::DeleteSelectedItems},
    {item::kAddToFavorites, &MainViewController::AddToFavorites},
    {item::kViewCookieDetails, &MainViewController::ViewCookieDetails},
    {item::kCookieProperties, &MainViewController::ShowFileProperties},
    {item::kCacheProperties, &MainViewController::ShowFileProperties},
    {item::kOpenCacheFile, &MainViewController::OpenFile},
};

std::optional<int> ContextMenuFor(RecordKind tab, const ListModel& list) {
    if (list.RowCount() < 1) return std::nullopt;
    int menu = menu_id::kHistoryItem;
    switch (tab) {
        case RecordKind::Cookies:
        case RecordKind::Cache:
            if (list.ColumnCount() < kStoreListMinimumColumns) return std::nullopt;
            menu = tab == RecordKind::Cookies ? menu_id::kCookieItem : menu_id::kCacheItem;
            break;
        case RecordKind::History: {
            const ListColumn* second = list.GetColumn(1);
            if (second != nullptr && second->title == kUserColumnTitle) return std::nullopt;
            break;
        }
    }
    return list.SelectedRows().size() >= 2 ? menu_id::kSelection : menu;
}

std::string SelectedCellText(const ListModel& list, std::string_view title) {
    const int column = ColumnTitled(list, title);
    const int row = list.SelectedRow();
    if (column < 0 || row < 0) return {};
    return std::string(Trim(list.GetCellText(row, column)));
}

std::string MainViewController::SelectedCellText(std::string_view title) const {
    return qm::SelectedCellText(list(currentTab_), title);
}

bool MainViewController::RunItemCommand(int id) {
    for (const CommandEntry& entry : kItemCommands) {
        if (entry.id != id) continue;
        (this->*entry.handler)();
        return true;
    }
    return false;
}

void MainViewController::OnLinkClick() {
    if (browser_ == nullptr) return;
    const std::string url = SelectedCellText(kUrlColumnTitle);
    Navigate(currentTab_ == RecordKind::Cookies ? SplitUserAndSite(url).site : std::string_view(url));
}

void MainViewController::OnContextMenu() {
    // The menu acts on the selection, not on the point clicked: the right
    // press has already made the row under it the selection.
    const auto menu = ContextMenuFor(currentTab_, list(currentTab_));
    if (!menu) return;
    const int chosen = dialogs_.TrackContextMenu(*menu);
    if (chosen != 0) RunItemCommand(chosen);
}

void MainViewController::Navigate(std::string_view address) {
    // Navigating to nothing would only put an error page in the browser.
    if (browser_ == nullptr || address.empty()) return;
    browser_->Navigate(address);
}

void MainViewController::OpenUrl() {
    Navigate(SelectedCellText(kUrlColumnTitle));
}

void MainViewController::OpenCookieUrl() {
    const std::string url = SelectedCellText(kUrlColumnTitle);
    Navigate(SplitUserAndSite(url).site);
}

void MainViewController::CopyUrl() {
    platform_.shell.SetClipboardText(SelectedCellText(kUrlColumnTitle));
}

void MainViewController::CopyCookieUrl() {
    const std::string url = SelectedCellText(kUrlColumnTitle);
    platform_.shell.SetClipboardText(SplitUserAndSite(url).site);
}

void MainViewController::OpenFile() {
    Navigate(SelectedCellText(kFileColumnTitle));
}

void MainViewController::ShowFileProperties() {
    const std::string file = SelectedCellText(kFileColumnTitle);
    if (!file.empty()) platform_.shell.ShowProperties(file);
}

void MainViewController::AddToFavorites() {
    const auto request = ProposeFavorite(SelectedCellText(kTitleColumnTitle),
                                         SelectedCellText(kUrlColumnTitle), platform_.textCodec);
    if (request) dialogs_.ShowAddToFavorites(*request);
}

void MainViewController::ViewCookieDetails() {
    if (lists_.cookies.SelectedRow() < 0) return;
    if (const auto path = CookieDetailsPath(SelectedCellText(kFileColumnTitle)))
        dialogs_.ShowCookieDetails(*path);
}

void MainViewController::DeleteHistoryUrl() {
    DeleteSelectedRow(RecordKind::History, delete_question::kHistoryItem);
}
void MainViewController::DeleteCookie() {
    DeleteSelectedRow(RecordKind::Cookies, delete_question::kCookieItem);
}
void MainViewController::DeleteCacheEntry() {
    DeleteSelectedRow(RecordKind::Cache, delete_question::kCacheItem);
}

void MainViewController::DeleteRecord(RecordKind kind, std::string_view name) {
    if (name.empty()) return;
    switch (kind) {
        case RecordKind::History:
            DeleteHistoryEntries(platform_, name, /*exact=*/true);
            break;
        case RecordKind::Cookies:
            DeleteCookieEntries(platform_, name, /*exact=*/true);
            break;
        case RecordKind::Cache:
            DeleteCacheEntries(platform_, name, /*exact=*/true);
            break;
    }
}

void MainViewController::DeleteSelectedRow(RecordKind kind, std::string_view question) {
    if (!ConfirmDeletion(platform_.prompts, settings_.confirm(), question)) return;
    ListModel& rows = list(kind);
    const int row = rows.SelectedRow();
    if (row >= 0) {
        const std::string name = RecordName(kind, rows, row, ColumnTitled(rows, kUrlColumnTitle));
        {
            // The history service needs the thread prepared while it deletes.
            const auto threadScope =
                kind == RecordKind::History ? platform_.urlHistory.Open(/*initializeThread=*/true) : nullptr;
            DeleteRecord(kind, name);
        }
        // The row goes whatever the store answered: a record the store
        // refuses to delete is usually one it no longer holds.
        rows.DeleteRow(row);
        window_.ListChanged(kind);
    }
    UpdateStatusText(kind);
}

void MainViewController::DeleteSelectedItems() {
    if (!ConfirmDeletion(platform_.prompts, settings_.confirm(), delete_question::kSelectedItems)) return;
    const RecordKind kind = currentTab_;
    ListModel& rows = list(kind);
    const int urlColumn = ColumnTitled(rows, kUrlColumnTitle);
    const auto threadScope =
        kind == RecordKind::History ? platform_.urlHistory.Open(/*initializeThread=*/true) : nullptr;
    // Rows go one by one, each after its record; the count of rows already
    // removed keeps the rest of the ascending selection pointing at them.
    const std::vector<int> selected = rows.SelectedRows();
    int removed = 0;
    for (const int row : selected) {
        if (urlColumn < 0) break;
        const std::string name = RecordName(kind, rows, row - removed, urlColumn);
        if (name.empty()) continue;
        DeleteRecord(kind, name);
        if (rows.DeleteRow(row - removed)) ++removed;
    }
    UpdateStatusText(kind);
    if (kind == RecordKind::Cache) rows.Select(-1, -1, 0);
    window_.ListChanged(kind);
}

void MainViewController::SelectAllItems() {
    ListModel& rows = list(currentTab_);
    // A list whose rows are all selected stays exactly as it is.
    if (static_cast<int>(rows.SelectedRows().size()) >= rows.RowCount()) return;
    rows.SelectAll();
    window_.ListChanged(currentTab_);
}

}  // namespace qm
