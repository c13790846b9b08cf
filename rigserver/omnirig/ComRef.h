#pragma once
// An owning reference to a COM interface: releases it on destruction, adds a reference on copy.

#include <unknwn.h>

#include <utility>

namespace OmniRig {

template <typename T>
class ComRef {
public:
    ComRef() = default;
    // Takes over a reference that the caller already owns.
    static ComRef adopt(T* p) {
        ComRef r;
        r.p_ = p;
        return r;
    }
    // Adds a reference of its own.
    static ComRef share(T* p) {
        if (p != nullptr) {
            p->AddRef();
        }
        return adopt(p);
    }
    ComRef(const ComRef& other) : p_(other.p_) {
        if (p_ != nullptr) {
            p_->AddRef();
        }
    }
    ComRef(ComRef&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComRef& operator=(ComRef other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }
    ~ComRef() { reset(); }

    void reset() {
        // Cleared before the release: a release can re-enter and look at this reference.
        if (T* p = std::exchange(p_, nullptr)) {
            p->Release();
        }
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For out-parameters: drops the present reference and hands out the slot.
    T** put() {
        reset();
        return &p_;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }

    template <typename U>
    HRESULT queryInterface(const IID& iid, ComRef<U>& out) const {
        if (p_ == nullptr) {
            return E_POINTER;
        }
        return p_->QueryInterface(iid, out.putVoid());
    }

private:
    T* p_ = nullptr;
};

}  // namespace OmniRig
