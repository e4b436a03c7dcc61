#include "band/win32/activation_context.h"

namespace qm {

ActivationContext::~ActivationContext() {
    Release();
}

void ActivationContext::Create(HMODULE module, WORD manifestId) {
    Release();
    ACTCTXW request = {};
    request.cbSize = sizeof(request);
    request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.hModule = module;
    request.lpResourceName = MAKEINTRESOURCEW(manifestId);
    // The source is required even with a module; the module's own path.
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    request.lpSource = path;
    context_ = CreateActCtxW(&request);
}

void ActivationContext::Release() {
    if (context_ != INVALID_HANDLE_VALUE) ReleaseActCtx(context_);
    context_ = INVALID_HANDLE_VALUE;
}

ActivationScope::ActivationScope(const ActivationContext& context) {
    if (context.handle() != INVALID_HANDLE_VALUE)
        active_ = ActivateActCtx(context.handle(), &cookie_) != FALSE;
}

ActivationScope::~ActivationScope() {
    if (active_) DeactivateActCtx(0, cookie_);
}

}  // namespace qm
