// One instance of each port, as the core reaches the operating system. The
// struct only borrows them: MemoryPlatform owns memory implementations for
// tests and off Windows, Win32Platform owns the Windows adapters. The
// hosting browser is not here: it belongs to one band and may be absent.
#pragma once

#include "platform/clock.h"
#include "platform/file_security.h"
#include "platform/file_system.h"
#include "platform/os_version.h"
#include "platform/prompts.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/text_codec.h"
#include "platform/url_cache.h"
#include "platform/url_history.h"

namespace qm {

struct Platform {
    UrlCache& urlCache;
    UrlHistory& urlHistory;
    Registry& registry;
    FileSystem& fileSystem;
    FileSecurity& fileSecurity;
    Shell& shell;
    Prompts& prompts;
    Clock& clock;
    TextCodec& textCodec;
    OsVersion& osVersion;
};

}  // namespace qm
