#include "tests/band/win32/band_dll.h"

#include <gtest/gtest.h>
#include <ole2.h>

namespace qm::test {
namespace {

class OleEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    void TearDown() override { OleUninitialize(); }
};

const auto* const kOle = ::testing::AddGlobalTestEnvironment(new OleEnvironment);

template <typename Function>
Function Export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

std::wstring DllPath() {
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    return std::wstring(folder) + L"\\Quillmere.dll";
}

const BandDll& Dll() {
    static const BandDll dll = [] {
        BandDll loaded;
        loaded.module = LoadLibraryW(DllPath().c_str());
        if (!loaded.module) return loaded;
        loaded.getClassObject = Export<decltype(loaded.getClassObject)>(loaded.module, "DllGetClassObject");
        loaded.canUnloadNow = Export<decltype(loaded.canUnloadNow)>(loaded.module, "DllCanUnloadNow");
        loaded.registerServer = Export<decltype(loaded.registerServer)>(loaded.module, "DllRegisterServer");
        loaded.unregisterServer =
            Export<decltype(loaded.unregisterServer)>(loaded.module, "DllUnregisterServer");
        return loaded;
    }();
    EXPECT_NE(dll.module, nullptr) << "Quillmere.dll did not load from the working folder";
    return dll;
}

Microsoft::WRL::ComPtr<IDeskBand> NewBand() {
    Microsoft::WRL::ComPtr<IDeskBand> band;
    const BandDll& dll = Dll();
    if (!dll.getClassObject) return band;
    Microsoft::WRL::ComPtr<IClassFactory> factory;
    if (FAILED(dll.getClassObject(kBandClass, IID_PPV_ARGS(&factory)))) return band;
    factory->CreateInstance(nullptr, IID_PPV_ARGS(&band));
    return band;
}

bool PumpUntil(const std::function<bool()>& done, DWORD limitMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done()) return true;
        if (GetTickCount() - start >= limitMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

}  // namespace qm::test
