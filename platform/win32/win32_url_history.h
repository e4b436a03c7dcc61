// UrlHistory on the platform's URL history service (CLSID_CUrlHistory, a COM
// in-process server). A session holds the service's IUrlHistoryStg2 for one
// piece of work; with initializeThread it also holds the calling thread's COM
// initialization, which it gives back after releasing the service.
#pragma once

#include <memory>

#include "platform/url_history.h"

namespace qm {

class Win32UrlHistory final : public UrlHistory {
public:
    std::unique_ptr<UrlHistorySession> Open(bool initializeThread) override;
};

}  // namespace qm
