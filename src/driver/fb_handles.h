// SPDX-License-Identifier: Apache-2.0
#pragma once
// Owning handles for Firebird interfaces. A reference-counted interface (attachment,
// transaction, statement, result set, blob, metadata, provider) is released when its
// handle goes; a disposable one (status, parameter-block builder) is disposed.
//
// On the client in use, a successful commit, rollback, detach, close or free already
// releases the interface: after such a call the handle must forget() it, not release it.

#include <utility>

namespace kalmora::driver {

template <typename T> class FbRef
{
public:
    FbRef() = default;
    /// Takes over one reference (as returned by the client).
    explicit FbRef(T *ptr) : ptr_(ptr) {}
    ~FbRef() { reset(); }
    FbRef(FbRef &&other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    FbRef &operator=(FbRef &&other) noexcept
    {
        if (this != &other) {
            reset();
            ptr_ = std::exchange(other.ptr_, nullptr);
        }
        return *this;
    }
    FbRef(const FbRef &) = delete;
    FbRef &operator=(const FbRef &) = delete;

    /// A second owner of the same interface.
    static FbRef share(T *ptr)
    {
        if (ptr)
            ptr->addRef();
        return FbRef(ptr);
    }

    T *get() const { return ptr_; }
    T *operator->() const { return ptr_; }
    explicit operator bool() const { return ptr_ != nullptr; }
    /// Drops the pointer without releasing: the client released it already.
    void forget() { ptr_ = nullptr; }
    void reset()
    {
        if (ptr_)
            std::exchange(ptr_, nullptr)->release();
    }

private:
    T *ptr_ = nullptr;
};

template <typename T> class FbDisposable
{
public:
    explicit FbDisposable(T *ptr) : ptr_(ptr) {}
    ~FbDisposable()
    {
        if (ptr_)
            ptr_->dispose();
    }
    FbDisposable(const FbDisposable &) = delete;
    FbDisposable &operator=(const FbDisposable &) = delete;

    T *get() const { return ptr_; }
    T *operator->() const { return ptr_; }

private:
    T *ptr_;
};

} // namespace kalmora::driver
