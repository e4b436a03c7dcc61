// The calling thread's COM initialization for as long as a call needs it.
// Only a successful CoInitialize (S_OK or S_FALSE) is balanced by
// CoUninitialize: a thread already in another apartment model answers a
// failure, can use COM all the same, and must not lose the initialization
// its owner made.
#pragma once

#include <objbase.h>

namespace qm {

class ComInitialization {
public:
    ComInitialization() : initialized_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComInitialization() {
        if (initialized_) CoUninitialize();
    }
    ComInitialization(const ComInitialization&) = delete;
    ComInitialization& operator=(const ComInitialization&) = delete;

private:
    bool initialized_;
};

}  // namespace qm
