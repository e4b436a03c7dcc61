// A DLL whose only code starts module threads, so that a test can unload
// it while one of them runs and see whether the module stays.
#include <windows.h>

#include "widgets/win32/module_thread.h"

// Starts a thread of this DLL that waits for `gate` (at most 10 s).
extern "C" __declspec(dllexport) HANDLE StartGatedThread(HANDLE gate) {
    return qm::StartModuleThread([gate] { WaitForSingleObject(gate, 10000); });
}
