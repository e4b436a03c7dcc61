#include "band/main_view_controller.h"

#include "band/about.h"
#include "band/command_ids.h"
#include "cleaning/cleanup.h"
#include "cleaning/mru_lists.h"
#include "records/index_file_location.h"
#include "records/index_file_view.h"
#include "records/tab_lists.h"
#include "reports/html_export.h"
#include "widgets/tab_model.h"

namespace qm {
namespace {

std::optional<RecordKind> KindOfTab(int index) {
    if (index < 0 || index > 2) return std::nullopt;
    return static_cast<RecordKind>(index);
}

// Sets the busy flag with the progress window for the life of a fill.
class ProgressScope {
public:
    explicit ProgressScope(ViewWindow& window) : window_(window) { window_.BeginProgress(); }
    ~ProgressScope() { window_.EndProgress(); }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

private:
    ViewWindow& window_;
};

}  // namespace

const MainViewController::CommandEntry MainViewController::kCommands[] = {
    {command::kRefresh, &MainViewController::Refresh},
    {command::kSaveHistory, &MainViewController::SaveHistory},
    {command::kSaveCookieList, &MainViewController::SaveCookieList},
    {command::kSaveCacheList, &MainViewController::SaveCacheList},
    {command::kOpenIndexFile, &MainViewController::OpenIndexFile},
    {command::kSearchIndexFiles, &MainViewController::SearchIndexFiles},
    {command::kOpenHistoryIndex, &MainViewController::OpenHistoryIndex},
    {command::kOpenCookiesIndex, &MainViewController::OpenCookiesIndex},
    {command::kOpenCacheIndex, &MainViewController::OpenCacheIndex},
    {command::kCleanHistory, &MainViewController::CleanHistory},
    {command::kCleanCookies, &MainViewController::CleanCookies},
    {command::kCleanCache, &MainViewController::CleanCache},
    {command::kCleanIndexFiles, &MainViewController::CleanIndexFiles},
    {command::kClearTypedUrls, &MainViewController::ClearTypedUrlList},
    {command::kClearRecentDocuments, &MainViewController::ClearRecentDocumentList},
    {command::kClearRunHistory, &MainViewController::ClearRunHistoryList},
    {command::kSelectAll, &MainViewController::SelectAll},
    {command::kFindOnTab, &MainViewController::ShowFind},
    {command::kOptions, &MainViewController::ShowOptions},
    {command::kWebPage, &MainViewController::OpenWebPage},
    {command::kAbout, &MainViewController::ShowAbout},
};

MainViewController::MainViewController(Platform& platform, ViewLists lists, ViewWindow& window,
                                       ViewDialogs& dialogs)
    : platform_(platform),
      lists_(lists),
      window_(window),
      dialogs_(dialogs),
      settings_(UsesLowIntegrityKey(platform.osVersion)) {}

ListModel& MainViewController::list(RecordKind kind) {
    switch (kind) {
        case RecordKind::Cookies:
            return lists_.cookies;
        case RecordKind::Cache:
            return lists_.cache;
        case RecordKind::History:
            break;
    }
    return lists_.history;
}

const ListModel& MainViewController::list(RecordKind kind) const {
    return const_cast<MainViewController*>(this)->list(kind);
}

void MainViewController::Create() {
    for (RecordKind kind : {RecordKind::History, RecordKind::Cookies, RecordKind::Cache}) {
        AddTabListColumns(list(kind), kind);
        window_.ListChanged(kind);
    }
    ShowTab(RecordKind::History);
    settings_.Load(platform_.registry);
}

void MainViewController::FillHistoryAtStartup() {
    window_.SetRedraw(false);
    const bool filled = FillHistoryList(lists_.history, platform_, formatter());
    window_.SetRedraw(true);
    window_.ListChanged(RecordKind::History);
    if (filled) UpdateStatusText(RecordKind::History);
}

void MainViewController::FillCacheAndCookiesAtStartup() {
    {
        ProgressScope progress(window_);
        FillCacheAndCookieLists(lists_.cookies, lists_.cache, platform_, formatter());
    }
    window_.ListChanged(RecordKind::Cookies);
    window_.ListChanged(RecordKind::Cache);
}

bool MainViewController::HandleCommand(int id) {
    for (const CommandEntry& entry : kCommands) {
        if (entry.id != id) continue;
        (this->*entry.handler)();
        return true;
    }
    return false;
}

void MainViewController::HandleNotify(int code, int selectedTab) {
    switch (code) {
        case kTcnSelChange:
            // Choosing the tab already in view shows its list again and
            // refreshes the status text.
            if (const auto kind = KindOfTab(selectedTab)) {
                ShowTab(*kind);
                UpdateStatusText(*kind);
            }
            break;
        case LISTNOTE_LINKCLICK:
            OnLinkClick();
            break;
        case LISTNOTE_CONTEXT:
            OnContextMenu();
            break;
        default:
            // TCN_SELCHANGING (answered 0, so the change goes ahead), the
            // menu bar's drop-downs and the lists' other notifications.
            break;
    }
}

void MainViewController::ShowTab(RecordKind kind) {
    currentTab_ = kind;
    window_.ShowTab(kind);
}

void MainViewController::UpdateStatusText(RecordKind kind) {
    if (browser_ == nullptr) return;
    browser_->SetStatusText(StatusText(kind, static_cast<std::size_t>(list(kind).RowCount())));
}

void MainViewController::RebuildList(RecordKind kind, bool headerClick) {
    ListModel& rebuilt = list(kind);
    rebuilt.DeleteAllRows();
    rebuilt.DeleteAllColumns();
    AddTabListColumns(rebuilt, kind);
    // On the empty list the click only sets the sort column and direction,
    // so a second Refresh of the same tab turns the direction round.
    if (headerClick) rebuilt.HeaderClick(0);
    const DateFormatter dates = formatter();
    switch (kind) {
        case RecordKind::History:
            if (FillHistoryList(rebuilt, platform_, dates)) UpdateStatusText(kind);
            break;
        case RecordKind::Cookies:
            FillCookieList(rebuilt, platform_, dates);
            UpdateStatusText(kind);
            break;
        case RecordKind::Cache:
            FillCacheList(rebuilt, platform_, dates);
            UpdateStatusText(kind);
            break;
    }
}

void MainViewController::RefreshCurrentTab() {
    {
        ProgressScope progress(window_);
        window_.SetRedraw(false);
        RebuildList(currentTab_, /*headerClick=*/true);
        window_.SetRedraw(true);
    }
    window_.ListChanged(currentTab_);
}

void MainViewController::PerformCleanup(const CleanupCriteria& criteria) {
    const auto kind = RecordKindFromCleanupCode(criteria.kind);
    if (!kind) return;
    ShowTab(*kind);
    RunCleanup(platform_, criteria);
    window_.SetRedraw(false);
    RebuildList(*kind, /*headerClick=*/false);
    window_.SetRedraw(true);
    window_.ListChanged(*kind);
}

void MainViewController::LoadIndexFile(std::string_view path) {
    if (path.empty()) return;
    const auto view = ReadIndexView(platform_.fileSystem, platform_.textCodec, path, formatter());
    if (!view) return;
    ShowTab(view->kind);
    ListModel& shown = list(view->kind);
    shown.DeleteAllRows();
    shown.DeleteAllColumns();
    for (const IndexViewColumn& column : view->columns)
        shown.AddColumn(column.title, column.width, /*image=*/-1, /*fixed=*/false, /*reserved=*/0,
                        column.format);
    for (const IndexViewRow& source : view->rows) {
        if (source.cells.empty()) continue;
        const int row = shown.AddRow(source.cells.front().text);
        if (row < 0) continue;
        for (std::size_t at = 0; at < source.cells.size(); ++at) {
            const IndexViewCell& cell = source.cells[at];
            const int column = static_cast<int>(at);
            if (at > 0) shown.SetCellText(row, column, cell.text);
            if (cell.format != 0 || cell.flags != 0)
                shown.SetCellFormat(row, column, cell.format, cell.flags);
            if (cell.sortKey) shown.SetCellDate(row, column, *cell.sortKey);
        }
    }
    // The status line keeps its text: it counts the live store, not the file.
    window_.ListChanged(view->kind);
}

void MainViewController::FindOnTab(const FindRequest& request) {
    if (FindInList(list(currentTab_), request, platform_.textCodec) > 0) window_.ListChanged(currentTab_);
}

void MainViewController::OpenChosenIndexFile(const std::optional<std::string>& path) {
    if (path) LoadIndexFile(*path);
}

void MainViewController::SaveHistory() {
    ExportHistory(platform_, formatter());
}
void MainViewController::SaveCookieList() {
    ExportCookies(platform_, formatter());
}
void MainViewController::SaveCacheList() {
    ExportCache(platform_, formatter());
}

void MainViewController::OpenIndexFile() {
    OpenChosenIndexFile(platform_.prompts.ChooseFileToOpen(IndexFileOpenDialogSettings().choice));
}
void MainViewController::SearchIndexFiles() {
    OpenChosenIndexFile(dialogs_.SearchIndexFiles());
}
void MainViewController::OpenHistoryIndex() {
    OpenChosenIndexFile(dialogs_.ChooseIndexFile(RecordKind::History));
}
void MainViewController::OpenCookiesIndex() {
    OpenChosenIndexFile(dialogs_.ChooseIndexFile(RecordKind::Cookies));
}
void MainViewController::OpenCacheIndex() {
    OpenChosenIndexFile(dialogs_.ChooseIndexFile(RecordKind::Cache));
}

void MainViewController::CleanHistory() {
    dialogs_.ShowCleanupDialog(RecordKind::History);
}
void MainViewController::CleanCookies() {
    dialogs_.ShowCleanupDialog(RecordKind::Cookies);
}
void MainViewController::CleanCache() {
    dialogs_.ShowCleanupDialog(RecordKind::Cache);
}
void MainViewController::CleanIndexFiles() {
    dialogs_.ShowIndexRemovalDialog();
}
void MainViewController::ClearTypedUrlList() {
    ClearTypedUrls(platform_, settings_.confirm());
}
void MainViewController::ClearRecentDocumentList() {
    ClearRecentDocuments(platform_, settings_.confirm());
}
void MainViewController::ClearRunHistoryList() {
    ClearRunHistory(platform_, settings_.confirm());
}

void MainViewController::ShowFind() {
    dialogs_.ShowFindDialog();
}

void MainViewController::ShowOptions() {
    if (dialogs_.ShowOptionsDialog()) settings_.Load(platform_.registry);
}

void MainViewController::OpenWebPage() {
    window_.Launch(WebPageLaunch());
}
void MainViewController::ShowAbout() {
    dialogs_.ShowAboutBox();
}

}  // namespace qm
