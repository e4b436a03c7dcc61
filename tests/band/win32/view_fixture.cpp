#include "tests/band/win32/view_fixture.h"

#include <ole2.h>
#include <shlwapi.h>

#include <cstring>
#include <string_view>

#include "band/win32/module.h"

namespace qm::test {
namespace {

// The program stands in for the DLL: its module carries the resources, the
// manifest and the window classes. Its thread has OLE, as the browser's has.
class ModuleEnvironment final : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        AttachModule(GetModuleHandleW(nullptr));
    }
    void TearDown() override {
        DetachModule(/*processExiting=*/false);
        OleUninitialize();
    }
};

[[maybe_unused]] const ::testing::Environment* const kModuleEnvironment =
    ::testing::AddGlobalTestEnvironment(new ModuleEnvironment);

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text) narrow.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return narrow;
}

// The one script running from the thread timer: modal loops are not
// re-entered by the tests, so one at a time is all there is.
struct ModalScript {
    std::function<bool()> script;
    std::function<void()> giveUp;
    int attemptsLeft = 0;
    bool succeeded = false;
    UINT_PTR timer = 0;
};
ModalScript* g_modal = nullptr;

void CALLBACK ModalTimerProc(HWND, UINT, UINT_PTR, DWORD) {
    ModalScript* modal = g_modal;
    if (!modal || modal->succeeded || modal->attemptsLeft <= 0) return;
    --modal->attemptsLeft;
    if (modal->script()) {
        modal->succeeded = true;
        KillTimer(nullptr, modal->timer);
        return;
    }
    if (modal->attemptsLeft == 0) {
        KillTimer(nullptr, modal->timer);
        if (modal->giveUp) modal->giveUp();
    }
}

// One parent for the whole program: under Xvfb, without a window manager,
// Wine takes seconds to take a top-level window off the screen.
HWND TestParent() {
    static const HWND parent = CreateWindowExW(0, L"STATIC", L"view test", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                               20, 20, 640, 400, nullptr, nullptr, nullptr, nullptr);
    return parent;
}

// Both places the settings may live, by the system's version.
void ForgetSettings() {
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\QMPlugins");
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\AppDataLow\\Software\\QMPlugins");
}

}  // namespace

void ViewFixture::SetUp() {
    // The settings start from nothing: confirmation on, the default date,
    // the Find dialog's boxes unchecked.
    ForgetSettings();
    history_ = std::make_unique<LocalHistoryService>();
    ASSERT_EQ(history_->registration(), S_OK);
    parent_ = TestParent();
    ASSERT_NE(parent_, nullptr);
    chrome_ = std::make_unique<RecordingChrome>(parent_);
    browser_ = std::make_unique<HostBrowser>(*chrome_);
}

void ViewFixture::MakeView(bool keepStartupFills) {
    view_ = std::make_unique<MainView>(platform_.platform);
    RECT client = {};
    GetClientRect(parent_, &client);
    ASSERT_TRUE(view_->Create(parent_, client));
    // As the band object does: the view owns the clipboard and the sheets.
    platform_.adapters.shell.SetOwnerWindow(view_->window());
    view_->SetBrowser(browser_.get());
    if (!keepStartupFills) KillTimer(view_->window(), MainView::kHistoryTimer);
}

void ViewFixture::TearDown() {
    // No command of these tests has anything to tell the user.
    EXPECT_TRUE(platform_.prompts.messages.empty())
        << "unexpected message: " << platform_.prompts.messages.front();
    view_.reset();
    browser_.reset();
    chrome_.reset();
    history_.reset();
    ForgetSettings();
}

std::string ViewFixture::LastStatusText() const {
    return chrome_->statusTexts.empty() ? std::string() : Narrow(chrome_->statusTexts.back());
}

int ViewFixture::AddRow(RecordKind kind, const std::string& first, const std::string& url) {
    ListModel& list = rows(kind);
    const int row = list.AddRow(first);
    if (row >= 0) list.SetCellText(row, 1, url);
    view_->ListChanged(kind);
    return row;
}

bool RunDuringModalLoop(const std::function<void()>& action, const std::function<bool()>& script,
                        const std::function<void()>& giveUp, int attempts) {
    ModalScript modal;
    modal.script = script;
    modal.giveUp = giveUp;
    modal.attemptsLeft = attempts;
    g_modal = &modal;
    modal.timer = SetTimer(nullptr, 0, 40, &ModalTimerProc);
    action();
    KillTimer(nullptr, modal.timer);
    g_modal = nullptr;
    return modal.succeeded;
}

HWND OpenPopupMenu() {
    const HWND menu = FindWindowA("#32768", nullptr);
    return menu && IsWindowVisible(menu) ? menu : nullptr;
}

std::string ClipboardText() {
    std::string text;
    if (!OpenClipboard(nullptr)) return text;
    if (const HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const auto* bytes = static_cast<const char*>(GlobalLock(data))) {
            text.assign(bytes, strnlen(bytes, GlobalSize(data)));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

}  // namespace qm::test
