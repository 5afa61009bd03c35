// An owner of one COM interface reference: AddRef on copy, Release when it goes.
#pragma once

#include <unknwn.h>

#include <utility>

template <class Interface>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr& other) : pointer_(other.pointer_)
    {
        if (pointer_) pointer_->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept
    {
        std::swap(pointer_, other.pointer_);
        return *this;
    }
    ~ComPtr()
    {
        if (pointer_) pointer_->Release();
    }

    Interface* get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

    // For functions that hand out a new reference: releases the old one first.
    Interface** put()
    {
        *this = ComPtr();
        return &pointer_;
    }

    // Asks for another interface of the same object; an empty pointer when it has none.
    template <class Other>
    ComPtr<Other> query() const
    {
        ComPtr<Other> other;
        if (pointer_) pointer_->QueryInterface(__uuidof(Other), reinterpret_cast<void**>(other.put()));
        return other;
    }

private:
    Interface* pointer_ = nullptr;
};
