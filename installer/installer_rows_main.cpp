// qm-installer-rows FILEID: prints the band's registry rows for the WiX
// component whose DLL file has that id (see installer_registry.h).
#include <cstdio>
#include <string>

#include "installer/installer_registry.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: qm-installer-rows FILEID\n", stderr);
        return 2;
    }
    const std::string rows = qm::InstallerRegistryRows(qm::RegistrationTable(), argv[1], "          ");
    if (rows.empty()) {
        std::fprintf(stderr, "qm-installer-rows: %s is not an installer identifier\n", argv[1]);
        return 2;
    }
    std::fputs(rows.c_str(), stdout);
    return std::ferror(stdout) ? 1 : 0;
}
