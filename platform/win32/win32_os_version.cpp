#include "platform/win32/win32_os_version.h"

#include <windows.h>

namespace qm {

std::optional<uint32_t> Win32OsVersion::MajorVersion() {
    // The plain structure, not the EX one: 148 bytes.
    static_assert(sizeof(OSVERSIONINFOA) == 148);
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info)) return std::nullopt;
    return info.dwMajorVersion;
}

}  // namespace qm
