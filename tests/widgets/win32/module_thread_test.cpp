// A module thread holds the DLL it runs in: the DLL's last FreeLibrary
// leaves it loaded while the thread runs, and the thread's end unloads it.
#include "widgets/win32/module_thread.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

constexpr wchar_t kProbe[] = L"qm_module_thread_probe.dll";

TEST(ModuleThreadTest, TheDllStaysLoadedUntilItsThreadEnds) {
    HMODULE dll = LoadLibraryW(kProbe);
    ASSERT_NE(dll, nullptr);
    using Start = HANDLE (*)(HANDLE);
    const auto start =
        reinterpret_cast<Start>(reinterpret_cast<void*>(GetProcAddress(dll, "StartGatedThread")));
    ASSERT_NE(start, nullptr);
    HANDLE gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(gate, nullptr);
    HANDLE thread = start(gate);
    ASSERT_NE(thread, nullptr);

    ASSERT_TRUE(FreeLibrary(dll));
    EXPECT_EQ(GetModuleHandleW(kProbe), dll) << "unloaded under its running thread";
    EXPECT_EQ(WaitForSingleObject(thread, 100), static_cast<DWORD>(WAIT_TIMEOUT));

    SetEvent(gate);
    ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    EXPECT_EQ(GetModuleHandleW(kProbe), nullptr) << "the thread's end gives the module back";
    CloseHandle(thread);
    CloseHandle(gate);
}

}  // namespace
}  // namespace qm
