// Port: the modal dialogs and context menus that the main view's commands
// open. Each is owned by the active window (the view) and returns when it
// closes; what a dialog decides lives beside it in the core (cleaning/,
// settings/, records/), so the window's part is to show controls and pass
// on what the user did. Tests answer with fakes.
//
// Two dialogs call back into the view while they stay open: the cleanup
// dialogs send WM_PERFORMCLEANUP and the Find dialog sends WM_FINDONTAB,
// both synchronously, so the controller is re-entered from inside
// ShowCleanupDialog and ShowFindDialog.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/types.h"
#include "settings/favorites.h"

namespace qm {

class ViewDialogs {
public:
    virtual ~ViewDialogs() = default;

    // Tracks the context menu resource at the cursor position; returns the
    // chosen item's id, or 0 when the menu was dismissed or cannot be
    // loaded. The view's context-menu flag is set only during this call.
    virtual int TrackContextMenu(int menuId) = 0;

    // "Clean up History", "Clean up Cookies" or "Clean up Cache".
    virtual void ShowCleanupDialog(RecordKind kind) = 0;
    // "Clean up Index files".
    virtual void ShowIndexRemovalDialog() = 0;
    // Options; true when it closed with OK (the settings changed).
    virtual bool ShowOptionsDialog() = 0;
    virtual void ShowFindDialog() = 0;
    virtual void ShowAboutBox() = 0;

    // The index file chooser of the kind and the index file search: the
    // chosen path when the dialog ended with OK (empty when no row was
    // selected), nothing otherwise.
    virtual std::optional<std::string> ChooseIndexFile(RecordKind kind) = 0;
    virtual std::optional<std::string> SearchIndexFiles() = 0;

    virtual void ShowAddToFavorites(const FavoriteRequest& request) = 0;
    virtual void ShowCookieDetails(std::string_view path) = 0;
};

}  // namespace qm
