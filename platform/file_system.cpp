#include "platform/file_system.h"

namespace qm {

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (path.empty() || path.back() != '\\') path.push_back('\\');
    path.append(name);
    return path;
}

}  // namespace qm
