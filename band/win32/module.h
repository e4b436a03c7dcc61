// The state of the loaded DLL: its instance handle, the lock count that
// decides whether the host may unload it, the class table, the module lock
// and the activation context. One per loaded copy of the DLL.
//
// DllMain only records the instance: the loader lock is held there, and
// neither COM nor the window manager may be called under it. What the band
// needs of the system (its activation context, the common controls inside
// it) is made once, on first need, under the module lock, and released
// when the module unloads. COM is initialised by the threads that use it;
// the browser's thread has it already.
//
// The lock count goes up by one for each live band object, each
// LockServer(TRUE) and each reference to the class factory beyond its
// first; it is changed only with interlocked operations.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <mutex>
#include <string>

#include "band/win32/activation_context.h"

namespace qm {

class ClassFactory;

struct ClassEntry {
    const CLSID* classId;
    ClassFactory* factory;  // created on first request, released at unload
};

struct ModuleState {
    HMODULE instance = nullptr;
    volatile LONG lockCount = 0;
    ClassEntry bandClass{};
    // Lazy creation of the factory, the system setup, the window class and
    // the type information. Needs no setup of its own.
    std::mutex lock;
    bool systemReady = false;
    ActivationContext activation;
    ATOM viewClass = 0;
    ITypeInfo* explorerBarTypeInfo = nullptr;  // cached on first use
};

ModuleState& Module();

void LockModule();
void UnlockModule();

// What DllMain does: process attach records the instance; detach, when the
// module is unloaded from a running process, releases what the band made.
// At process exit everything is left alone: other DLLs may be gone.
void AttachModule(HMODULE instance);
void DetachModule(bool processExiting);

// The activation context, made from the DLL's manifest on first use
// together with the common controls the band's windows need. Empty where
// the system has no activation contexts.
const ActivationContext& ModuleActivation();

// The full path of the DLL, or empty.
std::string ModulePath();

// The type information of IExplorerBar from the registered type library,
// loaded once; null with the failure code when it cannot be loaded.
HRESULT ExplorerBarTypeInfo(LCID locale, ITypeInfo** typeInfo);

}  // namespace qm
