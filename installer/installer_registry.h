// The band's registration as Windows Installer registry rows: the same
// table DllRegisterServer writes from (band/registration.h), so that the
// package and regsvr32 write the same keys and values.
//
// The rows are WiX source (RegistryValue elements) for one component:
// - a key the table forces (recreated whole at registration) becomes a "*"
//   row, made at install and removed with everything below it at
//   uninstall;
// - each value becomes a row of its own, the module path given as the
//   installer's reference to the DLL's file ("[#FileId]");
// - the band's component category, which DllRegisterServer adds through
//   the category manager, is a key of its own below the class key;
// - the shared keys the table keeps (CLSID, Software...) make no row: the
//   installer neither makes nor removes them.
// Every text is escaped for XML and for the installer's formatted strings,
// so that a bracket or brace in the data reaches the registry as it is.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "band/registration.h"

namespace qm {

// The rows of `table` (the band's: RegistrationTable()), one a line, each
// indented by `indent`. An empty text when the file id is not a valid
// installer identifier.
std::string InstallerRegistryRows(std::span<const RegistrationEntry> table, std::string_view fileId,
                                  std::string_view indent);

}  // namespace qm
