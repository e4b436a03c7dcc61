// Owns one Windows adapter of each port and lends them as a Platform, as
// MemoryPlatform does with the memory ones. The browser is not part of it:
// it belongs to one band (Win32Browser) and may be absent.
#pragma once

#include "platform/platform.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_file_security.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_os_version.h"
#include "platform/win32/win32_prompts.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_text_codec.h"
#include "platform/win32/win32_url_cache.h"
#include "platform/win32/win32_url_history.h"

namespace qm {

class Win32Platform {
public:
    Win32Platform();
    // The platform lends references to the members: it neither moves nor copies.
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    Platform& platform() { return platform_; }
    operator Platform&() { return platform_; }  // NOLINT: lets callers pass the owner

    Win32UrlCache urlCache;
    Win32UrlHistory urlHistory;
    Win32Registry registry;
    Win32FileSystem fileSystem;
    Win32FileSecurity fileSecurity;
    Win32Shell shell;
    Win32Prompts prompts;
    Win32Clock clock;
    Win32TextCodec textCodec;
    Win32OsVersion osVersion;

private:
    Platform platform_;
};

}  // namespace qm
