// ProgressWindow: the "Retrieving the data" window that shows a long fill
// is running on the user-interface thread, which paints nothing meanwhile.
//
// Start() sets the busy flag and starts a thread that puts up dialog 301
// (owned by the browser's window, above it only, centred), lets the block
// strip take over its static 319, and steps the strip every 50 ms while
// the flag stays set.
// Stop() clears the flag; the thread sees it within one step, destroys its
// window and ends. The window and its strip belong to that thread alone.
//
// Each run has its own flag and window record, shared with its thread
// (which holds a reference of its own), so a thread that outlives this
// object never reads freed memory. The thread's handle belongs to this
// object: it is closed once the thread has been seen to end (by the next
// Start, by WaitForEnd or at destruction), never by the thread itself, so a
// wait on it can never meet a closed handle. The thread holds the module
// it runs in until it ends (StartModuleThread), also when destruction has
// given up waiting for it.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>

#include "platform/win32/unique_handle.h"
#include "widgets/progress_strip.h"

namespace qm {

class ProgressWindow {
public:
    // How long destruction (and a new Start) waits for a thread still running.
    static constexpr DWORD kThreadWaitMs = 5000;

    // `resources` holds dialog 301; the window is made inside
    // `activationContext` when one is given (INVALID_HANDLE_VALUE or null: none).
    explicit ProgressWindow(HINSTANCE resources, HANDLE activationContext = nullptr);
    ~ProgressWindow();
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    // Sets the busy flag and starts the window's thread; the window is owned
    // by `owner` (the browser's top-level window; null: none). A previous
    // run is waited for first, so two fills show two windows one after the
    // other. False (and the flag clear again) when no thread could be
    // started.
    bool Start(HWND owner);
    // Clears the busy flag; the window goes within one step.
    void Stop();
    bool busy() const;

    // Waits at most `milliseconds` for the thread of the last run; true when
    // no thread is left (its handle is then closed and the record cleared).
    bool WaitForEnd(DWORD milliseconds);
    bool threadRecorded() const { return thread_.valid(); }
    // The window of the running thread; null before it is made and after
    // it is gone.
    HWND window() const;

    // What a run shares with its thread.
    struct Run {
        std::atomic<bool> busy{true};
        std::atomic<HWND> window{nullptr};
        HINSTANCE resources = nullptr;
        HANDLE activationContext = nullptr;
        HWND owner = nullptr;
    };

private:
    struct HandleCloser {
        void operator()(HANDLE handle) const { CloseHandle(handle); }
    };

    HINSTANCE resources_;
    HANDLE activationContext_;
    std::shared_ptr<Run> run_;
    UniqueHandle<HANDLE, HandleCloser> thread_;
};

}  // namespace qm
