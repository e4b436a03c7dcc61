#include "platform/win32/win32_platform.h"

namespace qm {

Win32Platform::Win32Platform()
    : platform_{urlCache, urlHistory, registry, fileSystem, fileSecurity,
                shell,    prompts,    clock,    textCodec,  osVersion} {}

}  // namespace qm
