// The Add To Favorites dialog (resource 139): a description, an address and
// an optional icon file, saved as an Internet Shortcut in the user's
// Favorites folder by Add. A refused entry (empty fields, no folder, a
// favorite of that name) keeps the dialog open with what the user typed;
// a save, whether it worked or not, ends it.
#pragma once

#include <windows.h>

#include "platform/platform.h"
#include "settings/favorites.h"

namespace qm {

// Shows the dialog modally, owned by owner, proposing the request's
// description and address (the icon file starts empty).
void ShowAddToFavoritesDialog(HINSTANCE module, HWND owner, Platform& platform,
                              const FavoriteRequest& proposal);

}  // namespace qm
