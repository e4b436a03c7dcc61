// UniqueHandle: the one owner of a platform handle. It is move-only and
// hands the handle to its deleter exactly once, when it goes out of scope or
// is reset; a copy would close the handle twice, so there is none.
//
// The deleter is a function object taking the handle. It may carry state
// (a close function chosen at run time). A deleter that names its own
// "no handle" value with a static Invalid() gets that value (for handle
// kinds whose failure value is not zero); otherwise a value-initialized T
// (a null pointer) means "no handle".
#pragma once

#include <concepts>
#include <utility>

namespace qm {

template <typename Deleter, typename T>
concept NamesInvalidHandle = requires {
    { Deleter::Invalid() } -> std::convertible_to<T>;
};

template <typename T, typename Deleter>
class UniqueHandle {
public:
    static T InvalidValue() {
        if constexpr (NamesInvalidHandle<Deleter, T>) {
            return Deleter::Invalid();
        } else {
            return T{};
        }
    }

    UniqueHandle() = default;
    explicit UniqueHandle(T handle, Deleter deleter = Deleter{})
        : handle_(handle), deleter_(std::move(deleter)) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    UniqueHandle(UniqueHandle&& other) noexcept
        : handle_(std::exchange(other.handle_, InvalidValue())), deleter_(std::move(other.deleter_)) {}

    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset();
            handle_ = std::exchange(other.handle_, InvalidValue());
            deleter_ = std::move(other.deleter_);
        }
        return *this;
    }

    T get() const { return handle_; }
    bool valid() const { return handle_ != InvalidValue(); }
    explicit operator bool() const { return valid(); }

    // Closes the current handle (if any) and takes the new one.
    void reset(T handle = InvalidValue()) {
        const T old = std::exchange(handle_, handle);
        if (old != InvalidValue()) deleter_(old);
    }

    // Gives up ownership without closing.
    [[nodiscard]] T release() { return std::exchange(handle_, InvalidValue()); }

    // For functions that return a handle through a pointer: closes the
    // current handle and lends the slot.
    T* put() {
        reset();
        return &handle_;
    }

    const Deleter& deleter() const { return deleter_; }

private:
    T handle_ = InvalidValue();
    [[no_unique_address]] Deleter deleter_{};
};

}  // namespace qm
