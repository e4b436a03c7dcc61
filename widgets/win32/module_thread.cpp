#include "widgets/win32/module_thread.h"

#include <memory>
#include <new>
#include <utility>

namespace qm {
namespace {

struct ThreadStart {
    std::function<void()> body;
    HMODULE module = nullptr;
};

DWORD WINAPI ModuleThreadMain(void* parameter) {
    HMODULE module = nullptr;
    {
        std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(parameter));
        module = start->module;
        try {
            start->body();
        } catch (...) {
            // Nothing may unwind out of a thread; the body's own work is lost.
        }
    }  // the body and its captures go while the module is still held
    FreeLibraryAndExitThread(module, 0);
}

}  // namespace

HANDLE StartModuleThread(std::function<void()> body) {
    auto start = std::unique_ptr<ThreadStart>(new (std::nothrow) ThreadStart{std::move(body), nullptr});
    if (!start) return nullptr;
    // Taken here rather than by the thread: the module could be unloaded
    // between this call's return and the thread's first instruction.
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCWSTR>(&ModuleThreadMain), &start->module)) {
        return nullptr;
    }
    const HMODULE module = start->module;
    HANDLE thread = CreateThread(nullptr, 0, &ModuleThreadMain, start.get(), 0, nullptr);
    if (!thread) {
        FreeLibrary(module);
        return nullptr;
    }
    start.release();  // the thread's now
    return thread;
}

}  // namespace qm
