// What Quillmere's own window does with an address the band asks it to open
// (a link in a list, Open URL, Open File). Web addresses go to the user's
// default browser; a local file (the band opens cached files this way) is
// handed to the default browser's program, which shows it as the browser
// would have. Anything else is not opened: given to the shell, an address of
// another scheme, a bare name or a cached program would be run, not shown.
#pragma once

#include <string>
#include <string_view>

namespace qm {

enum class AddressKind { Web, LocalFile, Refused };

struct AddressTarget {
    AddressKind kind = AddressKind::Refused;
    std::u16string address;  // what to hand on; empty when refused
};

// Web: http://, https:// or ftp:// in any letter case, or a site without a
// scheme ("www.example.com/page", as the band gives a cookie's site), which
// gets "http://" in front as a browser's address line would give it. Local
// file: a drive path ("C:\..." or "C:/..."), a network path ("\\server\...")
// or a file: address. Control characters and quotes refuse any address, as
// does one too long for a command line.
AddressTarget TargetOfAddress(std::u16string_view address);

}  // namespace qm
