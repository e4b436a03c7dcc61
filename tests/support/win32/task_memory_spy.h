// Watches COM task memory (CoTaskMemAlloc / CoTaskMemFree) of the whole
// process while it lives, through the platform's malloc spy, so that a test
// can tell whether strings handed over by a COM service were freed.
// Only one spy can be registered in a process at a time.
#pragma once

#include <windows.h>

#include <cstddef>

namespace qm {

class TaskMemorySpyObject;

class TaskMemorySpy {
public:
    TaskMemorySpy();
    ~TaskMemorySpy();

    TaskMemorySpy(const TaskMemorySpy&) = delete;
    TaskMemorySpy& operator=(const TaskMemorySpy&) = delete;

    // The result of CoRegisterMallocSpy.
    HRESULT registration() const { return registration_; }
    // Blocks allocated while the spy watched and not freed since.
    std::size_t outstanding() const;
    // Blocks allocated while the spy watched.
    std::size_t allocations() const;

private:
    TaskMemorySpyObject* spy_;
    HRESULT registration_ = E_FAIL;
};

}  // namespace qm
