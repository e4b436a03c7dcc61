// Quillmere.dll as the tests use it: loaded once per test program from the
// build folder (the tests' working folder), with its four exports, in an
// apartment initialised for the whole run.
#pragma once

#include <shlobj.h>
#include <windows.h>
#include <wrl/client.h>

#include <string>

namespace qm::test {

struct BandDll {
    HMODULE module = nullptr;
    HRESULT(__stdcall* getClassObject)(REFCLSID, REFIID, void**) = nullptr;
    HRESULT(__stdcall* canUnloadNow)() = nullptr;
    HRESULT(__stdcall* registerServer)() = nullptr;
    HRESULT(__stdcall* unregisterServer)() = nullptr;
};

// Loaded on first use; the test fails at once when it cannot be.
const BandDll& Dll();
std::wstring DllPath();

inline constexpr CLSID kBandClass = {
    0x5A1C0E42, 0x7B3D, 0x4F19, {0x9C, 0x2E, 0x61, 0xD4, 0xA8, 0xB7, 0xE3, 0x05}};
inline constexpr IID kExplorerBarIid = {
    0x4D880D43, 0xC2E5, 0x4777, {0x80, 0x1F, 0xC3, 0xBC, 0xFB, 0xCB, 0x62, 0x11}};

// A fresh band from the DLL's class object, asked for IDeskBand.
Microsoft::WRL::ComPtr<IDeskBand> NewBand();

// Runs the thread's messages for the given time.
void PumpMessages(DWORD milliseconds);

}  // namespace qm::test
