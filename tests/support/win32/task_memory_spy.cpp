#include "tests/support/win32/task_memory_spy.h"

#include <objbase.h>

#include <set>

#include "platform/win32/com_object.h"

namespace qm {

class TaskMemorySpyObject final : public ComObject<IMallocSpy, IID_IMallocSpy> {
public:
    SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T size) override { return size; }
    void* STDMETHODCALLTYPE PostAlloc(void* block) override {
        if (block != nullptr) {
            live_.insert(block);
            ++allocations_;
        }
        return block;
    }

    void* STDMETHODCALLTYPE PreFree(void* block, WINBOOL) override {
        live_.erase(block);
        return block;
    }
    void STDMETHODCALLTYPE PostFree(WINBOOL) override {}

    SIZE_T STDMETHODCALLTYPE PreRealloc(void* block, SIZE_T size, void** request, WINBOOL) override {
        reallocating_ = block;
        reallocSize_ = size;
        *request = block;
        return size;
    }
    void* STDMETHODCALLTYPE PostRealloc(void* block, WINBOOL) override {
        // A failed reallocation leaves the old block; one to size 0 frees it.
        if (block != nullptr || reallocSize_ == 0) live_.erase(reallocating_);
        if (block != nullptr) {
            if (live_.insert(block).second && reallocating_ == nullptr) ++allocations_;
        }
        return block;
    }

    void* STDMETHODCALLTYPE PreGetSize(void* block, WINBOOL) override { return block; }
    SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T size, WINBOOL) override { return size; }
    void* STDMETHODCALLTYPE PreDidAlloc(void* block, WINBOOL) override { return block; }
    int STDMETHODCALLTYPE PostDidAlloc(void*, WINBOOL, int allocated) override { return allocated; }
    void STDMETHODCALLTYPE PreHeapMinimize() override {}
    void STDMETHODCALLTYPE PostHeapMinimize() override {}

    std::size_t outstanding() const { return live_.size(); }
    std::size_t allocations() const { return allocations_; }

private:
    ~TaskMemorySpyObject() override = default;

    std::set<void*> live_;
    std::size_t allocations_ = 0;
    void* reallocating_ = nullptr;
    SIZE_T reallocSize_ = 0;
};

TaskMemorySpy::TaskMemorySpy() : spy_(new TaskMemorySpyObject) {
    registration_ = CoRegisterMallocSpy(spy_);
}

TaskMemorySpy::~TaskMemorySpy() {
    // The platform keeps its own reference until every block allocated under
    // the spy is freed, so releasing ours here is safe either way.
    if (SUCCEEDED(registration_)) CoRevokeMallocSpy();
    spy_->Release();
}

std::size_t TaskMemorySpy::outstanding() const {
    return spy_->outstanding();
}

std::size_t TaskMemorySpy::allocations() const {
    return spy_->allocations();
}

}  // namespace qm
