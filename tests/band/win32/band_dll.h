// Quillmere.dll as the tests use it: loaded once per test program from the
// build folder (the tests' working folder), with its four exports, in an
// apartment initialised for the whole run.
#pragma once

#include <shlobj.h>
#include <windows.h>
#include <wrl/client.h>

#include <functional>
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

// The class browsers are told to make; kept here, not taken from the
// server, so that a changed identifier fails.
inline constexpr CLSID kBandClass = {
    0x5A1C0E42, 0x7B3D, 0x4F19, {0x9C, 0x2E, 0x61, 0xD4, 0xA8, 0xB7, 0xE3, 0x05}};

// A fresh band from the DLL's class object, asked for IDeskBand.
Microsoft::WRL::ComPtr<IDeskBand> NewBand();

// Runs the thread's messages until `done` answers true, for at most
// `limitMs`; answers what `done` said last. With a `done` that is always
// true it runs what is queued now.
bool PumpUntil(const std::function<bool()>& done, DWORD limitMs = 5000);

}  // namespace qm::test
