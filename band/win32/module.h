// The state of the loaded DLL: its instance handle, the lock count that
// decides whether the host may unload it, the class table, the module lock
// and the activation context. One per process, set up at process attach.
//
// The lock count goes up by one for each live band object, each
// LockServer(TRUE) and each reference to the class factory beyond its
// first; it is changed only with interlocked operations.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <string>

#include "band/win32/activation_context.h"

namespace qm {

class ClassFactory;

struct ClassEntry {
    const CLSID* classId;
    ClassFactory* factory;  // created on first request, released at detach
};

struct ModuleState {
    HMODULE instance = nullptr;
    volatile LONG lockCount = 0;
    ClassEntry bandClass{};
    CRITICAL_SECTION lock;  // lazy creation of the factory, the window class, type information
    ActivationContext activation;
    ATOM viewClass = 0;
    ITypeInfo* explorerBarTypeInfo = nullptr;  // cached on first use
    bool oleInitialized = false;
};

ModuleState& Module();

void LockModule();
void UnlockModule();

// Process attach and detach, as DllMain runs them. Detach at process exit
// leaves OLE and other DLLs alone: they may already be gone.
void AttachModule(HMODULE instance);
void DetachModule(bool processExiting);

// The full path of the DLL, or empty.
std::string ModulePath();

// The type information of IExplorerBar from the registered type library,
// loaded once; null with the failure code when it cannot be loaded.
HRESULT ExplorerBarTypeInfo(LCID locale, ITypeInfo** typeInfo);

}  // namespace qm
