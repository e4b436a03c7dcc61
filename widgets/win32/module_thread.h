// A thread that keeps the module whose code it runs loaded for as long as
// it runs. The band lives in a DLL that the browser unloads as soon as
// DllCanUnloadNow allows; a thread the band started, still running code of
// the DLL after that (a progress window slow to close, a folder listing
// that does not return), would crash the browser. So the starter takes a
// reference to the module this function is in (GetModuleHandleExW with its
// address) for the new thread, and the thread gives it back as its very
// last act (FreeLibraryAndExitThread), after the body and everything it
// captured are gone.
//
// The body owns whatever it captures; it must not borrow anything that may
// go before it ends. The returned handle belongs to the caller; null when
// no thread could be started, and the body then never runs.
#pragma once

#include <windows.h>

#include <functional>

namespace qm {

HANDLE StartModuleThread(std::function<void()> body);

}  // namespace qm
