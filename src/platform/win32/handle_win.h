#pragma once
// RAII owners of Win32 handles.
#include <windows.h>

#include <utility>

namespace platform::win32 {

template <typename Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;
    UniqueHandle() = default;
    explicit UniqueHandle(Type h) : h_(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, Traits::invalid())) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) {
            reset();
            h_ = std::exchange(o.h_, Traits::invalid());
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    Type get() const { return h_; }
    explicit operator bool() const { return h_ != Traits::invalid(); }
    Type release() { return std::exchange(h_, Traits::invalid()); }
    void reset(Type h = Traits::invalid()) {
        if (h_ != Traits::invalid()) Traits::close(h_);
        h_ = h;
    }

private:
    Type h_ = Traits::invalid();
};

// How an owner frees its handle, and which value holds nothing (null, or with
// MinusOneIsEmpty INVALID_HANDLE_VALUE as CreateFile and FindFirstFile return it).
template <typename Handle, auto Close, bool MinusOneIsEmpty = false>
struct HandleTraits {
    using Type = Handle;
    static Type invalid() {
        if constexpr (MinusOneIsEmpty)
            return INVALID_HANDLE_VALUE;
        else
            return nullptr;
    }
    static void close(Type h) { Close(h); }
};
template <typename Handle, auto Close, bool MinusOneIsEmpty = false>
using Owner = UniqueHandle<HandleTraits<Handle, Close, MinusOneIsEmpty>>;

using KernelHandle = Owner<HANDLE, &::CloseHandle>;
using FileHandle = Owner<HANDLE, &::CloseHandle, true>;
using FindHandle = Owner<HANDLE, &::FindClose, true>;
using RegKey = Owner<HKEY, &::RegCloseKey>;
using Module = Owner<HMODULE, &::FreeLibrary>;

}  // namespace platform::win32
