// The band's activation context, made from the manifest in the DLL's own
// resources. Window classes, windows, dialogs and system DLLs loaded by the
// band are made inside it, so that the common controls are version 6 even
// in a browser that does not ask for them. Where the system has no
// activation contexts, the scope does nothing and the calls go ahead.
#pragma once

#include <windows.h>

namespace qm {

class ActivationContext {
public:
    ActivationContext() = default;
    ~ActivationContext();
    ActivationContext(const ActivationContext&) = delete;
    ActivationContext& operator=(const ActivationContext&) = delete;

    // Builds the context from the manifest resource of the module. On
    // failure the context stays empty.
    void Create(HMODULE module, WORD manifestId);
    void Release();
    HANDLE handle() const { return context_; }

private:
    HANDLE context_ = INVALID_HANDLE_VALUE;
};

// Activates a context for the life of the scope.
class ActivationScope {
public:
    explicit ActivationScope(const ActivationContext& context);
    ~ActivationScope();
    ActivationScope(const ActivationScope&) = delete;
    ActivationScope& operator=(const ActivationScope&) = delete;

private:
    ULONG_PTR cookie_ = 0;
    bool active_ = false;
};

}  // namespace qm
