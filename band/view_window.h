// Port: what the main view's controller asks of its window. The window
// owns the tab control, the three list windows and the progress window;
// the controller decides when each of these is used and the window only
// carries it out. Tests record the calls.
#pragma once

#include "band/about.h"
#include "platform/types.h"

namespace qm {

class ViewWindow {
public:
    virtual ~ViewWindow() = default;

    // Makes the kind's tab the tab control's current one and shows its list
    // alone (History, Cookies, Cache shown or hidden in that order).
    virtual void ShowTab(RecordKind kind) = 0;
    // The view's redrawing (WM_SETREDRAW); switching it on repaints the
    // whole view.
    virtual void SetRedraw(bool on) = 0;
    // The busy flag and the progress window that runs while it is set.
    virtual void BeginProgress() = 0;
    virtual void EndProgress() = 0;
    // The kind's list changed (rows, columns, cells or selection) without
    // its window's knowledge: the window re-reads its sizes and repaints.
    virtual void ListChanged(RecordKind kind) = 0;
    // Starts a program through the shell, with no owner window.
    virtual void Launch(const ShellLaunch& launch) = 0;
};

}  // namespace qm
