#include "widgets/win32/progress_window.h"

#include <commctrl.h>

#include "platform/win32/gdi.h"
#include "widgets/win32/module_thread.h"
#include "resources/resource.h"

namespace qm {
namespace {

constexpr char kWindowTitle[] = "Retrieving the data...";

// The block strip that takes over static 319: it steps and paints the
// ProgressStrip. Lives on the progress thread's stack, for the life of the
// window.
class BlockStrip {
public:
    static constexpr UINT_PTR kSubclassId = 319;

    bool Attach(HWND window) {
        window_ = window;
        return SetWindowSubclass(window, &BlockStrip::SubclassProc, kSubclassId,
                                 reinterpret_cast<DWORD_PTR>(this)) != FALSE;
    }

    void Step() {
        strip_.Step();
        // Paints what was invalid, that is the previous step's position;
        // the one just made shows at the next step.
        UpdateWindow(window_);
        InvalidateRect(window_, nullptr, TRUE);
    }

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR data) {
        auto* self = reinterpret_cast<BlockStrip*>(data);
        switch (message) {
            case WM_PAINT: {
                PAINTSTRUCT paint;
                if (HDC dc = BeginPaint(window, &paint)) {
                    self->Paint(dc);
                    EndPaint(window, &paint);
                }
                return 0;
            }
            case WM_PRINTCLIENT:
                self->Paint(reinterpret_cast<HDC>(wParam));
                return 0;
            case WM_ERASEBKGND:
                return 1;  // the paint covers every pixel
            case WM_NCDESTROY:
                RemoveWindowSubclass(window, &BlockStrip::SubclassProc, kSubclassId);
                self->surface_.reset();
                self->memory_.reset();
                self->window_ = nullptr;
                break;
            default:
                break;
        }
        return DefSubclassProc(window, message, wParam, lParam);
    }

    void Paint(HDC dc) {
        RECT client;
        GetClientRect(window_, &client);
        const int width = client.right;
        const int height = client.bottom;
        if (!memory_) {
            memory_.reset(CreateCompatibleDC(dc));
            if (!memory_) return;
            surface_.reset(CreateCompatibleBitmap(dc, width, height));
            if (!surface_) {
                memory_.reset();
                return;
            }
        }
        Selection surface(memory_.get(), surface_.get());
        SetBkColor(memory_.get(), GetSysColor(COLOR_BTNFACE));
        ExtTextOutA(memory_.get(), 0, 0, ETO_OPAQUE, &client, nullptr, 0, nullptr);

        const auto blocks = ProgressBlocks(width);
        for (int index = 0; index < kProgressBlockCount; ++index) {
            const bool lit = index == strip_.position();
            GdiObject pen(
                CreatePen(PS_SOLID, 0, (lit ? kProgressLitBlockOutline : kProgressBlockOutline).value));
            GdiObject brush(CreateSolidBrush((lit ? kProgressLitBlockFill : kProgressBlockFill).value));
            Selection penSelection(memory_.get(), pen.get());
            Selection brushSelection(memory_.get(), brush.get());
            Rectangle(memory_.get(), blocks[index].left, 0, blocks[index].right, height);
        }
        BitBlt(dc, 0, 0, width, height, memory_.get(), 0, 0, SRCCOPY);
    }

    HWND window_ = nullptr;
    ProgressStrip strip_;
    MemoryDc memory_;
    GdiObject surface_;
};

struct DialogState {
    BlockStrip strip;
    bool attached = false;
};

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            auto* state = reinterpret_cast<DialogState*>(lParam);
            if (HWND strip = GetDlgItem(dialog, IDC_QM_PROGRESS_STRIP))
                state->attached = state->strip.Attach(strip);
            SetWindowTextA(dialog, kWindowTitle);
            // The window comes while the user may be typing in the browser:
            // shown here without activation, it is already visible when the
            // dialog manager would show (and activate) it. Owned by the
            // browser's window, it stays above that window and no other.
            SetWindowPos(dialog, nullptr, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
            return FALSE;  // no control takes the focus either
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, LOWORD(wParam) == IDOK ? 1 : 2);
                return TRUE;
            }
            break;
        default:
            break;
    }
    return FALSE;
}

// Handles what other threads and the system send the window between steps
// (a setting broadcast waits for an answer; a window that never answers is
// taken for a hung one). Painting still comes from the step itself.
void DispatchPendingMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) break;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

HWND CreateProgressDialog(const ProgressWindow::Run& run, DialogState& state) {
    const bool useContext = run.activationContext && run.activationContext != INVALID_HANDLE_VALUE;
    ULONG_PTR cookie = 0;
    const bool activated = useContext && ActivateActCtx(run.activationContext, &cookie);
    HWND dialog = CreateDialogParamA(run.resources, MAKEINTRESOURCEA(IDD_QM_PROGRESS), run.owner, &DialogProc,
                                     reinterpret_cast<LPARAM>(&state));
    if (activated) DeactivateActCtx(0, cookie);
    return dialog;
}

void RunProgress(const std::shared_ptr<ProgressWindow::Run>& run) {
    DialogState state;
    if (HWND dialog = CreateProgressDialog(*run, state)) {
        run->window.store(dialog);
        while (run->busy.load()) {
            if (state.attached) state.strip.Step();
            DispatchPendingMessages();
            Sleep(kProgressStepMs);
        }
        DestroyWindow(dialog);
        run->window.store(nullptr);
    }
}

}  // namespace

ProgressWindow::ProgressWindow(HINSTANCE resources, HANDLE activationContext)
    : resources_(resources), activationContext_(activationContext) {}

ProgressWindow::~ProgressWindow() {
    Stop();
    WaitForEnd(kThreadWaitMs);
    // A thread still running keeps its run alive by its own reference; its
    // handle is closed here and the thread goes on to its end.
    thread_.reset();
}

bool ProgressWindow::Start(HWND owner) {
    if (run_) run_->busy.store(false);
    WaitForEnd(kThreadWaitMs);
    thread_.reset();

    auto run = std::make_shared<Run>();
    run->resources = resources_;
    run->activationContext = activationContext_;
    run->owner = owner;
    run_ = run;
    // The thread holds its own reference to the run.
    HANDLE thread = StartModuleThread([run] { RunProgress(run); });
    if (!thread) {
        run->busy.store(false);
        return false;
    }
    thread_.reset(thread);
    return true;
}

void ProgressWindow::Stop() {
    if (run_) run_->busy.store(false);
}

bool ProgressWindow::busy() const {
    return run_ && run_->busy.load();
}

HWND ProgressWindow::window() const {
    return run_ ? run_->window.load() : nullptr;
}

bool ProgressWindow::WaitForEnd(DWORD milliseconds) {
    if (!thread_) return true;
    // Messages other threads send to this one are answered while waiting:
    // the system may send the caller's windows an activation change while
    // the progress window comes or goes.
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        const DWORD left = elapsed >= milliseconds ? 0 : milliseconds - elapsed;
        HANDLE thread = thread_.get();
        const DWORD result = MsgWaitForMultipleObjects(1, &thread, FALSE, left, QS_SENDMESSAGE);
        if (result == WAIT_OBJECT_0) break;
        if (result != WAIT_OBJECT_0 + 1) return false;
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    thread_.reset();
    return true;
}

}  // namespace qm
