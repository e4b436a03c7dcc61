// Port: the browser that hosts the band. A band may run without one, so
// every user of this port holds it as a pointer that may be null.
#pragma once

#include <string_view>

namespace qm {

class Browser {
public:
    virtual ~Browser() = default;

    virtual void Navigate(std::string_view url) = 0;
    virtual void SetStatusText(std::string_view text) = 0;
};

}  // namespace qm
