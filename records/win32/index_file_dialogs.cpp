#include "records/win32/index_file_dialogs.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/win32/unique_handle.h"
#include "records/index_file_location.h"
#include "resources/index_file_ids.h"
#include "widgets/win32/dialog_support.h"
#include "widgets/win32/list_ctrl.h"
#include "widgets/win32/module_thread.h"

namespace qm {
namespace {

// Posted by the search thread to the search dialog: paths are waiting to be
// shown, and the search has ended. Neither carries data; what the thread
// found waits in its SearchChannel.
constexpr UINT kSearchFoundMessage = WM_APP + 0x51;
constexpr UINT kSearchEndedMessage = WM_APP + 0x52;

// The one-column list of both dialogs, put where the template's list box
// placeholder was, with the placeholder's control id and tab position.
class IndexFileList {
public:
    bool PlaceOver(HWND dialog) {
        const HWND placeholder = GetDlgItem(dialog, IDC_QM_INDEX_FILE_LIST);
        if (!placeholder) return false;
        RECT client{};
        GetClientRect(placeholder, &client);
        RECT area{};
        GetWindowRect(placeholder, &area);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
        if (!list_.Create(dialog, area, WS_VISIBLE | WS_TABSTOP, IDC_QM_INDEX_FILE_LIST)) return false;
        SetWindowPos(list_.window(), placeholder, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        DestroyWindow(placeholder);
        list_.AddColumn(kIndexFileColumnTitle,
                        IndexFileColumnWidth(client.right - client.left, GetSystemMetrics(SM_CXVSCROLL)));
        return true;
    }

    void Add(std::string_view path) { list_.AddRow(path); }
    void SelectFirst() {
        if (list_.model().RowCount() > 0) list_.Select(0, 0, 0);
    }
    int RowCount() const { return list_.model().RowCount(); }

    std::vector<std::string> Rows() const {
        std::vector<std::string> rows;
        for (int row = 0; row < RowCount(); ++row) rows.emplace_back(list_.model().GetCellText(row, 0));
        return rows;
    }

    // The text of the first selected row; empty when none is selected.
    std::string FirstSelected() const {
        const std::vector<int>& selected = list_.model().SelectedRows();
        if (selected.empty()) return {};
        return std::string(list_.model().GetCellText(selected.front(), 0));
    }

private:
    ListCtrl list_;
};

// ---- The chooser ----

class ChooserDialog {
public:
    ChooserDialog(Platform& platform, RecordKind kind) : platform_(platform), kind_(kind) {}

    BOOL OnInitDialog(HWND dialog) {
        dialog_ = dialog;
        if (!list_.PlaceOver(dialog)) {
            EndDialog(dialog, -1);
            return TRUE;
        }
        SetWindowTextA(dialog, std::string(IndexFileChooserCaption(kind_)).c_str());
        for (const std::string& row : IndexFileChooserRows(kind_, platform_.shell, platform_.fileSystem))
            list_.Add(row);
        list_.SelectFirst();
        return TRUE;
    }

    void OnCommand(int id, int /*code*/, HWND /*control*/) {
        switch (id) {
            case IDOK:
                chosen_ = list_.FirstSelected();
                EndDialog(dialog_, IDOK);
                break;
            case IDCANCEL:  // Escape and the close box
                EndDialog(dialog_, IDCANCEL);
                break;
            case IDC_QM_INDEX_FILE_BROWSE:
                Browse();
                break;
            default:
                break;
        }
    }

    const std::string& chosen() const { return chosen_; }

private:
    void Browse() {
        const std::vector<std::string> rows = list_.Rows();
        const std::optional<std::string> path =
            BrowseForIndexFile(kind_, platform_.shell, platform_.fileSystem, platform_.prompts, rows);
        if (path) list_.Add(*path);
    }

    Platform& platform_;
    RecordKind kind_;
    HWND dialog_ = nullptr;
    IndexFileList list_;
    std::string chosen_;
};

// ---- The search ----

// What one search shares with the dialog. The thread holds it as long as it
// runs, so that a search the dialog stopped waiting for reaches nothing of
// the dialog: once `dialog` is null the thread posts nothing more.
struct SearchChannel {
    std::atomic<bool> keepSearching{true};  // the continue flag
    std::mutex mutex;
    HWND dialog = nullptr;           // guarded by mutex
    std::vector<std::string> found;  // guarded: paths not yet shown
    bool wakePosted = false;         // guarded: a found message is on its way
    bool finished = false;           // guarded
};

void RunSearch(SearchChannel& channel, FileSystem& fileSystem, const std::string& folder) {
    try {
        SearchFolder(fileSystem, folder, channel.keepSearching, [&](const std::string& path) {
            const std::lock_guard<std::mutex> lock(channel.mutex);
            channel.found.push_back(path);
            if (channel.dialog && !channel.wakePosted)
                channel.wakePosted = PostMessageA(channel.dialog, kSearchFoundMessage, 0, 0) != 0;
        });
    } catch (...) {
        // Out of memory in a huge tree: the search ends with what it found.
    }
    const std::lock_guard<std::mutex> lock(channel.mutex);
    channel.finished = true;
    if (channel.dialog) PostMessageA(channel.dialog, kSearchEndedMessage, 0, 0);
}

struct ThreadCloser {
    void operator()(HANDLE thread) const { CloseHandle(thread); }
};

class SearchDialog {
public:
    SearchDialog(Platform& platform, FileSystemFactory makeFileSystem)
        : platform_(platform), makeFileSystem_(std::move(makeFileSystem)) {}
    ~SearchDialog() { StopSearch(); }
    SearchDialog(const SearchDialog&) = delete;
    SearchDialog& operator=(const SearchDialog&) = delete;

    BOOL OnInitDialog(HWND dialog) {
        dialog_ = dialog;
        if (!list_.PlaceOver(dialog)) {
            EndDialog(dialog, -1);
            return TRUE;
        }
        SetStatus(false);
        return TRUE;
    }

    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM /*lParam*/) {
        switch (message) {
            case WM_COMMAND:
                return OnCommand(LOWORD(wParam));
            case kSearchFoundMessage:
                ShowFound();
                return TRUE;
            case kSearchEndedMessage:
                OnSearchEnded();
                return TRUE;
            case WM_DESTROY:
                // The owner may take the dialog down without OK or Cancel.
                StopSearch();
                return FALSE;
            default:
                return FALSE;
        }
    }

    const std::string& chosen() const { return chosen_; }

private:
    INT_PTR OnCommand(int id) {
        switch (id) {
            case IDOK:
                chosen_ = list_.FirstSelected();
                StopSearch();
                EndDialog(dialog_, IDOK);
                return TRUE;
            case IDCANCEL:  // Escape and the close box
                StopSearch();
                EndDialog(dialog_, IDCANCEL);
                return TRUE;
            case IDC_QM_INDEX_FILE_BROWSE:
                Browse();
                return TRUE;
            default:
                return FALSE;
        }
    }

    void Browse() {
        if (searching()) return;
        const FolderBrowseRequest request = IndexFileSearchBrowseRequest(platform_.shell);
        const std::optional<std::string> folder =
            platform_.prompts.BrowseForFolder(request.title, request.initialFolder);
        if (!folder) return;
        // The rows of an earlier search stay; new ones are appended.
        auto channel = std::make_shared<SearchChannel>();
        std::shared_ptr<FileSystem> fileSystem = makeFileSystem_ ? makeFileSystem_() : nullptr;
        if (!fileSystem) return;
        channel->dialog = dialog_;
        HANDLE thread = StartModuleThread([channel, fileSystem, folder = *folder] {
            RunSearch(*channel, *fileSystem, folder);
        });
        if (!thread) return;  // no thread to be had: nothing was started
        thread_.reset(thread);
        channel_ = std::move(channel);
        SetStatus(true);
    }

    void ShowFound() {
        if (!channel_) return;
        std::vector<std::string> paths;
        {
            const std::lock_guard<std::mutex> lock(channel_->mutex);
            paths.swap(channel_->found);
            channel_->wakePosted = false;
        }
        for (const std::string& path : paths) list_.Add(path);
    }

    void OnSearchEnded() {
        if (!channel_) return;
        {
            const std::lock_guard<std::mutex> lock(channel_->mutex);
            if (!channel_->finished) return;
        }
        ShowFound();
        StopSearch();  // the thread is at its end: the wait is short
        if (const auto message = SearchEndMessage(static_cast<std::size_t>(list_.RowCount())))
            platform_.prompts.ShowMessage(*message, kSearchEndMessageIcon);
        RedrawWindow(dialog_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        SetStatus(false);
    }

    // Clears the continue flag and waits for the thread a bounded time. A
    // thread that does not stop in time is let go: it no longer posts to
    // the dialog, what it still finds stays in its own channel, and it ends
    // on its own with its own file system.
    void StopSearch() {
        if (!channel_) return;
        channel_->keepSearching.store(false);
        WaitForSingleObject(thread_.get(), kSearchStopWaitMs);
        {
            const std::lock_guard<std::mutex> lock(channel_->mutex);
            channel_->dialog = nullptr;
        }
        thread_.reset();
        channel_.reset();
    }

    bool searching() const { return channel_ != nullptr; }

    void SetStatus(bool busy) {
        SetDlgItemTextA(dialog_, IDC_QM_INDEX_FILE_STATUS, std::string(SearchStatusText(busy)).c_str());
    }

    Platform& platform_;
    HWND dialog_ = nullptr;
    IndexFileList list_;
    FileSystemFactory makeFileSystem_;
    std::shared_ptr<SearchChannel> channel_;  // set while a search runs
    UniqueHandle<HANDLE, ThreadCloser> thread_;
    std::string chosen_;
};

}  // namespace

std::optional<std::string> RunIndexFileChooser(HINSTANCE module, HWND owner, Platform& platform,
                                               RecordKind kind) {
    ChooserDialog dialog(platform, kind);
    if (RunModal(module, IDD_QM_INDEX_FILE_CHOOSER, owner, dialog) != IDOK) return std::nullopt;
    return dialog.chosen();
}

std::optional<std::string> RunIndexFileSearch(HINSTANCE module, HWND owner, Platform& platform,
                                              FileSystemFactory makeFileSystem) {
    SearchDialog dialog(platform, std::move(makeFileSystem));
    if (RunModal(module, IDD_QM_INDEX_FILE_SEARCH, owner, dialog) != IDOK) return std::nullopt;
    return dialog.chosen();
}

}  // namespace qm
