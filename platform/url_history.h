// Port: the platform's URL history service. It may be absent; when present
// it is opened for one piece of work and released afterwards.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/types.h"

namespace qm {

// One URL of the service, as its STATURL gives it.
struct StatUrl {
    std::u16string url;
    std::optional<std::u16string> title;  // absent when the service gives none
    FileTime lastUpdated;
    FileTime lastVisited;
    FileTime expires;
};

// An open history service.
class UrlHistorySession {
public:
    virtual ~UrlHistorySession() = default;

    // Calls visit for each URL in the service's order until visit returns
    // false or the service has no more. Returns false when the service
    // cannot enumerate at all. Deleting from inside visit is allowed.
    virtual bool Enumerate(const std::function<bool(const StatUrl&)>& visit) = 0;

    // Deletes the URL exactly as the service gave it.
    virtual HResult DeleteUrl(const std::u16string& url) = 0;
};

class UrlHistory {
public:
    virtual ~UrlHistory() = default;

    // Opens the service, or returns null when it cannot be created. With
    // initializeThread the session also prepares the calling thread for the
    // service (COM on Windows) for as long as the session lives.
    virtual std::unique_ptr<UrlHistorySession> Open(bool initializeThread) = 0;
};

}  // namespace qm
