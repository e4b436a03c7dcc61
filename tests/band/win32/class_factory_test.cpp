#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "tests/band/win32/band_dll.h"

using Microsoft::WRL::ComPtr;

namespace qm::test {
namespace {

TEST(BandServerTest, LoadingAndUnloadingLeaveTheThreadsComAlone) {
    // A copy under a name of its own is a module of its own: its DllMain
    // runs here, on a thread without COM, as when a browser's worker thread
    // loads the band. The loader lock is held there: COM is the business of
    // the threads that use it, so the thread may still choose its apartment.
    const std::wstring copy = DllPath().substr(0, DllPath().size() - 4) + L"-copy.dll";
    ASSERT_TRUE(CopyFileW(DllPath().c_str(), copy.c_str(), FALSE));
    HRESULT afterLoad = E_FAIL;
    HRESULT afterUnload = E_FAIL;
    std::thread loader([&] {
        HMODULE module = LoadLibraryW(copy.c_str());
        if (!module) return;
        afterLoad = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(afterLoad)) CoUninitialize();
        FreeLibrary(module);
        afterUnload = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(afterUnload)) CoUninitialize();
    });
    loader.join();
    DeleteFileW(copy.c_str());
    EXPECT_EQ(afterLoad, S_OK) << "loading chose no apartment for the thread";
    EXPECT_EQ(afterUnload, S_OK) << "unloading left the thread's COM balanced";
}

TEST(BandServerTest, ServesOnlyTheBandClassAndARefusedInterfaceLeavesNoBandBehind) {
    const BandDll& dll = Dll();
    ASSERT_TRUE(dll.getClassObject && dll.canUnloadNow && dll.registerServer && dll.unregisterServer)
        << "the four entry points are exported by name";
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(dll.getClassObject(IID_IUnknown, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(dll.getClassObject(kBandClass, IID_IClassFactory, nullptr), E_POINTER);
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(dll.getClassObject(kBandClass, IID_PPV_ARGS(&factory)), S_OK);
    ComPtr<IClassFactory> again;
    EXPECT_EQ(dll.getClassObject(kBandClass, IID_PPV_ARGS(&again)), S_OK);
    EXPECT_EQ(factory.Get(), again.Get()) << "one class factory per module";
    again.Reset();

    object = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IInputObject, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDeskBand, nullptr), E_POINTER);
    factory.Reset();
    EXPECT_EQ(dll.canUnloadNow(), S_OK);
}

TEST(BandServerTest, CanUnloadOnlyWithoutLiveBandsFactoryReferencesOrLocks) {
    const BandDll& dll = Dll();
    ASSERT_NE(dll.canUnloadNow, nullptr);
    EXPECT_EQ(dll.canUnloadNow(), S_OK);

    ComPtr<IClassFactory> factory;
    ASSERT_EQ(dll.getClassObject(kBandClass, IID_PPV_ARGS(&factory)), S_OK);
    EXPECT_EQ(dll.canUnloadNow(), S_FALSE) << "a held factory keeps the module";

    ComPtr<IDeskBand> band;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_PPV_ARGS(&band)), S_OK);
    factory.Reset();
    EXPECT_EQ(dll.canUnloadNow(), S_FALSE) << "a live band keeps the module";
    ComPtr<IPersist> second;
    ASSERT_EQ(band.As(&second), S_OK);
    band.Reset();
    EXPECT_EQ(dll.canUnloadNow(), S_FALSE) << "the band lives while any interface is held";
    second.Reset();
    EXPECT_EQ(dll.canUnloadNow(), S_OK);

    ASSERT_EQ(dll.getClassObject(kBandClass, IID_PPV_ARGS(&factory)), S_OK);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    factory.Reset();
    EXPECT_EQ(dll.canUnloadNow(), S_FALSE) << "a server lock keeps the module";
    ASSERT_EQ(dll.getClassObject(kBandClass, IID_PPV_ARGS(&factory)), S_OK);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    factory.Reset();
    EXPECT_EQ(dll.canUnloadNow(), S_OK);
}

TEST(BandServerTest, AggregatesOnlyThroughIUnknown) {
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(Dll().getClassObject(kBandClass, IID_PPV_ARGS(&factory)), S_OK);

    // Any object can stand in as the outer one for these calls.
    ComPtr<IClassFactory> outer = factory;
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(outer.Get(), IID_IDeskBand, &object), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);

    ComPtr<IUnknown> inner;
    ASSERT_EQ(factory->CreateInstance(outer.Get(), IID_PPV_ARGS(&inner)), S_OK);
    // The inner unknown answers the band's interfaces itself...
    ComPtr<IDeskBand> band;
    ASSERT_EQ(inner.As(&band), S_OK);
    // ...and those delegate to the outer object, which is no band.
    ComPtr<IDeskBand> throughOuter;
    EXPECT_EQ(band.As(&throughOuter), E_NOINTERFACE);
    band.Reset();
    inner.Reset();
    outer.Reset();
    factory.Reset();
    EXPECT_EQ(Dll().canUnloadNow(), S_OK) << "the aggregated band is gone with its inner unknown";
}

}  // namespace
}  // namespace qm::test
