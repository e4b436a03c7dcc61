// The Cookie Details dialog (resource 214): the text of a cookie's local
// file in a multi-line box. The user may scroll and even edit the text on
// screen; nothing is ever written back. A file that cannot be read shows an
// empty box and no message.
#pragma once

#include <windows.h>

#include <string_view>

#include "platform/file_system.h"

namespace qm {

void ShowCookieDetailsDialog(HINSTANCE module, HWND owner, FileSystem& fileSystem, std::string_view path);

}  // namespace qm
